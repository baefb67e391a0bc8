// The print preview command in the running program: printing from the preview goes through Qt's
// print dialog and prints every page, whichever page the preview shows.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <functional>
#include <QPrintDialog>
#include <QTimer>

#include "frame_fixture.h"
#include "print/pdf_reading.h"
#include "print/print_preview_dialog.h"
#include "print/print_preview_view.h"

using namespace fendal;
using namespace fendal::app;
using namespace fendal::print;

namespace {

class PrintPreviewCommandTest : public FrameFixture {
protected:
    // Opens the preview of a 100-point file (3 pages), runs `inPreview` in it, and answers the
    // print dialog with `inPrintDialog` should it come up.
    void preview(const std::function<void(PrintPreviewDialog&)>& inPreview,
                 const std::function<void(QPrintDialog&)>& inPrintDialog) {
        start({"fendal", writeSample("a.fsy", 100)});
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<PrintPreviewDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QTimer::singleShot(0, [&] {
                auto* printDialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(printDialog, nullptr);
                printDialogShown = true;
                inPrintDialog(*printDialog);
            });
            inPreview(*dialog);
        });
        action(CommandId::FilePrintPreview)->trigger();
    }

    bool printDialogShown = false;
};

// Prints to a PDF file, the destination that Qt's print dialog offers on every machine.
void printTo(QPrintDialog& dialog, const std::string& pdf) {
    auto* name = dialog.findChild<QLineEdit*>("filename");
    ASSERT_NE(name, nullptr);
    name->setText(QString::fromStdString(pdf));
    dialog.accept();
}

}  // namespace

TEST_F(PrintPreviewCommandTest, PrintingFromThePreviewPrintsEveryPageAndCloses) {
    const std::string pdf = folder.file("printed.pdf");
    bool closed = false;
    preview(
        [&](PrintPreviewDialog& dialog) {
            dialog.view()->setCurrentPage(2);
            dialog.command("print")->trigger();
            closed = !dialog.isVisible() && dialog.result() == QDialog::Accepted;
        },
        [&](QPrintDialog& dialog) { printTo(dialog, pdf); });
    EXPECT_TRUE(printDialogShown);
    EXPECT_TRUE(closed);
    const auto pages = pdfPages(pdf, "-raw");
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("Tesmar科技缝深检测分析软件处理结果"), std::string::npos);
    EXPECT_NE(pages[2].find("0100"), std::string::npos);  // the last point, on the last page
}

TEST_F(PrintPreviewCommandTest, CancellingThePrintDialogKeepsThePreview) {
    bool stillOpen = false;
    preview(
        [&](PrintPreviewDialog& dialog) {
            dialog.command("print")->trigger();
            stillOpen = QApplication::activeModalWidget() == &dialog;
            dialog.command("close")->trigger();
        },
        [](QPrintDialog& dialog) { dialog.reject(); });
    EXPECT_TRUE(printDialogShown);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
