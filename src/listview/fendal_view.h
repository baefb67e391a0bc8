#pragma once
// The main view: every point of every file of the open group, one row per point, one
// category per file when several files are open, edited in place.
#include <QMenu>

#include "data/fendal_doc.h"
#include "listview/gfx_list_view.h"
#include "platform/profile.h"

class CFendalView : public CGfxListView, public DocObserver {
    Q_OBJECT
public:
    static constexpr char kListName[] = "TheMainList";

    CFendalView(CFendalDoc& doc, platform::Profile& profile, QWidget* parent = nullptr);
    ~CFendalView() override;

    // Called once by the frame after construction: column definitions, stored layout, first fill.
    void onInitialUpdate();
    // The frame's context menu (the Edit commands), shown on a right click.
    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }

    void onDocumentUpdate(int hint) override;

    CFendalDoc& document() { return doc_; }

signals:
    // The document's current file or point changed; the frame re-evaluates its enable rules.
    void currentChanged();

protected:
    int extendedInfo(GfxExtInfoRequest& request) override;
    void showMessage(const std::string& text) override;
    void focusedRowChanged() override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void followRow(const QPoint* viewportPos);
    void saveLayout();

    CFendalDoc& doc_;
    platform::Profile& profile_;
    QMenu* contextMenu_ = nullptr;
    bool following_ = false;
};
