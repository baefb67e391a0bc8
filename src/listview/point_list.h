#pragma once
// What the main view shows of the document, without a window: its columns, the row texts,
// one category per file and the writing back of an in-place edit.
#include <string>

#include "data/fendal_doc.h"
#include "listview/gfx_category_manager.h"
#include "listview/gfx_column_manager.h"

namespace fendal::listview {

namespace pointlist {

enum ColumnId { kBlank = 0, kImage = 1, kIndex = 2, kNumber = 3, kVelocity = 4, kDepth = 5, kNote = 6 };

inline constexpr int kNumberBytes = 31;  // GBK bytes a number may hold (field of 32)
inline constexpr int kNoteBytes = 199;   // GBK bytes a note may hold (field of 200)

// The seven columns in definition order and the default shown order.
void defineColumns(CGfxColumnManager& columns);

// The UTF-8 text of a row (its group-wide row number) in a column id.
std::string rowText(const data::CFendalDoc& doc, int value, int columnId);

// One category per file of the group, in file order and also for a file without points, each
// knowing its file's index; then every row of the list into its file's category.
void categorizeGroup(const data::CFendalDoc& doc, CGfxCategoryManager& categories);

// The file a category row stands for; -1 when none.
int fileOfCategory(const CGfxCategoryManager& categories, int category);

enum class EditResult { Stored, NoTarget, TooLong, NotGbk };

// Writes an edited text into the document's current point. A stored edit (or one for a
// column that holds no value) marks the document modified and updates the views with hint 1;
// a refused one changes nothing.
EditResult writeEdit(data::CFendalDoc& doc, int columnId, const std::string& utf8Text);

// The message that tells the user why an edit was refused, naming the column by the header
// the user sees (its own name when the header is empty); empty for the others.
std::string refusalMessage(EditResult result, int columnId, const std::string& header);

}  // namespace pointlist

}  // namespace fendal::listview
