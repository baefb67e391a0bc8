#include "listview/gfx_list_tip.h"

CGfxListTip::CGfxListTip(QWidget* parent) : QLabel(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
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
