#include "listview/gfx_column_dialog_rules.h"

namespace fendal::listview {

namespace gfxdialog {

std::string columnLabel(const GfxColumnDef& def) {
    if ((def.dwdata & gfx::kImage) && def.descr && !def.descr->empty()) return *def.descr;
    return def.text.value_or("");
}

std::vector<ColumnEntry> freeColumns(const CGfxColumnManager& columns) {
    std::vector<ColumnEntry> entries;
    for (const GfxColumnDef& def : columns.definitions()) {
        std::string label = columnLabel(def);
        if (!label.empty() && !columns.isShown(def.id)) entries.push_back({label, def.id});
    }
    return entries;
}

std::vector<ColumnEntry> shownColumns(const CGfxColumnManager& columns) {
    std::vector<ColumnEntry> entries;
    for (int id : columns.shownColumns()) {
        const GfxColumnDef* def = columns.definitionById(id);
        if (!def) continue;
        std::string label = columnLabel(*def);
        if (!label.empty()) entries.push_back({label, id});
    }
    return entries;
}

std::vector<ColumnEntry> allColumns(const CGfxColumnManager& columns) {
    std::vector<ColumnEntry> entries;
    for (const GfxColumnDef& def : columns.definitions()) {
        std::string label = columnLabel(def);
        if (!label.empty()) entries.push_back({label, def.id});
    }
    return entries;
}

std::optional<std::vector<int>> composeShown(const std::vector<int>& listIds) {
    if (listIds.empty()) return std::nullopt;
    std::vector<int> shown{0};
    for (int id : listIds)
        if (id != 0) shown.push_back(id);
    return shown;
}

FormatChoice formatChoice(int dwdata) {
    if (dwdata & gfx::kCurrency) return kValute;
    if (dwdata & gfx::kNumeric) return kNumeric;
    return kText;
}

int applyFormatChoice(int dwdata, FormatChoice choice) {
    dwdata &= ~(gfx::kNumeric | gfx::kCurrency);
    if (choice == kNumeric) dwdata |= gfx::kNumeric;
    if (choice == kValute) dwdata |= gfx::kCurrency;
    return dwdata;
}

std::string editorKind(int dwdata) {
    if (dwdata & gfx::kDropList) return "Drop list";
    if (dwdata & gfx::kDropDownList) return "Drop down list";
    if (dwdata & gfx::kEditBox) return "Edit";
    return {};
}

int averageCharWidth(int sampleTextWidth) { return sampleTextWidth / kWidthSampleDivisor; }

int widthInChars(int pixels, int averageWidth) { return averageWidth > 0 ? pixels / averageWidth : 0; }

int widthInPixels(int chars, int averageWidth) { return averageWidth * chars; }

}  // namespace gfxdialog

}  // namespace fendal::listview
