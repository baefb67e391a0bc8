#include "listview/gfx_list_core.h"

#include <algorithm>
#include <utility>

#include "listview/gfx_sort_key.h"

// --- columns

namespace fendal::listview {

void CGfxListCore::applyColumns() {
    aboutToReset();
    masks_.clear();
    applied_.clear();
    for (int id : columns_.shownColumns()) {
        const GfxColumnDef* def = columns_.definitionById(id);
        if (!def) continue;
        GfxAppliedColumn column;
        column.id = id;
        column.align = def->align;
        column.width = def->width;
        column.image = (def->dwdata & gfx::kHeaderImage) ? def->image : -1;
        column.text = def->text.value_or("");
        applied_.push_back(std::move(column));
        masks_.add(id, def->dwdata);
    }
    // The categories' expand box stays while they are shown.
    if (categoryMode()) widenBoxColumn();
    reset();
}

int CGfxListCore::columnId(int position) const {
    return position >= 0 && position < columnCount() ? applied_[position].id : -1;
}

int CGfxListCore::columnPosition(int id) const {
    for (int i = 0; i < columnCount(); ++i)
        if (applied_[i].id == id) return i;
    return -1;
}

bool CGfxListCore::columnHas(int position, int flag) const { return masks_.has(flag, columnId(position)); }

void CGfxListCore::setColumnWidth(int position, int width) {
    if (position >= 0 && position < columnCount()) applied_[position].width = width;
}

bool CGfxListCore::moveColumn(int from, int to) {
    const int first = !applied_.empty() && applied_[0].id == 0 ? 1 : 0;
    if (from < first || from >= columnCount() || to < 0 || to >= columnCount()) return false;
    to = std::max(to, first);
    if (from == to) return false;
    aboutToReset();
    GfxAppliedColumn column = std::move(applied_[from]);
    applied_.erase(applied_.begin() + from);
    applied_.insert(applied_.begin() + to, std::move(column));
    readBackColumns();
    reset();
    return true;
}

void CGfxListCore::readBackColumns() {
    std::vector<std::pair<int, int>> items;
    for (const GfxAppliedColumn& column : applied_) items.emplace_back(column.id, column.width);
    // The box column is only widened while categories are shown; keep its own width.
    if (categoryMode() && !items.empty() && items[0].first == 0 && items[0].second == kBoxColumnWidth) {
        if (const GfxColumnDef* def = columns_.definitionById(0)) items[0].second = def->width;
    }
    columns_.readBack(items);
}

void CGfxListCore::widenBoxColumn() {
    if (!applied_.empty() && applied_[0].id == 0 && applied_[0].width == 0) applied_[0].width = kBoxColumnWidth;
}

// --- callbacks

void CGfxListCore::setCallbacks(GfxListCallbacks callbacks) {
    callbacks_ = std::move(callbacks);
    if (categories_) {
        categories_->setCategorize(callbacks_.categorize);
        categories_->setCategorizeAll(callbacks_.categorizeAll);
    }
}

int CGfxListCore::extendedInfo(GfxExtInfoRequest& request) const {
    if (callbacks_.extendedInfo) return callbacks_.extendedInfo(request);
    return fallback_ ? fallback_(request) : 0;
}

// --- rows

void CGfxListCore::setResetObserver(std::function<void()> aboutToReset, std::function<void()> reset) {
    aboutToReset_ = std::move(aboutToReset);
    reset_ = std::move(reset);
}

void CGfxListCore::aboutToReset() const {
    if (aboutToReset_) aboutToReset_();
}

void CGfxListCore::reset() const {
    if (reset_) reset_();
}

bool CGfxListCore::fillRows(std::vector<int> values, GfxCategories categories) {
    writtenTexts_.clear();  // they belonged to the rows that go
    if (categories == GfxCategories::None) return replaceRows(std::move(values), nullptr);
    std::unique_ptr<CGfxCategoryManager> made = makeCategories(std::move(values));
    if (categories == GfxCategories::KeepStates && categories_) made->restoreStates(categories_->expandedStates());
    return replaceRows({}, std::move(made));
}

std::unique_ptr<CGfxCategoryManager> CGfxListCore::makeCategories(std::vector<int> rows) const {
    auto made = std::make_unique<CGfxCategoryManager>();
    made->setCategorize(callbacks_.categorize);
    made->setCategorizeAll(callbacks_.categorizeAll);
    made->build(std::move(rows));
    return made;
}

bool CGfxListCore::replaceRows(std::vector<int> plain, std::unique_ptr<CGfxCategoryManager> categories) {
    const bool same = categories ? categories_ && categories_->showsSame(*categories) : !categories_ && rows_ == plain;
    if (!same) aboutToReset();
    rows_ = std::move(plain);
    categories_ = std::move(categories);
    if (same) return false;
    if (categories_)
        widenBoxColumn();
    else if (!applied_.empty() && applied_[0].id == 0 && applied_[0].width == kBoxColumnWidth)
        applied_[0].width = 0;
    reset();
    return true;
}

int CGfxListCore::rowCount() const {
    return categories_ ? categories_->displayCount() : static_cast<int>(rows_.size());
}

GfxRowRef CGfxListCore::row(int row) const {
    if (categories_) return categories_->displayRow(row);
    if (row < 0 || row >= static_cast<int>(rows_.size())) return {};
    return GfxRowRef{-1, rows_[row]};
}

int CGfxListCore::rowOfValue(int value) const {
    if (categories_) return categories_->displayRowOfValue(value);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i] == value) return static_cast<int>(i);
    return -1;
}

std::string CGfxListCore::cellText(int row, int column) const {
    GfxRowRef ref = this->row(row);
    if (ref.isCategory()) return {};
    return plainText(row, column, ref.value);
}

std::string CGfxListCore::plainText(int row, int position, int value) const {
    if (callbacks_.getText) return callbacks_.getText(row, position, value);
    auto it = writtenTexts_.find({value, columnId(position)});
    return it == writtenTexts_.end() ? std::string() : it->second;
}

// --- categories

void CGfxListCore::toggleCategory(int index) {
    if (!categories_ || index < 0 || index >= categories_->categoryCount()) return;
    categories_->setExpanded(index, !categories_->category(index).expanded);
}

// --- sorting

GfxSortResult CGfxListCore::sortByColumn(int position, bool ascending) {
    const int id = columnId(position);
    if (id < 0) return GfxSortResult::Refused;
    const GfxColumnDef* def = columns_.definitionById(id);
    if (def && !(def->dwdata & gfx::kSortable)) return GfxSortResult::Refused;

    // With categories the plain rows go back into row-list order first.
    std::vector<int> rows = categories_ ? categories_->rowList() : rows_;
    const bool currency = masks_.has(gfx::kCurrency, id);
    const bool numeric = masks_.has(gfx::kNumeric, id);
    if (currency || numeric) {
        std::vector<int64_t> keys(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::string text = plainText(static_cast<int>(i), position, rows[i]);
            keys[i] = currency ? gfx::currencyValue(text) : gfx::leadingInteger(text);
        }
        gfx::sortByKeys(rows, keys, ascending);
    } else {
        std::vector<std::string> keys(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            keys[i] = gfx::storedTextKey(plainText(static_cast<int>(i), position, rows[i]));
        gfx::sortByKeys(rows, keys, ascending);
    }
    sortStates_[id] = ascending;

    if (!categories_)
        return replaceRows(std::move(rows), nullptr) ? GfxSortResult::Reordered : GfxSortResult::Unchanged;
    // The categories keep their order; their members take the sorted one.
    auto sorted = std::make_unique<CGfxCategoryManager>(categories_->withoutMembers());
    sorted->build(std::move(rows));
    return replaceRows({}, std::move(sorted)) ? GfxSortResult::Reordered : GfxSortResult::Unchanged;
}

GfxSortResult CGfxListCore::toggleSort(int position) {
    auto stored = sortState(columnId(position));
    return sortByColumn(position, !stored.value_or(false));
}

std::optional<bool> CGfxListCore::sortState(int id) const {
    auto it = sortStates_.find(id);
    if (it == sortStates_.end()) return std::nullopt;
    return it->second;
}

// --- editing

void CGfxListCore::endEdit(const std::vector<int>& rows, int position, const std::string& text) {
    const int id = columnId(position);
    if (id < 0) return;
    const int definition = columns_.findDefinition(id);
    // The owner's callback may refill the list, so take the rows' values first.
    std::vector<std::pair<int, int>> targets;  // (display row, value)
    for (int r : rows) {
        if (r < 0 || r >= rowCount()) continue;
        GfxRowRef ref = row(r);
        if (!ref.isCategory()) targets.emplace_back(r, ref.value);
    }
    for (auto [r, value] : targets) {
        GfxExtInfoRequest request;
        request.code = GfxExtInfoRequest::kAcceptEdit;
        request.row = r;
        request.column = position;
        request.value = value;
        request.text = text;
        if (extendedInfo(request) == 0) continue;  // refused: the cell shows its own text again
        if (callbacks_.valueEdited) callbacks_.valueEdited(value, definition, text);
        writtenTexts_[{value, id}] = text;
    }
}

}  // namespace fendal::listview
