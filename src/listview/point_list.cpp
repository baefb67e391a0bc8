#include "listview/point_list.h"

#include "listview/gfx_column.h"
#include "listview/gfx_sort_key.h"
#include "platform/text.h"

namespace fendal::listview {

namespace pointlist {

void defineColumns(CGfxColumnManager& columns) {
    using gfx::kAlignCenter, gfx::kAlignLeft;
    columns.defineColumn(kBlank, "", std::nullopt, kAlignLeft, 0, gfx::kKept | gfx::kFixedWidth, -1, std::nullopt);
    columns.defineColumn(kImage, std::nullopt, std::nullopt, kAlignLeft, 23,
                         gfx::kImage | gfx::kSortable | gfx::kKept | gfx::kFixedWidth | gfx::kHeaderImage, 0,
                         "Image 1");
    columns.defineColumn(kIndex, "索引", std::nullopt, kAlignCenter, 100, gfx::kNumeric | gfx::kSortable, -1,
                         std::nullopt);
    columns.defineColumn(kNumber, "编号", std::nullopt, kAlignCenter, 120, gfx::kEditBox | gfx::kSortable, -1,
                         std::nullopt);
    columns.defineColumn(kVelocity, "声速(m/s)", std::nullopt, kAlignCenter, 150,
                         gfx::kEditBox | gfx::kCurrency | gfx::kSortable, -1, std::nullopt);
    columns.defineColumn(kDepth, "缝深(mm)", std::nullopt, kAlignCenter, 150,
                         gfx::kEditBox | gfx::kCurrency | gfx::kSortable, -1, std::nullopt);
    columns.defineColumn(kNote, "备注", std::nullopt, kAlignCenter, 440, gfx::kEditBox, -1, std::nullopt);
    columns.setDefaultColumns({kBlank, kImage, kIndex, kNumber, kVelocity, kDepth, kNote});
}

std::string rowText(const data::CFendalDoc& doc, int value, int columnId) {
    std::string result = columnId == kImage ? "0" : "";
    int file = -1, point = -1;
    if (!doc.flatToFilePoint(value, file, point)) return result;
    const data::MeasurePoint* p = doc.pointAt(file, point);
    if (!p) return result;
    switch (columnId) {
    case kIndex: return std::to_string(point + 1);
    case kNumber: return platform::text::gbkToUtf8(platform::text::fieldText(p->number));
    case kVelocity: return std::to_string(p->velocity);
    case kDepth: return std::to_string(p->depth);
    case kNote: return platform::text::gbkToUtf8(platform::text::fieldText(p->note));
    default: return result;
    }
}

void categorizeGroup(const data::CFendalDoc& doc, CGfxCategoryManager& categories) {
    // After a sort the categories are there already and only take their rows again.
    if (categories.categoryCount() == 0) {
        for (int f = 0; f < doc.group.fileCount(); ++f) {
            const data::CrackDataFile& file = doc.group.files[f];
            const int first = doc.pointsBefore(f);
            categories.addCategory(platform::text::displayPath(file.path), first,
                                   static_cast<double>(first) + file.pointCount(), f);
        }
    }
    for (int value : categories.rowList()) categories.addRowToCategory(categories.findCategory(value), value);
}

int fileOfCategory(const CGfxCategoryManager& categories, int category) {
    return category >= 0 && category < categories.categoryCount() ? categories.category(category).data : -1;
}

namespace {

EditResult storeText(char* field, std::size_t size, const std::string& utf8Text) {
    std::optional<std::string> gbk = platform::text::utf8ToGbk(utf8Text);
    if (!gbk) return EditResult::NotGbk;
    if (gbk->size() >= size) return EditResult::TooLong;
    platform::text::setField(field, size, *gbk);
    return EditResult::Stored;
}

const char* columnName(int columnId) {
    switch (columnId) {
    case kNumber: return "编号";
    case kVelocity: return "声速(m/s)";
    case kDepth: return "缝深(mm)";
    case kNote: return "备注";
    default: return "";
    }
}

}  // namespace

EditResult writeEdit(data::CFendalDoc& doc, int columnId, const std::string& utf8Text) {
    if (!doc.hasValidCurrentPoint()) return EditResult::NoTarget;
    EditResult result = EditResult::Stored;
    doc.editCurrentPoint([&](data::MeasurePoint& p) {
        switch (columnId) {
        case kNumber: result = storeText(p.number, sizeof p.number, utf8Text); break;
        case kVelocity: p.velocity = gfx::leadingInt32(utf8Text); break;
        case kDepth: p.depth = gfx::leadingInt32(utf8Text); break;
        case kNote: result = storeText(p.note, sizeof p.note, utf8Text); break;
        default: break;
        }
        return result == EditResult::Stored;
    });
    return result;
}

std::string refusalMessage(EditResult result, int columnId, const std::string& header) {
    const char* name = header.empty() ? columnName(columnId) : header.c_str();
    switch (result) {
    case EditResult::TooLong:
        return platform::text::format("“%s”的内容过长：最多 %d 个字节（一个汉字占 2 个字节）。原值未作修改。", name,
                                      columnId == kNote ? kNoteBytes : kNumberBytes);
    case EditResult::NotGbk:
        return platform::text::format("“%s”中有无法保存的字符（只能使用 GBK 字符集中的字符）。原值未作修改。", name);
    default: return {};
    }
}

}  // namespace pointlist

}  // namespace fendal::listview
