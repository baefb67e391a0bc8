#include "listview/gfx_column.h"

namespace fendal::listview {

int GfxColumnMasks::slot(int flag) {
    for (int i = 0; i < 9; ++i)
        if (flag == (1 << i)) return i;
    return -1;
}

void GfxColumnMasks::add(int id, int dwdata) {
    if (id < 0 || id > gfx::kMaxColumnId) return;  // a mask holds ids 0..31 only
    for (int i = 0; i < 9; ++i)
        if (dwdata & (1 << i)) masks_[i] |= 1u << id;
}

bool GfxColumnMasks::has(int flag, int id) const {
    if (id < 0 || id > gfx::kMaxColumnId) return false;
    return (mask(flag) >> id) & 1u;
}

uint32_t GfxColumnMasks::mask(int flag) const {
    int i = slot(flag);
    return i < 0 ? 0 : masks_[i];
}

}  // namespace fendal::listview
