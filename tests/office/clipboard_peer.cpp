// One instance of the program's clipboard side, for the test that moves a point between two
// running processes through the real system clipboard:
//   office_clipboard_peer copy FILE POINT READY   copies point POINT of FILE, writes READY
//                                                  ("ok" or "failed") and keeps the clipboard
//                                                  until it is ended
//   office_clipboard_peer paste FILE POINT OUT     pastes over point POINT of FILE, saves as OUT
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <string>

#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "office/office_commands.h"
#include "support/scripted_doc_ui.h"

using namespace fendal;
using namespace fendal::data;

namespace {

bool select(CFendalDoc& doc, const std::string& path, int point) {
    if (!doc.readSingleFile(path)) return false;
    doc.setCurrent(0, point);
    return doc.hasValidCurrentPoint();
}

int copy(QApplication& app, CFendalDoc& doc, const std::string& ready) {
    office::copyPoint(doc);
    std::FILE* f = std::fopen(ready.c_str(), "w");
    if (!f) return 1;
    std::fputs(office::canPaste() ? "ok" : "failed", f);
    std::fclose(f);
    // An X11 selection lives only as long as its owner: stay until ended (or give up after a while).
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}

int paste(CFendalDoc& doc, const std::string& out) {
    if (!office::canPaste()) {
        std::fprintf(stderr, "paste is not enabled\n");
        return 1;
    }
    office::pastePoint(doc);
    if (!doc.isModified()) {
        std::fprintf(stderr, "nothing was pasted\n");
        return 1;
    }
    CrackDataFile file = doc.group.files[0];
    file.path = out;
    return writeCrackFile(file) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s copy|paste FILE POINT READY|OUT\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1];
    ScriptedDocUi ui;
    CFendalDoc doc(ui);
    if (!select(doc, argv[2], std::atoi(argv[3]))) {
        std::fprintf(stderr, "no point %s in %s\n", argv[3], argv[2]);
        return 1;
    }
    if (mode == "copy") return copy(app, doc, argv[4]);
    if (mode == "paste") return paste(doc, argv[4]);
    return 2;
}
