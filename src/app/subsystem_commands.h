#pragma once
// Commands of the main frame that other subsystems carry out. Each group lives in its own file
// (commands_transfer.cpp, commands_print.cpp, commands_office.cpp) owned by that subsystem.
#include <memory>

#include "data/doc_ui.h"

class QWidget;
namespace fendal::data {
class CFendalDoc;
}

namespace fendal::app {

namespace commands {

// Data transfer: the transfer settings dialog as the document's TransferRunner.
std::unique_ptr<data::TransferRunner> makeTransferRunner(QWidget* parent);

// Printing.
void printSettings(QWidget* parent);
void print(QWidget* parent, data::CFendalDoc& doc, bool direct);
void printPreview(QWidget* parent, data::CFendalDoc& doc);

// Clipboard and reports.
bool canPaste();
void copyPoint(QWidget* parent, data::CFendalDoc& doc);
void cutPoint(QWidget* parent, data::CFendalDoc& doc);
void pastePoint(QWidget* parent, data::CFendalDoc& doc);
void wordReport(QWidget* parent, data::CFendalDoc& doc);
void excelReport(QWidget* parent, data::CFendalDoc& doc);

// Until a subsystem has landed its command says so plainly instead of pretending to work.
void notAvailableYet(QWidget* parent, const char* what);

}  // namespace commands

}  // namespace fendal::app
