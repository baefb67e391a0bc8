// The report commands on the desktop: where the file goes, that it is opened, and what the
// user is told when it cannot be written or opened.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QUrl>

#include <filesystem>

#include "data/fendal_doc.h"
#include "office/office_commands.h"
#include "qt_test_app.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

namespace {

class ReportCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("HOME", QByteArray::fromStdString(home.path().string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.file(".config")));
        testApp();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        doc.group.files.push_back(sampleFile(3, "/data/a.fsy"));
        doc.group.files.push_back(sampleFile(2, "/data/b.fsy", 10));
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QString documents() const { return QString::fromStdString(home.file("Documents")); }

    TempFolder home;
    OpenedUrls opened;
    ScriptedDocUi ui;
    CFendalDoc doc{ui};
};

TEST_F(ReportCommandsTest, ReportsAreWrittenToTheDocumentsFolderAndOpened) {
    office::wordReport(nullptr, doc);
    office::wordReport(nullptr, doc);  // within the same second: a second file, not the first overwritten
    office::excelReport(nullptr, doc);

    EXPECT_TRUE(ui.shown.empty());
    ASSERT_EQ(opened.urls.size(), 3);
    QStringList names;
    for (const QUrl& url : opened.urls) {
        const QFileInfo file(url.toLocalFile());
        EXPECT_EQ(file.absolutePath(), documents());
        EXPECT_TRUE(file.isFile());
        EXPECT_GT(file.size(), 0);
        names << file.fileName();
    }
    EXPECT_TRUE(names[0].startsWith(QStringLiteral("缝深检测分析报告")) && names[0].endsWith(".docx"));
    EXPECT_NE(names[0], names[1]);
    EXPECT_TRUE(names[2].startsWith(QStringLiteral("缝深检测分析报表")) && names[2].endsWith(".xlsx"));
    EXPECT_FALSE(doc.isModified());  // a report changes nothing in the document
}

TEST_F(ReportCommandsTest, UnwritableFolderShowsTheFailureMessagesWithTheReason) {
    TempFolder::writeAll(home.file("Documents"), {'x'});  // a file where the folder should be
    office::wordReport(nullptr, doc);
    office::excelReport(nullptr, doc);
    EXPECT_TRUE(opened.urls.empty());
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"创建Word2000服务失败!\n没有可用的文档文件夹",
                                                    "创建Excel服务失败!\n没有可用的文档文件夹"}));
}

TEST_F(ReportCommandsTest, WithoutAProgramToOpenItTheUserLearnsWhereTheFileIs) {
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));  // offscreen has no desktop to ask
    office::excelReport(nullptr, doc);
    ASSERT_EQ(ui.shown.size(), 1u);
    const QStringList files = QDir(documents()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1);
    EXPECT_NE(ui.shown[0].text.find(files[0].toStdString()), std::string::npos) << ui.shown[0].text;
}

}  // namespace

#include "report_commands_test.moc"
