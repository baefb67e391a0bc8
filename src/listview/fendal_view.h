#pragma once
// The main view: every point of every file of the open group, one row per point, one
// category per file when several files are open, edited in place. The document's current
// file and point change only by what the user does in the list (a click, a key that moves to
// another row, an edit); refills and focus changes show them and leave them alone.
#include <QMenu>

#include "data/fendal_doc.h"
#include "listview/gfx_list_view.h"
#include "platform/profile.h"

namespace fendal::listview {

class CFendalView : public CGfxListView, public data::DocObserver {
    Q_OBJECT
public:
    static constexpr char kListName[] = "TheMainList";

    CFendalView(data::CFendalDoc& doc, platform::Profile& profile, QWidget* parent = nullptr);
    ~CFendalView() override;

    // Called once by the frame after construction: column definitions, stored layout, first fill.
    void onInitialUpdate();
    // The frame's context menu (the Edit commands), shown on a right click.
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }

    void onDocumentUpdate(data::UpdateHint hint) override;

    data::CFendalDoc& document() { return doc_; }

signals:
    // The document's current file or point changed; the frame re-evaluates its enable rules.
    void currentChanged();

protected:
    int extendedInfo(GfxExtInfoRequest& request) override;
    void showMessage(const std::string& text) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showCurrent();
    void followRow(const QPoint* viewportPos);
    void currentMoved(int oldFile, int oldPoint);
    void writeEdit(int value, int definition, const std::string& text);
    void saveLayout();

    data::CFendalDoc& doc_;
    platform::Profile& profile_;
    QMenu* contextMenu_ = nullptr;
};

}  // namespace fendal::listview
