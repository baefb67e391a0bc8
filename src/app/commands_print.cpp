#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <utility>

#include "app/subsystem_commands.h"
#include "data/app_strings.h"
#include "data/fendal_doc.h"
#include "print/preview_page_painter.h"
#include "print/print_output.h"
#include "print/print_preview_dialog.h"
#include "print/print_set_dlg.h"
#include "print/print_table.h"

namespace fendal::app {

namespace commands {
namespace {

// The pages chosen in the print dialog: all of them unless a range was given.
std::pair<int, int> chosenPages(const QPrinter& printer, int maxPage) {
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        return {printer.fromPage(), std::min(printer.toPage(), maxPage)};
    return {1, maxPage};
}

// Qt's print dialog for the prepared job; false when the user cancels it.
bool choosePrinter(QWidget* parent, QPrinter& printer, const print::PrintInfo& info) {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(1, info.maxPage));
    dialog.setFromTo(1, std::max(1, info.maxPage));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, info.maxPage > 0);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    return dialog.exec() == QDialog::Accepted;
}

// Prints the pages the printer asks for, with a progress window that can cancel the job.
// True when every page went out.
bool printJob(QWidget* parent, QPrinter& printer, print::PrintTable& table, print::PrintInfo& info) {
    const auto [from, to] = chosenPages(printer, info.maxPage);
    if (from > to) return false;
    QProgressDialog progress(QStringLiteral("正在打印..."), QStringLiteral("取消"), 0, to - from + 1, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool done = print::paintPages(printer, table, info, from, to, [&](int page, int count) {
        progress.setLabelText(QStringLiteral("正在打印第 %1 页，共 %2 页").arg(page).arg(count));
        progress.setValue(page - from);
        if (progress.wasCanceled()) {
            printer.abort();
            return false;
        }
        return true;
    });
    progress.setValue(to - from + 1);
    if (!done && !progress.wasCanceled())
        QMessageBox::warning(parent, QString::fromUtf8(data::kAppTitle),
                             QStringLiteral("打印失败：无法向打印机输出。"));
    return done;
}

}  // namespace

void printSettings(QWidget* parent) {
    print::CPrintSetDlg dialog(parent);
    dialog.exec();
}

void print(QWidget* parent, data::CFendalDoc& doc, bool direct) {
    print::PrintTable table(&doc.group);
    print::PrintInfo info;
    table.preparePrinting(info);
    QPrinter printer(QPrinter::HighResolution);
    if (direct) {
        if (!printer.isValid()) {
            QMessageBox::warning(parent, QString::fromUtf8(data::kAppTitle), QStringLiteral("没有可用的打印机。"));
            return;
        }
    } else if (!choosePrinter(parent, printer, info)) {
        return;
    }
    printJob(parent, printer, table, info);
}

// Pages are drawn as they come into view, so that a group of many thousand pages opens at once;
// printing goes through Qt's print dialog and closes the preview once every page went out.
void printPreview(QWidget* parent, data::CFendalDoc& doc) {
    print::PrintTable table(&doc.group);
    print::PrintInfo info;
    table.preparePrinting(info);
    QPrinter printer(QPrinter::HighResolution);
    print::PreviewPagePainter pages(table, info, print::PaperGeometry::of(printer.pageLayout()));
    print::PrintPreviewDialog dialog(pages, parent);
    // The preview takes the frame's place: maximised, and at the frame's size where no window
    // manager maximises it.
    if (parent) dialog.setGeometry(parent->window()->geometry());
    dialog.setWindowState(dialog.windowState() | Qt::WindowMaximized);
    QObject::connect(&dialog, &print::PrintPreviewDialog::printRequested, &dialog, [&] {
        if (choosePrinter(&dialog, printer, info) && printJob(&dialog, printer, table, info)) dialog.accept();
    });
    dialog.exec();
}

}  // namespace commands

}  // namespace fendal::app
