#include "listview/gfx_list_tip.h"

namespace fendal::listview {

// The tip lies over the cell under the pointer: the window system must not count the pointer as
// being in it, or the list would get a Leave and hide the tip at once. Qt gives a tip window
// stays-on-top itself and rebuilds the native window (losing its input transparency on X11)
// when that was not asked for, so it is asked for here.
CGfxListTip::CGfxListTip(QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput |
                         Qt::WindowDoesNotAcceptFocus) {
    setObjectName(kWindowClass);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(1);
}

void CGfxListTip::showText(const QString& text, const QPoint& globalPos, int minHeight) {
    setText(text);
    adjustSize();
    resize(width(), std::max(height(), minHeight));
    move(globalPos);
    show();
    raise();
}

}  // namespace fendal::listview
