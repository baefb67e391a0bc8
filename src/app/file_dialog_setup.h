#pragma once
// Applies the document's file dialog options (title, Windows-style filter, default extension,
// flags, the file to start on) to Qt's own file dialog, which names crack data files by their
// type and keeps its columns wide enough for what they show.
#include <QString>

#include "data/doc_ui.h"

class QFileDialog;

namespace fendal::app {

void applyFileDialogOptions(QFileDialog& dialog, const data::FileDialogOptions& options);

// What the dialogs call a crack data file: the installed MIME type's name, else the program's own.
QString crackFileTypeName();

}  // namespace fendal::app
