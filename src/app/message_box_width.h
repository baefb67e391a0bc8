#pragma once
// Gives every message box of the program the width its caption needs. Qt sizes a box by its
// text and leaves the caption only a few pixels more, so a window manager cuts a short box's
// caption ("DE… 18") to fit its title bar beside the buttons.
#include <QObject>

class QMessageBox;

namespace fendal::app {

class MessageBoxWidth : public QObject {
public:
    // Room a title bar takes beside its caption: the window's icon and three buttons.
    static constexpr int kTitleBarRoom = 150;

    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;

    static void fit(QMessageBox& box);
};

}  // namespace fendal::app
