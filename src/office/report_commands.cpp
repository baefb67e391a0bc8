#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QtGlobal>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

#include <memory>

#include "data/app_strings.h"
#include "data/fendal_doc.h"
#include "office/docx_writer.h"
#include "office/office_commands.h"
#include "office/report_path.h"
#include "office/xlsx_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"
#include "transfer/wait_dlg.h"

namespace fendal::office {

namespace {

// A new file in the user's documents folder (the private temporary folder when there is
// none), named after the report and the time, never replacing an earlier report.
std::string newReportPath(const char* stem, const char* extension) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) folder = QString::fromStdString(platform::tempDir());
    if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return uniqueReportPath(folder.toStdString(), std::string(stem) + " " + stamp.toStdString(), extension);
}

// The busy cursor while a report is built: a large group takes seconds.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Writes a new report file with the busy cursor on; empty with the reason in `error` when it
// could not be written.
template <class Write>
std::string writeNewReport(const char* stem, const char* extension, std::string& error, Write write) {
    BusyCursor busy;
    const std::string path = newReportPath(stem, extension);
    error = "没有可用的文档文件夹";
    if (!path.empty() && write(path, error)) return path;
    return {};
}

void tell(data::CFendalDoc& doc, const std::string& message, data::MsgIcon icon) {
    doc.ui().messageBox(message, data::kAppTitle, data::MsgButtons::Ok, icon);
}

// Leaves the report open for the user, as the office program did.
void openReport(data::CFendalDoc& doc, const std::string& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)))) return;
    tell(doc,
         platform::text::format("报告已保存为:\n%s\n没有找到可以打开它的程序。",
                                platform::text::displayPath(path).c_str()),
         data::MsgIcon::Information);
}

}  // namespace

void wordReport(QWidget* parent, data::CFendalDoc& doc) {
    std::unique_ptr<transfer::CWaitDlg> wait = std::make_unique<transfer::CWaitDlg>(parent);
    wait->show();
    QCoreApplication::processEvents();  // let it paint before the work blocks the event loop

    std::string error;
    const std::string path = writeNewReport(
        "缝深检测分析报告", ".docx", error,
        [&](const std::string& p, std::string& e) { return writeDocx(buildWordReport(doc.group), p, e); });
    wait->hide();
    wait.reset();
    if (path.empty()) {
        tell(doc, "创建Word2000服务失败!\n" + error, data::MsgIcon::Warning);
        return;
    }
    openReport(doc, path);
}

void excelReport(QWidget*, data::CFendalDoc& doc) {
    std::string error;
    const std::string path = writeNewReport(
        "缝深检测分析报表", ".xlsx", error,
        [&](const std::string& p, std::string& e) { return writeXlsx(buildSheetReport(doc.group), p, e); });
    if (path.empty()) {
        tell(doc, "创建Excel服务失败!\n" + error, data::MsgIcon::Warning);
        return;
    }
    openReport(doc, path);
}

}  // namespace fendal::office
