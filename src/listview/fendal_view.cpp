#include "listview/fendal_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <numeric>

#include "data/app_strings.h"
#include "listview/list_images.h"
#include "listview/point_list.h"
#include "platform/temp_dir.h"

namespace {
constexpr int kRowHeight = 17;
constexpr unsigned kViewStyle = 0x1 | 0x2 | 0x4 | 0x8;
}  // namespace

CFendalView::CFendalView(CFendalDoc& doc, platform::Profile& profile, QWidget* parent)
    : CGfxListView(parent), doc_(doc), profile_(profile) {
    doc_.addObserver(this);
    connect(this, &CGfxListView::columnsChanged, this, [this] { saveLayout(); });
}

CFendalView::~CFendalView() {
    doc_.removeObserver(this);
    saveLayout();
}

void CFendalView::onInitialUpdate() {
    pointlist::defineColumns(columnManager());
    columnManager().load(profile_, kListName);
    setItemImageList(listimages::pointItemImages());
    setHeaderImageList(listimages::pointHeaderImages());
    addStyle(kViewStyle);
    applyColumns();
    fill();
}

void CFendalView::saveLayout() {
    if (columnManager().definitions().empty()) return;  // never set up: nothing of ours to keep
    readBackColumns();
    columnManager().save(profile_, kListName);
}

void CFendalView::fill() {
    std::vector<int> rows(doc_.totalPoints());
    std::iota(rows.begin(), rows.end(), 0);
    GfxListCallbacks callbacks;
    callbacks.getText = [this](int, int position, int value) {
        return pointlist::rowText(doc_, value, columnIdAt(position));
    };
    callbacks.categorize = [this](CGfxCategoryManager& categories, int value) {
        pointlist::categorize(doc_, categories, value);
    };
    callbacks.extendedInfo = [this](GfxExtInfoRequest& request) { return extendedInfo(request); };
    callbacks.valueEdited = [this](int, int definition, const std::string& text) {
        const auto& definitions = columnManager().definitions();
        if (definition < 0 || definition >= static_cast<int>(definitions.size())) return;
        const int id = definitions[definition].id;
        const std::string refusal = pointlist::refusalMessage(pointlist::writeEdit(doc_, id, text), id);
        if (!refusal.empty()) doc_.ui().messageBox(refusal, kAppTitle, MsgButtons::Ok, MsgIcon::Warning);
    };
    setCallbacks(std::move(callbacks));
    setRows(std::move(rows));
    setRowHeightPixels(kRowHeight);
    if (doc_.group.fileCount() > 1) setCategoryMode(true);
}

void CFendalView::onDocumentUpdate(int hint) {
    const bool edit = hint == 1;
    const bool hadCategories = edit && rememberCategoryStates();
    fill();
    if (edit) {
        if (hadCategories)
            restoreCategoryStates();
        else
            viewport()->update();
    }
    // The current point stays selected when its row is shown, after a save as after an edit,
    // so the list never hides what Delete and the edit commands act on.
    int flat = -1;
    if (doc_.filePointToFlat(flat, doc_.currentFile, doc_.currentPoint)) selectRowWithValue(flat);
}

int CFendalView::extendedInfo(GfxExtInfoRequest& request) {
    switch (request.code) {
        case GfxExtInfoRequest::kEditFormat:
            request.formatFlags = 0;  // the list's own font and colours
            return 1;
        case GfxExtInfoRequest::kAcceptEdit: return 1;
        default: return 0;
    }
}

void CFendalView::showMessage(const std::string& text) {
    doc_.ui().messageBox(text, kAppTitle, MsgButtons::Ok, MsgIcon::Warning);
}

void CFendalView::focusedRowChanged() {
    followRow(nullptr);
}

void CFendalView::followRow(const QPoint* viewportPos) {
    const int oldFile = doc_.currentFile;
    const int oldPoint = doc_.currentPoint;
    const GfxRowRef under = viewportPos ? rowRefAt(*viewportPos) : core().row(currentIndex().row());
    if (under.isCategory()) {
        // Categories are made in file order, so a category is its file.
        doc_.currentFile = under.category;
        doc_.currentPoint = -1;
    } else {
        const int row = selectedRow();
        const GfxRowRef selected = row >= 0 ? core().row(row) : GfxRowRef{};
        doc_.selectFlat(selected.isCategory() ? -1 : selected.value);
    }
    if (const CrackDataFile* file = doc_.fileAt(doc_.currentFile); file && !file->path.empty())
        doc_.setTitle(platform::fileNamePart(file->path));
    if (doc_.currentFile != oldFile || doc_.currentPoint != oldPoint) emit currentChanged();
}

void CFendalView::mousePressEvent(QMouseEvent* event) {
    CGfxListView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    const QPoint pos = event->position().toPoint();
    followRow(&pos);
    if (event->button() == Qt::RightButton && contextMenu_) contextMenu_->popup(event->globalPosition().toPoint());
}

void CFendalView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        // Deleting asks first; with no current point there is nothing to delete.
        if (doc_.currentFile >= 0 && doc_.currentPoint >= 0) doc_.onDeletePoint();
        event->accept();
        return;
    }
    CGfxListView::keyPressEvent(event);
}
