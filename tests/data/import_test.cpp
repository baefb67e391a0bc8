#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "data/app_strings.h"
#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "data/received_data.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

void writeTem(int32_t byteCount, const std::vector<unsigned char>& data) {
    std::vector<unsigned char> b(4);
    std::memcpy(b.data(), &byteCount, 4);
    b.insert(b.end(), data.begin(), data.end());
    TempFolder::writeAll(receivedDataPath(), b);
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(receivedDataPath().empty());
        std::remove(receivedDataPath().c_str());
    }
    ScriptedDocUi ui;
    CFendalDoc doc{ui};
    ScriptedTransfer ok{true};
};

TEST_F(ImportTest, RecordsBecomeNumberedPointsTwice) {
    writeTem(13, {0x00, 0x07, 0x0F, 0xA0, 0x00, 0x78, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xEE, 0xEE, 0xEE});
    doc.onDataTransfer(ok);
    ASSERT_EQ(doc.group.fileCount(), 1);
    const CrackDataFile& f = doc.group.files[0];
    ASSERT_EQ(f.pointCount(), 2);
    EXPECT_STREQ(f.points[0].number, "0007");
    EXPECT_EQ(f.points[0].velocity, 4000);
    EXPECT_EQ(f.points[0].depth, 120);
    EXPECT_STREQ(f.points[1].number, "65535");
    EXPECT_EQ(f.points[1].velocity, 0);
    ASSERT_EQ(f.receivedCount(), 2);
    EXPECT_EQ(0, std::memcmp(&f.points[1], &f.receivedPoints[1], sizeof(MeasurePoint)));
    EXPECT_TRUE(f.path.empty());
    EXPECT_EQ(doc.title(), kImportTitle);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.currentFile(), -1);
    EXPECT_TRUE(ui.shown.empty());

    // edits are undone by restoring from the received list
    doc.setCurrent(0, doc.currentPoint());
    doc.group.files[0].points[0].velocity = 1;
    ui.answers = {MsgAnswer::Yes};
    doc.onFileRestore();
    EXPECT_EQ(doc.group.files[0].points[0].velocity, 4000);
}

TEST_F(ImportTest, EmptyTransferGivesOneFileWithoutPoints) {
    writeTem(0, {});
    doc.onDataTransfer(ok);
    ASSERT_EQ(doc.group.fileCount(), 1);
    EXPECT_EQ(doc.group.files[0].pointCount(), 0);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.title(), kImportTitle);
}

TEST_F(ImportTest, LimitOfTwentyThousandPoints) {
    writeTem(20000 * 6, std::vector<unsigned char>(20000 * 6, 1));
    doc.onDataTransfer(ok);
    EXPECT_EQ(doc.group.files[0].pointCount(), 20000);

    writeTem(20001 * 6, std::vector<unsigned char>(20001 * 6, 1));
    doc.onDataTransfer(ok);  // the previous import is unsaved: the question comes first
    EXPECT_EQ(ui.shown.at(0).text, "将改动保存到“测深数据”？");
    ASSERT_EQ(ui.shown.size(), 1u);  // nothing answered: Cancel stops
    ui.answers = {MsgAnswer::No};
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.shown.back().text, "接收数据错误，请重新传输或重新运行本程序！");
    ASSERT_EQ(doc.group.fileCount(), 1);
    EXPECT_EQ(doc.group.files[0].pointCount(), 0);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ImportTest, NegativeOrMissingLengthIsAReceptionError) {
    writeTem(-6, {});
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.shown.back().text, "接收数据错误，请重新传输或重新运行本程序！");
    TempFolder::writeAll(receivedDataPath(), {0x01, 0x00});
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.shown.size(), 2u);
}

TEST_F(ImportTest, ShortFileGivesTheWholeRecordsAndSaysSo) {
    writeTem(5 * 6, {0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7});
    doc.onDataTransfer(ok);
    ASSERT_EQ(doc.group.files[0].pointCount(), 2);
    EXPECT_EQ(doc.group.files[0].points[1].depth, 6);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find("不完整"), std::string::npos);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ImportTest, MissingFileKeepsThePreviousGroup) {
    doc.group.files.push_back(sampleFile(3));
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.shown.back().text, "打开临时文件失败！");
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    EXPECT_EQ(doc.title(), kImportTitle);
}

// A FIFO or a folder where the received data should be is the open failure, and a FIFO must
// not block the import.
TEST_F(ImportTest, ReceivedDataThatIsNoRegularFileCannotBeOpened) {
    doc.group.files.push_back(sampleFile(3));
    ASSERT_EQ(::mkfifo(receivedDataPath().c_str(), 0600), 0);
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.texts(), (std::vector<std::string>{"打开临时文件失败！"}));
    std::remove(receivedDataPath().c_str());
    ASSERT_EQ(::mkdir(receivedDataPath().c_str(), 0700), 0);
    doc.onDataTransfer(ok);
    EXPECT_EQ(ui.shown.back().text, "打开临时文件失败！");
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    ::rmdir(receivedDataPath().c_str());
}

TEST_F(ImportTest, CancelledPromptOrTransferChangesNothing) {
    writeTem(6, {0, 1, 0, 2, 0, 3});
    doc.group.files.push_back(sampleFile(3));
    doc.setTitle("old.fsy");
    doc.setModifiedFlag();

    ui.answers = {MsgAnswer::Cancel};
    doc.onDataTransfer(ok);
    EXPECT_EQ(ok.runs, 0);

    ScriptedTransfer cancelled{false};
    ui.answers = {MsgAnswer::No};
    doc.onDataTransfer(cancelled);
    EXPECT_EQ(cancelled.runs, 1);
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    EXPECT_EQ(doc.title(), "old.fsy");
    EXPECT_TRUE(doc.isModified());
}

TEST(ReceivedData, WrittenFileReadsBack) {
    std::vector<ReceivedRecord> recs;
    for (int i = 0; i < 50; ++i) recs.push_back(demoRecord(i));
    TempFolder dir;
    ASSERT_TRUE(writeReceivedDataFile(dir.file("d.tem"), recs));
    ReceivedData d = readReceivedDataFile(dir.file("d.tem"));
    ASSERT_TRUE(d.complete());
    ASSERT_EQ(d.points.size(), 50u);
    EXPECT_STREQ(d.points[49].number, "0050");
    EXPECT_EQ(d.points[49].velocity, recs[49].velocity);
}

}  // namespace
