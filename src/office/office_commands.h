#pragma once
// The clipboard and report commands of the main frame, on the system clipboard and the desktop.
class QWidget;
class CFendalDoc;

namespace office {

// The clipboard half of Paste's enable rule (the frame adds "a current point exists").
bool canPaste();
void copyPoint(CFendalDoc& doc);
void cutPoint(CFendalDoc& doc);
void pastePoint(CFendalDoc& doc);

// Write the report of the group into the user's documents folder and open it with the
// desktop's program for it.
void wordReport(QWidget* parent, CFendalDoc& doc);
void excelReport(QWidget* parent, CFendalDoc& doc);

}  // namespace office
