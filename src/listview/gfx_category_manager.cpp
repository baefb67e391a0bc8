#include "listview/gfx_category_manager.h"

#include <algorithm>
#include <cassert>

#include "platform/text.h"

namespace fendal::listview {

int CGfxCategoryManager::addCategory(std::string text, double low, double high, int data) {
    GfxCategory category;
    category.text = std::move(text);
    category.low = low;
    category.high = high;
    category.data = data;
    categories_.push_back(std::move(category));
    layout();
    return categoryCount() - 1;
}

bool CGfxCategoryManager::addRowToCategory(int category, int value) {
    if (category < 0 || category >= categoryCount()) return false;
    categories_[category].rows.push_back(value);
    // Only an expanded category moves the rows below it.
    if (categories_[category].expanded) layout();
    return true;
}

int CGfxCategoryManager::findCategory(double value) const {
    for (int i = 0; i < categoryCount(); ++i) {
        const GfxCategory& c = categories_[i];
        if (c.kind == GfxCategory::kRange && c.low <= value && value < c.high) return i;
    }
    return -1;
}

std::string CGfxCategoryManager::caption(int index) const {
    const GfxCategory& c = category(index);
    return platform::text::format("文件目录: %s (数据个数: %d)", c.text.c_str(), c.rowCount());
}

void CGfxCategoryManager::build(std::vector<int> rowList) {
    rowList_ = std::move(rowList);
    if (categorize_) {
        for (int value : rowList_) categorize_(*this, value);
    } else if (categorizeAll_) {
        categorizeAll_(*this);
    }
    layout();
}

CGfxCategoryManager CGfxCategoryManager::withoutMembers() const {
    CGfxCategoryManager copy;
    copy.categorize_ = categorize_;
    copy.categorizeAll_ = categorizeAll_;
    copy.categories_.reserve(categories_.size());
    for (const GfxCategory& c : categories_) {
        GfxCategory& empty = copy.categories_.emplace_back();  // the members are not copied
        empty.text = c.text;
        empty.kind = c.kind;
        empty.expanded = c.expanded;
        empty.low = c.low;
        empty.high = c.high;
        empty.data = c.data;
    }
    copy.layout();
    return copy;
}

void CGfxCategoryManager::layout() {
    starts_.resize(categories_.size());
    int row = 0;
    for (std::size_t i = 0; i < categories_.size(); ++i) {
        starts_[i] = row;
        row += 1 + (categories_[i].expanded ? categories_[i].rowCount() : 0);
    }
    displayCount_ = row;
}

GfxRowRef CGfxCategoryManager::displayRow(int row) const {
    if (row < 0 || row >= displayCount_) return {};
    auto it = std::upper_bound(starts_.begin(), starts_.end(), row);
    int index = static_cast<int>(it - starts_.begin()) - 1;
    int offset = row - starts_[index];
    if (offset == 0) return GfxRowRef{index, -1};
    return GfxRowRef{-1, categories_[index].rows[offset - 1]};
}

int CGfxCategoryManager::displayRowOfCategory(int index) const {
    return index >= 0 && index < categoryCount() ? starts_[index] : -1;
}

int CGfxCategoryManager::displayRowOfValue(int value) const {
    for (int i = 0; i < categoryCount(); ++i) {
        const GfxCategory& c = categories_[i];
        if (!c.expanded) continue;
        auto it = std::find(c.rows.begin(), c.rows.end(), value);
        if (it != c.rows.end()) return starts_[i] + 1 + static_cast<int>(it - c.rows.begin());
    }
    return -1;
}

void CGfxCategoryManager::setExpanded(int index, bool expanded) {
    if (index < 0 || index >= categoryCount()) return;
    categories_[index].expanded = expanded;
    layout();
}

std::vector<unsigned char> CGfxCategoryManager::expandedStates() const {
    std::vector<unsigned char> states;
    for (const GfxCategory& c : categories_) states.push_back(c.expanded ? 1 : 0);
    return states;
}

bool CGfxCategoryManager::restoreStates(const std::vector<unsigned char>& states) {
    if (static_cast<int>(states.size()) != categoryCount()) return false;
    for (std::size_t i = 0; i < states.size(); ++i) categories_[i].expanded = states[i] != 0;
    layout();
    return true;
}

}  // namespace fendal::listview
