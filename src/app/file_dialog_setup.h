#pragma once
// Applies the document's file dialog options (title, Windows-style filter, default extension,
// flags) to a Qt file dialog.
#include "data/doc_ui.h"

class QFileDialog;

void applyFileDialogOptions(QFileDialog& dialog, const FileDialogOptions& options);
