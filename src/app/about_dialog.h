#pragma once
// The About box: the application icon, the program's name and version, and a close button.
#include <QDialog>

namespace fendal::app {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};

}  // namespace fendal::app
