#pragma once
// Shows the whole text of a cut-off cell in a tip window while the mouse rests on the cell:
// with the style bit for tips, no mouse button and no Shift or Ctrl held, the list focused,
// and not over a category row (nor over an image column with the bit that spares them).
#include <QPoint>

namespace fendal::listview {

class CGfxListView;
class CGfxListTip;

class CGfxCellTips {
public:
    explicit CGfxCellTips(CGfxListView& list);

    // After the mouse moved to a position in the list's viewport.
    void follow(const QPoint& viewportPos);
    void hide();
    CGfxListTip* window() const { return tip_; }

private:
    CGfxListView& list_;
    CGfxListTip* tip_ = nullptr;  // made on first need, owned by the list as its child
};

}  // namespace fendal::listview
