#include "listview/fendal_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <numeric>

#include "data/app_strings.h"
#include "listview/list_images.h"
#include "listview/point_list.h"
#include "platform/temp_dir.h"

namespace fendal::listview {

namespace {
constexpr int kRowHeight = 17;
constexpr unsigned kViewStyle = 0x1 | 0x2 | 0x4 | 0x8;
}  // namespace

CFendalView::CFendalView(data::CFendalDoc& doc, platform::Profile& profile, QWidget* parent)
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
    setRowHeightPixels(kRowHeight);
    GfxListCallbacks callbacks;
    callbacks.getText = [this](int, int position, int value) {
        return pointlist::rowText(doc_, value, columnIdAt(position));
    };
    callbacks.categorizeAll = [this](CGfxCategoryManager& categories) { pointlist::categorizeGroup(doc_, categories); };
    callbacks.extendedInfo = [this](GfxExtInfoRequest& request) { return extendedInfo(request); };
    callbacks.valueEdited = [this](int value, int definition, const std::string& text) {
        writeEdit(value, definition, text);
    };
    setCallbacks(std::move(callbacks));
    onDocumentUpdate(data::UpdateHint::Reloaded);
}

void CFendalView::saveLayout() {
    if (columnManager().definitions().empty()) return;  // never set up: nothing of ours to keep
    readBackColumns();
    columnManager().save(profile_, kListName);
}

void CFendalView::onDocumentUpdate(data::UpdateHint hint) {
    std::vector<int> rows(doc_.totalPoints());
    std::iota(rows.begin(), rows.end(), 0);
    // After an edit the categories stay open or closed as they were; other fills close them.
    GfxCategories categories = GfxCategories::None;
    if (doc_.group.fileCount() > 1)
        categories = hint == data::UpdateHint::PointsEdited ? GfxCategories::KeepStates : GfxCategories::Collapsed;
    fillRows(std::move(rows), categories);
    showCurrent();
}

void CFendalView::showCurrent() {
    // The current point stays selected when its row is shown, after a save as after an edit,
    // so the list never hides what Delete and the edit commands act on.
    int flat = -1;
    if (doc_.filePointToFlat(flat, data::CFendalDoc::kCurrent, data::CFendalDoc::kCurrent)) {
        const int row = core().rowOfValue(flat);
        if (row >= 0) {
            if (currentIndex().row() != row || !selectionModel()->isRowSelected(row, {})) focusRow(row, true);
            return;
        }
    }
    // A point under a closed category, or a file without a current point: the focus goes to
    // the file's category row, selected when the file itself is what is current.
    const CGfxCategoryManager* categories = core().categories();
    if (!categories || currentIndex().isValid() || doc_.currentFile() < 0) return;
    for (int k = 0; k < categories->categoryCount(); ++k) {
        if (pointlist::fileOfCategory(*categories, k) != doc_.currentFile()) continue;
        focusRow(categories->displayRowOfCategory(k), doc_.currentPoint() < 0);
        return;
    }
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
    doc_.ui().messageBox(text, data::kAppTitle, data::MsgButtons::Ok, data::MsgIcon::Warning);
}

void CFendalView::followRow(const QPoint* viewportPos) {
    const int oldFile = doc_.currentFile();
    const int oldPoint = doc_.currentPoint();
    const GfxRowRef under = viewportPos ? rowRefAt(*viewportPos) : focusedRowRef();
    if (under.isCategory() && core().categories()) {
        // The file the category was made for, whatever its place among the categories.
        doc_.setCurrent(pointlist::fileOfCategory(*core().categories(), under.category), -1);
    } else {
        const int row = selectedRow();
        const GfxRowRef selected = row >= 0 ? core().row(row) : GfxRowRef{};
        doc_.selectFlat(selected.isCategory() ? -1 : selected.value);
    }
    currentMoved(oldFile, oldPoint);
}

void CFendalView::currentMoved(int oldFile, int oldPoint) {
    if (const data::CrackDataFile* file = doc_.fileAt(doc_.currentFile()); file && !file->path.empty())
        doc_.setTitle(platform::fileNamePart(file->path));
    if (doc_.currentFile() != oldFile || doc_.currentPoint() != oldPoint) emit currentChanged();
}

void CFendalView::writeEdit(int value, int definition, const std::string& text) {
    const auto& definitions = columnManager().definitions();
    if (definition < 0 || definition >= static_cast<int>(definitions.size())) return;
    // The text belongs to the point whose row was edited: that point is made current first,
    // so it can never land in another one.
    int file = -1, point = -1;
    if (doc_.flatToFilePoint(value, file, point) && (file != doc_.currentFile() || point != doc_.currentPoint())) {
        const int oldFile = doc_.currentFile();
        const int oldPoint = doc_.currentPoint();
        doc_.selectFlat(value);
        currentMoved(oldFile, oldPoint);
    }
    const GfxColumnDef& column = definitions[definition];
    const pointlist::EditResult result = pointlist::writeEdit(doc_, column.id, text);
    const std::string refusal = pointlist::refusalMessage(result, column.id, column.text.value_or(""));
    if (!refusal.empty()) doc_.ui().messageBox(refusal, data::kAppTitle, data::MsgButtons::Ok, data::MsgIcon::Warning);
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
        if (doc_.currentFile() >= 0 && doc_.currentPoint() >= 0) doc_.onDeletePoint();
        event->accept();
        return;
    }
    const GfxRowRef before = focusedRowRef();
    CGfxListView::keyPressEvent(event);
    // A key that moved to another row (arrows, page keys, Home, End) makes it current; one
    // that did not (left, right, Enter, typing) leaves the current point alone.
    const GfxRowRef after = focusedRowRef();
    if (after.category != before.category || after.value != before.value) followRow(nullptr);
}

}  // namespace fendal::listview
