#pragma once
// The clipboard and report commands of the main frame, on the system clipboard and the desktop.

class QWidget;
namespace fendal::data {
class CFendalDoc;
}

namespace fendal::office {

// The clipboard half of Paste's enable rule (the frame adds "a current point exists").
bool canPaste();
void copyPoint(data::CFendalDoc& doc);
void cutPoint(data::CFendalDoc& doc);
void pastePoint(data::CFendalDoc& doc);

// Write the report of the group into the user's documents folder and open it with the
// desktop's program for it.
void wordReport(QWidget* parent, data::CFendalDoc& doc);
void excelReport(QWidget* parent, data::CFendalDoc& doc);

}  // namespace fendal::office
