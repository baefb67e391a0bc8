#include "app/subsystem_commands.h"
#include "office/office_commands.h"

namespace fendal::app {

namespace commands {

bool canPaste() { return office::canPaste(); }
void copyPoint(QWidget*, data::CFendalDoc& doc) { office::copyPoint(doc); }
void cutPoint(QWidget*, data::CFendalDoc& doc) { office::cutPoint(doc); }
void pastePoint(QWidget*, data::CFendalDoc& doc) { office::pastePoint(doc); }
void wordReport(QWidget* parent, data::CFendalDoc& doc) { office::wordReport(parent, doc); }
void excelReport(QWidget* parent, data::CFendalDoc& doc) { office::excelReport(parent, doc); }

}  // namespace commands

}  // namespace fendal::app
