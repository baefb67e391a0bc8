#include "print/print_preview_dialog.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "print/preview_page_painter.h"
#include "print/print_preview_view.h"

namespace fendal::print {

namespace {

// Qt's own preview texts, so that its translations name the commands as before.
QString qtText(const char* text) { return QCoreApplication::translate("QPrintPreviewDialog", text); }

QString shownZoom(double zoom) { return QStringLiteral("%1%").arg(zoom * 100, 0, 'f', 1).replace(".0%", "%"); }

const char* const kZoomChoices[] = {"12.5%", "25%", "50%", "75%", "100%", "125%", "150%", "200%", "400%", "800%"};

}  // namespace

PrintPreviewDialog::PrintPreviewDialog(PreviewPagePainter& pages, QWidget* parent)
    : QDialog(parent), view_(new PrintPreviewView(pages, this)) {
    setWindowTitle(qtText("Print Preview"));
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);  // commands without a picture show their text
    bar->setFloatable(false);
    bar->setMovable(false);

    QAction* fitWidth = addCommand("fitWidth", qtText("Fit width"), QIcon::fromTheme("zoom-fit-width"));
    QAction* fitPage = addCommand("fitPage", qtText("Fit page"), QIcon::fromTheme("zoom-fit-best"));
    auto* fits = new QActionGroup(this);
    fits->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction* a : {fitWidth, fitPage}) {
        a->setCheckable(true);
        fits->addAction(a);
    }
    fitWidth->setChecked(view_->zoomMode() == PrintPreviewView::ZoomMode::FitWidth);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setEditable(true);
    zoomBox_->setInsertPolicy(QComboBox::NoInsert);
    zoomBox_->setMinimumContentsLength(6);
    zoomBox_->setFocusPolicy(Qt::ClickFocus);  // the pages have the keys when the preview opens
    for (const char* choice : kZoomChoices) zoomBox_->addItem(QString::fromLatin1(choice));
    QAction* zoomOut = addCommand("zoomOut", qtText("Zoom out"), QIcon::fromTheme("zoom-out"));
    QAction* zoomIn = addCommand("zoomIn", qtText("Zoom in"), QIcon::fromTheme("zoom-in"));
    bar->addAction(fitWidth);
    bar->addAction(fitPage);
    bar->addWidget(zoomBox_);
    bar->addAction(zoomOut);
    bar->addAction(zoomIn);
    bar->addSeparator();

    QStyle* s = style();
    QAction* first = addCommand("firstPage", qtText("First page"),
                                QIcon::fromTheme("go-first", s->standardIcon(QStyle::SP_MediaSkipBackward)));
    QAction* previous = addCommand("previousPage", qtText("Previous page"),
                                   QIcon::fromTheme("go-previous", s->standardIcon(QStyle::SP_ArrowLeft)));
    QAction* next = addCommand("nextPage", qtText("Next page"),
                               QIcon::fromTheme("go-next", s->standardIcon(QStyle::SP_ArrowRight)));
    QAction* last = addCommand("lastPage", qtText("Last page"),
                               QIcon::fromTheme("go-last", s->standardIcon(QStyle::SP_MediaSkipForward)));
    pageNumber_ = new QSpinBox(bar);
    pageNumber_->setObjectName("pageNumber");
    pageNumber_->setRange(1, std::max(1, view_->pageCount()));
    pageNumber_->setKeyboardTracking(false);
    pageNumber_->setButtonSymbols(QAbstractSpinBox::NoButtons);
    pageNumber_->setAlignment(Qt::AlignRight);
    pageTotal_ = new QLabel(QStringLiteral(" / %1 ").arg(view_->pageCount()), bar);
    bar->addAction(first);
    bar->addAction(previous);
    bar->addWidget(pageNumber_);
    bar->addWidget(pageTotal_);
    bar->addAction(next);
    bar->addAction(last);
    bar->addSeparator();

    QAction* single = addCommand("singlePage", QStringLiteral("单页"), QIcon::fromTheme("view-paged"));
    QAction* facing = addCommand("facingPages", QStringLiteral("两页"), QIcon::fromTheme("view-dual"));
    auto* modes = new QActionGroup(this);
    for (QAction* a : {single, facing}) {
        a->setCheckable(true);
        modes->addAction(a);
        bar->addAction(a);
    }
    single->setChecked(true);
    bar->addSeparator();

    QAction* print = addCommand("print", qtText("Print"), QIcon::fromTheme("document-print"));
    QAction* close = addCommand("close", QStringLiteral("关闭"), QIcon::fromTheme("window-close"));
    bar->addAction(print);
    bar->addAction(close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(view_, 1);

    connect(fitWidth, &QAction::triggered, view_, &PrintPreviewView::fitToWidth);
    connect(fitPage, &QAction::triggered, view_, &PrintPreviewView::fitToPage);
    connect(zoomIn, &QAction::triggered, view_, &PrintPreviewView::zoomIn);
    connect(zoomOut, &QAction::triggered, view_, &PrintPreviewView::zoomOut);
    connect(zoomBox_, &QComboBox::textActivated, this, &PrintPreviewDialog::takeZoomText);
    connect(zoomBox_->lineEdit(), &QLineEdit::returnPressed, this, &PrintPreviewDialog::takeZoomText);
    connect(first, &QAction::triggered, view_, [this] { view_->setCurrentPage(1); });
    // A step is a row: one page, or two facing pages.
    const auto step = [this] { return view_->layout().columns(); };
    connect(previous, &QAction::triggered, view_,
            [this, step] { view_->setCurrentPage(view_->currentPage() - step()); });
    connect(next, &QAction::triggered, view_, [this, step] { view_->setCurrentPage(view_->currentPage() + step()); });
    connect(last, &QAction::triggered, view_, [this] { view_->setCurrentPage(view_->pageCount()); });
    connect(pageNumber_, &QSpinBox::valueChanged, view_, &PrintPreviewView::setCurrentPage);
    connect(facing, &QAction::toggled, view_, &PrintPreviewView::setFacingPages);
    connect(print, &QAction::triggered, this, &PrintPreviewDialog::printRequested);
    connect(close, &QAction::triggered, this, &QDialog::reject);
    connect(view_, &PrintPreviewView::currentPageChanged, this, &PrintPreviewDialog::showPage);
    connect(view_, &PrintPreviewView::zoomChanged, this, [this, fitWidth, fitPage](double zoom) {
        fitWidth->setChecked(view_->zoomMode() == PrintPreviewView::ZoomMode::FitWidth);
        fitPage->setChecked(view_->zoomMode() == PrintPreviewView::ZoomMode::FitPage);
        showZoom(zoom);
    });
    showPage(view_->currentPage());
    showZoom(view_->zoom());
    view_->setFocus();
}

QAction* PrintPreviewDialog::addCommand(const char* name, const QString& text, const QIcon& icon) {
    auto* action = new QAction(icon, text, this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

QAction* PrintPreviewDialog::command(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void PrintPreviewDialog::showPage(int page) {
    const QSignalBlocker quiet(pageNumber_);
    pageNumber_->setValue(page);
    const int count = view_->pageCount();
    command("firstPage")->setEnabled(page > 1);
    command("previousPage")->setEnabled(page > 1);
    command("nextPage")->setEnabled(page < count);
    command("lastPage")->setEnabled(page < count);
}

void PrintPreviewDialog::showZoom(double zoom) { zoomBox_->setEditText(shownZoom(zoom)); }

// A zoom typed or chosen as a percentage; anything else puts the current zoom back.
void PrintPreviewDialog::takeZoomText() {
    QString text = zoomBox_->currentText().trimmed();
    if (text.endsWith('%')) text.chop(1);
    bool ok = false;
    const double percent = text.toDouble(&ok);
    // The zoom as shown, taken again, leaves a fitting zoom fitting.
    if (ok && percent > 0 && text != shownZoom(view_->zoom()).chopped(1)) view_->setZoom(percent / 100.0);
    showZoom(view_->zoom());
}

}  // namespace fendal::print
