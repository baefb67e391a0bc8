#include "print/print_line.h"

namespace fendal::print {

PrintLine titleLine() { return {PrintLineKind::Title, 30, 30, -1, -1}; }
PrintLine fileHeadLine(int32_t fileIndex) { return {PrintLineKind::FileHead, 36, 24, fileIndex, -1}; }
PrintLine pointRowLine(int32_t fileIndex, int32_t pointIndex) {
    return {PrintLineKind::PointRow, 12, 12, fileIndex, pointIndex};
}

std::vector<PrintLine> buildPrintLines(const data::FileGroup* group) {
    std::vector<PrintLine> lines;
    if (!group || group->fileCount() <= 0) return lines;
    std::size_t totalPoints = 0;
    for (const auto& file : group->files) totalPoints += file.points.size();
    lines.resize(2 * group->files.size() + totalPoints + 1);
    std::size_t at = 0;
    lines[at++] = titleLine();
    for (int32_t j = 0; j < group->fileCount(); ++j) {
        lines[at++] = fileHeadLine(j);
        const int32_t count = group->files[j].pointCount();
        for (int32_t k = 0; k < count; ++k) lines[at++] = pointRowLine(j, k);
    }
    return lines;
}

}  // namespace fendal::print
