#pragma once
// What the user had selected and focused, by row item data rather than by display row, so
// that rows which only move (a sort) come back selected and focused where they went.
#include <unordered_set>

#include "listview/gfx_category_manager.h"

namespace fendal::listview {

class CGfxListView;

class GfxKeptSelection {
public:
    explicit GfxKeptSelection(const CGfxListView& list);
    void restore(CGfxListView& list) const;

private:
    GfxRowRef focused_;
    int column_ = -1;
    std::unordered_set<int> values_;      // selected data rows
    std::unordered_set<int> categories_;  // selected category rows
};

}  // namespace fendal::listview
