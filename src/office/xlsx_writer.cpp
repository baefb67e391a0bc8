#include "office/xlsx_writer.h"

#include <xlsxwriter.h>

#include <filesystem>
#include <random>
#include <system_error>

#include "platform/text.h"

namespace {

lxw_error fillSheet(lxw_worksheet* worksheet, const SheetReport& sheet) {
    if (sheet.rows.size() > LXW_ROW_MAX) return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const SheetRow& row = sheet.rows[r];
        const auto line = static_cast<lxw_row_t>(r);
        if (row.mergedAcross) {
            const char* first = row.cells.empty() ? "" : row.cells[0].c_str();
            if (lxw_error e = worksheet_merge_range(worksheet, line, 0, line, 4, first, nullptr)) return e;
            continue;
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const auto column = static_cast<lxw_col_t>(c);
            if (lxw_error e = worksheet_write_string(worksheet, line, column, row.cells[c].c_str(), nullptr))
                return e;
        }
    }
    return LXW_NO_ERROR;
}

}  // namespace

bool writeXlsx(const SheetReport& sheet, const std::string& path, std::string& error) {
    // The workbook is written beside the target and renamed over it only when complete,
    // so a failure never leaves half a workbook or destroys an older one.
    const std::string partial = path + text::format(".%08x.part", static_cast<unsigned>(std::random_device{}()));
    lxw_workbook* workbook = workbook_new(partial.c_str());
    if (!workbook) {
        error = "out of memory";
        return false;
    }
    lxw_error failure = LXW_NO_ERROR;
    if (lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.sheetName.c_str()))
        failure = fillSheet(worksheet, sheet);
    else
        failure = LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED;

    // Closing frees the workbook in every case and writes the file.
    const lxw_error closed = workbook_close(workbook);
    if (failure == LXW_NO_ERROR) failure = closed;

    std::error_code ec;
    if (failure == LXW_NO_ERROR) {
        std::filesystem::rename(partial, path, ec);
        if (!ec) return true;
        error = ec.message();
    } else {
        error = lxw_strerror(failure);
    }
    std::filesystem::remove(partial, ec);
    return false;
}
