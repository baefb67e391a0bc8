#include "app/subsystem_commands.h"
#include "office/office_commands.h"

namespace commands {

bool canPaste() { return office::canPaste(); }
void copyPoint(QWidget*, CFendalDoc& doc) { office::copyPoint(doc); }
void cutPoint(QWidget*, CFendalDoc& doc) { office::cutPoint(doc); }
void pastePoint(QWidget*, CFendalDoc& doc) { office::pastePoint(doc); }
void wordReport(QWidget* parent, CFendalDoc& doc) { office::wordReport(parent, doc); }
void excelReport(QWidget* parent, CFendalDoc& doc) { office::excelReport(parent, doc); }

}  // namespace commands
