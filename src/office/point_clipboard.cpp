#include "office/point_clipboard.h"

#include "data/fendal_doc.h"
#include "office/point_block.h"

namespace fendal::office {

bool copyCurrentPoint(const data::CFendalDoc& doc, PointClipboard& clipboard) {
    const data::MeasurePoint* point = doc.pointAt(data::CFendalDoc::kCurrent, data::CFendalDoc::kCurrent);
    if (!point) return false;
    const PointBlock block = encodePointBlock(*point);
    return clipboard.put(block);
}

bool cutCurrentPoint(data::CFendalDoc& doc, PointClipboard& clipboard) {
    if (!copyCurrentPoint(doc, clipboard)) return false;
    return doc.removeCurrentPoint();
}

bool pasteOverCurrentPoint(data::CFendalDoc& doc, PointClipboard& clipboard) {
    if (!doc.hasValidCurrentPoint()) return false;
    const PointClipboard::Contents contents = clipboard.get();
    if (!contents.opened || !contents.present) return false;
    const auto point = decodePointBlock(contents.data);
    if (!point) return false;
    return doc.replaceCurrentPoint(*point);
}

bool clipboardOffersPoint(PointClipboard& clipboard) {
    const PointClipboard::Contents contents = clipboard.get();
    if (!contents.opened) return true;
    return contents.present && contents.data.size() == kPointBlockSize;
}

bool canPastePoint(const data::CFendalDoc& doc, PointClipboard& clipboard) {
    return doc.hasValidCurrentPoint() && clipboardOffersPoint(clipboard);
}

}  // namespace fendal::office
