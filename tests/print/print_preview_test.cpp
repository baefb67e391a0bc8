// The print preview as the user meets it: as many pages as the printer prints, only the pages in
// view drawn, page navigation and zoom, a few kept pictures, and pages that look as printed.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <set>

#include "print/pdf_reading.h"
#include "print/preview_page_painter.h"
#include "print/print_output.h"
#include "print/print_preview_dialog.h"
#include "print/print_preview_view.h"
#include "print/qt_app.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

FileGroup groupOf(std::initializer_list<int> pointCounts) {
    FileGroup group;
    int n = 0;
    for (int count : pointCounts)
        group.files.push_back(sampleFile(count, platform::text::format("/data/f%d.fsy", n++)));
    return group;
}

// 99999 points: 38 rows on the first page, 42 on each further one.
constexpr int kPages = 2382;

const PaperGeometry kA4NoMargins = PaperGeometry::of(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, {}));

// A prepared job with its preview window, as the print preview command makes them.
struct Preview {
    explicit Preview(const FileGroup& g, const PaperGeometry& paper = kA4NoMargins) : group(g), table(&group) {
        table.preparePages(info);
        pages = std::make_unique<PreviewPagePainter>(table, info, paper);
        dialog = std::make_unique<PrintPreviewDialog>(*pages);
    }
    void open(QSize size = {900, 700}) {
        testApp();
        dialog->resize(size);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QCoreApplication::processEvents();
    }
    PrintPreviewView& view() { return *dialog->view(); }
    // Paints what the view shows now, as the screen would.
    void repaint() { view().viewport()->repaint(); }
    void trigger(const char* command) { dialog->command(command)->trigger(); }

    FileGroup group;
    PrintTable table;
    PrintInfo info;
    std::unique_ptr<PreviewPagePainter> pages;
    std::unique_ptr<PrintPreviewDialog> dialog;
};

int pdfPageCount(const FileGroup& group, const PrintSettings& settings, const std::string& path) {
    PrintTable table(&group);
    table.settings() = settings;
    PrintInfo info;
    table.preparePages(info);
    std::string error;
    EXPECT_TRUE(writeTablePdf(path, table, info, error)) << error;
    return static_cast<int>(pdfPages(path).size());
}

// Where the rows (or columns) of a picture that are mostly ink lie: the table's rules, each run
// of neighbouring inked rows counted once at its middle, however thick it was drawn.
std::vector<double> ruledLines(const QImage& picture, bool rows) {
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const int n = rows ? grey.height() : grey.width(), across = rows ? grey.width() : grey.height();
    std::vector<double> lines;
    int runStart = -1;
    for (int i = 0; i <= n; ++i) {
        int ink = 0;
        for (int j = 0; i < n && j < across; ++j) ink += qGray(grey.pixel(rows ? j : i, rows ? i : j)) < 160;
        const bool inked = ink * 2 > across;  // more than any text stacked in a column
        if (inked && runStart < 0) runStart = i;
        if (!inked && runStart >= 0) {
            lines.push_back((runStart + i - 1) / 2.0);
            runStart = -1;
        }
    }
    return lines;
}

}  // namespace

TEST(PrintPreview, HasThePagesThePrinterPrints) {
    TempFolder folder;
    PrintSettings startAt5 = viewDefaultSettings();
    startAt5.startPage = 5;
    startAt5.pageNumberFormat = 4;
    startAt5.printFooter = 1;
    PrintSettings bare = viewDefaultSettings();
    bare.printHeader = bare.printFooter = bare.printPageNumber = 0;
    const struct {
        FileGroup group;
        PrintSettings settings;
    } cases[] = {
        {groupOf({0}), viewDefaultSettings()},
        {groupOf({38}), bare},
        {groupOf({39}), startAt5},
        {groupOf({85}), viewDefaultSettings()},
        {groupOf({3, 0, 120, 41}), startAt5},
        {groupOf({200, 200}), bare},
    };
    int n = 0;
    for (const auto& c : cases) {
        const int printed = pdfPageCount(c.group, c.settings, folder.file(platform::text::format("p%d.pdf", n++)));
        Preview preview(c.group);
        preview.table.settings() = c.settings;
        EXPECT_EQ(preview.view().pageCount(), printed);
        EXPECT_EQ(preview.view().layout().pageCount(), printed);
        EXPECT_EQ(preview.dialog->pageNumber()->maximum(), printed);
        EXPECT_EQ(preview.dialog->findChild<QLabel*>()->text().trimmed(), QStringLiteral("/ %1").arg(printed));
    }
}

TEST(PrintPreview, FirstPaintDrawsOnlyThePagesInView) {
    Preview preview(groupOf({99999}));
    ASSERT_EQ(preview.view().pageCount(), kPages);
    preview.open();
    const PageSpan shown = preview.view().pagesInView();
    EXPECT_EQ(shown.first, 1);
    EXPECT_GE(shown.count(), 1);
    EXPECT_LE(shown.count(), 2);
    EXPECT_EQ(preview.pages->pagesPainted(), shown.count());
    EXPECT_EQ(preview.view().keptPictures(), shown.count());
    // Fitting the width: the page fills the view but for the gaps at its sides.
    EXPECT_EQ(preview.view().zoomMode(), PrintPreviewView::ZoomMode::FitWidth);
    EXPECT_EQ(preview.view().layout().contentWidth(), preview.view().viewport()->width());

    // Shown again from the kept pictures: nothing drawn twice.
    const QImage shot = preview.dialog->grab().toImage();
    EXPECT_EQ(preview.pages->pagesPainted(), shown.count());
    if (const char* dir = std::getenv("FENDAL_PRINT_GRAB")) shot.save(QString(dir) + "/print_preview.png");

    // The page is white paper with ink on it, on the grey desk.
    const QPoint pageCorner = preview.view().viewport()->mapTo(preview.dialog.get(), QPoint(20, 20));
    EXPECT_EQ(shot.pixelColor(pageCorner), QColor(Qt::white));
    const QPoint desk = preview.view().viewport()->mapTo(preview.dialog.get(), QPoint(3, 3));
    EXPECT_NE(shot.pixelColor(desk), QColor(Qt::white));
}

TEST(PrintPreview, PageNavigationMovesThePagesAndTheNumber) {
    Preview preview(groupOf({99999}));
    preview.open();
    PrintPreviewView& view = preview.view();
    QSpinBox& number = *preview.dialog->pageNumber();
    EXPECT_FALSE(preview.dialog->command("previousPage")->isEnabled());

    preview.trigger("nextPage");
    EXPECT_EQ(view.currentPage(), 2);
    EXPECT_EQ(number.value(), 2);
    EXPECT_EQ(view.pagesInView().first, 2);

    number.setValue(1000);  // typed into the page box
    EXPECT_EQ(view.currentPage(), 1000);
    EXPECT_EQ(view.pagesInView().first, 1000);
    preview.trigger("previousPage");
    EXPECT_EQ(number.value(), 999);

    // Scrolling by hand names the page that fills the view.
    view.verticalScrollBar()->setValue(static_cast<int>(view.layout().scrollTopOf(77)) + 30);
    EXPECT_EQ(view.currentPage(), 77);
    EXPECT_EQ(number.value(), 77);

    preview.trigger("lastPage");
    EXPECT_EQ(view.currentPage(), kPages);  // even where the last page cannot scroll to the top
    EXPECT_EQ(view.pagesInView().last, kPages);
    EXPECT_FALSE(preview.dialog->command("nextPage")->isEnabled());
    EXPECT_FALSE(preview.dialog->command("lastPage")->isEnabled());
    preview.trigger("firstPage");
    EXPECT_EQ(view.currentPage(), 1);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);

    // The pages have the keys when the preview opens.
    ASSERT_EQ(preview.dialog->focusWidget(), &view);
    QTest::keyClick(preview.dialog->focusWidget(), Qt::Key_End);
    EXPECT_EQ(number.value(), kPages);
    QTest::keyClick(preview.dialog->focusWidget(), Qt::Key_Home);
    EXPECT_EQ(number.value(), 1);
    view.setCurrentPage(100000);
    EXPECT_EQ(view.currentPage(), kPages);

    // The pages painted are the ones that came into view, not the ones passed over.
    EXPECT_LE(preview.pages->pagesPainted(), 20);
}

TEST(PrintPreview, ZoomKeepsThePageInView) {
    Preview preview(groupOf({99999}));
    preview.open();
    PrintPreviewView& view = preview.view();
    view.setCurrentPage(500);
    const double fitted = view.zoom();

    preview.trigger("zoomIn");
    EXPECT_DOUBLE_EQ(view.zoom(), PreviewLayout::nextZoomStep(fitted, 1));
    EXPECT_EQ(view.zoomMode(), PrintPreviewView::ZoomMode::Fixed);
    EXPECT_FALSE(preview.dialog->command("fitWidth")->isChecked());
    EXPECT_EQ(view.currentPage(), 500);
    EXPECT_EQ(view.pagesInView().first, 500);

    preview.trigger("fitPage");
    EXPECT_TRUE(preview.dialog->command("fitPage")->isChecked());
    EXPECT_LE(view.layout().pageHeight() + 2 * PreviewLayout::kGap, view.viewport()->height());
    EXPECT_EQ(view.pagesInView().first, 500);

    QLineEdit& zoomText = *preview.dialog->findChild<QComboBox*>()->lineEdit();
    zoomText.selectAll();
    QTest::keyClicks(&zoomText, "50%");
    QTest::keyClick(&zoomText, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(view.zoom(), 0.5);
    EXPECT_EQ(view.currentPage(), 500);
    zoomText.setText("half");
    QTest::keyClick(&zoomText, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(view.zoom(), 0.5);
    EXPECT_EQ(zoomText.text(), "50%");

    preview.trigger("fitWidth");
    const double width = view.zoom();
    zoomText.setText(zoomText.text());  // the shown zoom taken again keeps fitting the width
    QTest::keyClick(&zoomText, Qt::Key_Return);
    EXPECT_EQ(view.zoomMode(), PrintPreviewView::ZoomMode::FitWidth);
    preview.dialog->resize(1200, 700);
    QCoreApplication::processEvents();
    EXPECT_GT(view.zoom(), width);
}

TEST(PrintPreview, FacingPagesKeepTheCurrentPageAndStepByTwo) {
    Preview preview(groupOf({99999}));
    preview.open();
    PrintPreviewView& view = preview.view();
    view.setCurrentPage(301);
    const double single = view.zoom();
    preview.trigger("facingPages");
    EXPECT_EQ(view.layout().columns(), 2);
    EXPECT_LT(view.zoom(), single);  // two pages fill the width now
    EXPECT_EQ(view.currentPage(), 301);
    EXPECT_EQ(view.pagesInView().first, 301);
    EXPECT_GE(view.pagesInView().last, 302);
    preview.trigger("nextPage");
    EXPECT_EQ(preview.dialog->pageNumber()->value(), 303);
    preview.repaint();
    EXPECT_TRUE(view.keptPictures() >= 2);
    preview.trigger("singlePage");
    EXPECT_EQ(view.layout().columns(), 1);
    EXPECT_DOUBLE_EQ(view.zoom(), single);
    EXPECT_EQ(view.pagesInView().first, 303);

    // Ctrl and the wheel zoom; the wheel alone scrolls.
    const int top = view.verticalScrollBar()->value();
    QWheelEvent up(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), {}, {0, 120}, Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &up);
    EXPECT_DOUBLE_EQ(view.zoom(), PreviewLayout::nextZoomStep(single, 1));
    QWheelEvent down(QPointF(50, 50), view.viewport()->mapToGlobal(QPointF(50, 50)), {}, {0, -120}, Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(view.viewport(), &down);
    EXPECT_GT(view.verticalScrollBar()->value(), view.layout().scrollTopOf(303) - 1);
    EXPECT_NE(view.verticalScrollBar()->value(), top);
}

TEST(PrintPreview, KeepsOnlyAFewPagePictures) {
    Preview preview(groupOf({99999}));
    preview.open();
    PrintPreviewView& view = preview.view();
    QScrollBar& bar = *view.verticalScrollBar();
    const int pageBytes = static_cast<int>(view.layout().pageWidth() * view.layout().pageHeight() * 4);
    std::set<int> seen;
    for (int i = 0; i < 120; ++i) {
        bar.setValue(bar.value() + bar.pageStep());
        preview.repaint();
        const PageSpan shown = view.pagesInView();
        for (int p = shown.first; p <= shown.last; ++p) seen.insert(p);
        EXPECT_LE(static_cast<std::size_t>(view.keptPictures()) * pageBytes, PrintPreviewView::kPictureBudget);
    }
    EXPECT_GT(view.currentPage(), 60);
    EXPECT_EQ(preview.pages->pagesPainted(), static_cast<int>(seen.size()));  // each page once
    bar.setValue(bar.value() - bar.pageStep());                               // back over pages still kept
    preview.repaint();
    EXPECT_EQ(preview.pages->pagesPainted(), static_cast<int>(seen.size()));

    // Pages too large to keep are drawn where they show, and still drawn.
    view.setZoom(PreviewLayout::kMaxZoom);
    const int before = preview.pages->pagesPainted();
    preview.repaint();
    EXPECT_EQ(view.keptPictures(), 0);
    EXPECT_GT(preview.pages->pagesPainted(), before);
}

TEST(PrintPreview, PageLooksAsThePrintedPage) {
    TempFolder folder;
    const FileGroup group = groupOf({85});
    const std::string pdf = folder.file("page.pdf");
    ASSERT_EQ(pdfPageCount(group, viewDefaultSettings(), pdf), 3);
    ASSERT_EQ(run("pdftoppm -r 100 -f 2 -l 2 -singlefile -gray " + quote(pdf) + " " + quote(folder.file("printed"))),
              0);
    const QImage printed(QString::fromStdString(folder.file("printed.pgm")));
    ASSERT_FALSE(printed.isNull());

    Preview preview(group);
    QImage shown(printed.size(), QImage::Format_RGB32);
    shown.fill(Qt::white);
    QPainter painter(&shown);
    preview.pages->paint(painter, 2, 100.0 / 72);
    painter.end();

    const auto printedRows = ruledLines(printed, true), shownRows = ruledLines(shown, true);
    const auto printedColumns = ruledLines(printed, false), shownColumns = ruledLines(shown, false);
    ASSERT_GT(printedRows.size(), 40u);  // the second page's rows and the footer rule
    ASSERT_GE(printedColumns.size(), 4u);
    ASSERT_EQ(shownRows.size(), printedRows.size());
    for (std::size_t i = 0; i < printedRows.size(); ++i) EXPECT_NEAR(shownRows[i], printedRows[i], 1.5) << i;
    ASSERT_EQ(shownColumns.size(), printedColumns.size());
    for (std::size_t i = 0; i < printedColumns.size(); ++i) EXPECT_NEAR(shownColumns[i], printedColumns[i], 1.5) << i;
}
