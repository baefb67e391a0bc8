#pragma once
// Commands of the main frame that other subsystems carry out. Each group lives in its own file
// (commands_transfer.cpp, commands_print.cpp, commands_office.cpp) owned by that subsystem.
#include <memory>

#include "data/doc_ui.h"

class QWidget;
class CFendalDoc;

namespace commands {

// Data transfer: the transfer settings dialog as the document's TransferRunner.
std::unique_ptr<TransferRunner> makeTransferRunner(QWidget* parent);

// Printing.
void printSettings(QWidget* parent);
void print(QWidget* parent, CFendalDoc& doc, bool direct);
void printPreview(QWidget* parent, CFendalDoc& doc);

// Clipboard and reports.
bool canPaste();
void copyPoint(QWidget* parent, CFendalDoc& doc);
void cutPoint(QWidget* parent, CFendalDoc& doc);
void pastePoint(QWidget* parent, CFendalDoc& doc);
void wordReport(QWidget* parent, CFendalDoc& doc);
void excelReport(QWidget* parent, CFendalDoc& doc);

// Until a subsystem has landed its command says so plainly instead of pretending to work.
void notAvailableYet(QWidget* parent, const char* what);

}  // namespace commands
