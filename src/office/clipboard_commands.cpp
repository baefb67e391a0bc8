#include "data/fendal_doc.h"
#include "office/office_commands.h"
#include "office/qt_point_clipboard.h"

namespace office {

bool canPaste() {
    QtPointClipboard clipboard;
    return clipboardOffersPoint(clipboard);
}

void copyPoint(CFendalDoc& doc) {
    QtPointClipboard clipboard;
    copyCurrentPoint(doc, clipboard);
}

void cutPoint(CFendalDoc& doc) {
    QtPointClipboard clipboard;
    cutCurrentPoint(doc, clipboard);
}

void pastePoint(CFendalDoc& doc) {
    QtPointClipboard clipboard;
    pasteOverCurrentPoint(doc, clipboard);
}

}  // namespace office
