#include "office/xlsx_writer.h"

#include <xlsxwriter.h>

#include <cctype>

#include "platform/staged_file.h"

namespace fendal::office {

namespace {

// A cell text holding "_xHHHH_" would be read back as the character HHHH: the sheet format
// wants its underscore written as "_x005F_".
std::string sheetText(const std::string& s) {
    auto hex = [&](std::size_t i) { return i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])); };
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '_' && i + 6 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X') && hex(i + 2) && hex(i + 3) &&
            hex(i + 4) && hex(i + 5) && s[i + 6] == '_')
            out += "_x005F_";
        else
            out += s[i];
    }
    return out;
}

lxw_error fillSheet(lxw_worksheet* worksheet, const SheetReport& sheet) {
    if (sheet.rows.size() > LXW_ROW_MAX) return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        const SheetRow& row = sheet.rows[r];
        const auto line = static_cast<lxw_row_t>(r);
        if (row.mergedAcross) {
            const std::string first = row.cells.empty() ? std::string() : sheetText(row.cells[0]);
            if (lxw_error e = worksheet_merge_range(worksheet, line, 0, line, 4, first.c_str(), nullptr)) return e;
            continue;
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const auto column = static_cast<lxw_col_t>(c);
            if (lxw_error e = worksheet_write_string(worksheet, line, column, sheetText(row.cells[c]).c_str(), nullptr))
                return e;
        }
    }
    return LXW_NO_ERROR;
}

}  // namespace

bool writeXlsx(const SheetReport& sheet, const std::string& path, std::string& error) {
    return platform::writeStagedFile(
        path, "report",
        [&](const std::string& scratch, std::string& why) {
            lxw_workbook* workbook = workbook_new(scratch.c_str());
            if (!workbook) {
                why = "out of memory";
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
            if (failure != LXW_NO_ERROR) why = lxw_strerror(failure);
            return failure == LXW_NO_ERROR;
        },
        error);
}

}  // namespace fendal::office
