#pragma once
// The printed table as a list of lines: the title, then for every file its head (path line and
// column heads) followed by one row per point.
#include <cstdint>
#include <vector>

#include "data/file_group.h"

namespace fendal::print {

enum class PrintLineKind : int32_t { Empty = -1, Title = 2, FileHead = 3, PointRow = 4 };

struct PrintLine {
    PrintLineKind kind = PrintLineKind::Empty;
    int32_t height = 0;   // room needed below the running y, layout units
    int32_t advance = 0;  // how far the running y moves after the line
    int32_t fileIndex = -1;
    int32_t pointIndex = -1;
};

// A file head needs room for its first row too (36) but moves y only past itself (24), so it
// never ends a page alone.
PrintLine titleLine();
PrintLine fileHeadLine(int32_t fileIndex);
PrintLine pointRowLine(int32_t fileIndex, int32_t pointIndex);

// 2 x files + points + 1 entries: the title, each file's head and rows in group order, and a
// tail of empty entries. No lines at all for a group without files (or no group).
std::vector<PrintLine> buildPrintLines(const data::FileGroup* group);

}  // namespace fendal::print
