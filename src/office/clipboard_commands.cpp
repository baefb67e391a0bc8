#include "data/fendal_doc.h"
#include "office/office_commands.h"
#include "office/qt_point_clipboard.h"

namespace fendal::office {

bool canPaste() {
    QtPointClipboard clipboard;
    return clipboardOffersPoint(clipboard);
}

void copyPoint(data::CFendalDoc& doc) {
    QtPointClipboard clipboard;
    copyCurrentPoint(doc, clipboard);
}

void cutPoint(data::CFendalDoc& doc) {
    QtPointClipboard clipboard;
    cutCurrentPoint(doc, clipboard);
}

void pastePoint(data::CFendalDoc& doc) {
    QtPointClipboard clipboard;
    pasteOverCurrentPoint(doc, clipboard);
}

}  // namespace fendal::office
