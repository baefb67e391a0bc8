#pragma once
// The small window that shows the whole text of a cut-off cell under the mouse.
#include <QLabel>

namespace fendal::listview {

class CGfxListTip : public QLabel {
    Q_OBJECT
public:
    static constexpr char kWindowClass[] = "ZGfxListTip";

    explicit CGfxListTip(QWidget* parent);
    void showText(const QString& text, const QPoint& globalPos, int minHeight);
};

}  // namespace fendal::listview
