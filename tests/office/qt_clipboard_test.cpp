// The commands on the Qt clipboard (offscreen: one process, the real QClipboard API).
#include <gtest/gtest.h>

#include <QClipboard>
#include <QMimeData>

#include <cstring>

#include "data/fendal_doc.h"
#include "office/office_commands.h"
#include "office/point_block.h"
#include "qt_test_app.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

class QtClipboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        QGuiApplication::clipboard()->clear();
        doc.group.files.push_back(sampleFile(3, "/data/a.fsy"));
        doc.group.files.push_back(sampleFile(2, "/data/b.fsy", 10));
        doc.setCurrent(0, 2);
    }
    void putRaw(const QByteArray& bytes) {
        auto* data = new QMimeData;
        data->setData(QStringLiteral("DEDORURU_COPY_PAST_DEPTH"), bytes);
        QGuiApplication::clipboard()->setMimeData(data);
    }

    ScriptedDocUi ui;
    CFendalDoc doc{ui};
};

TEST_F(QtClipboardTest, CopyPutsTheBlockUnderTheFormatName) {
    office::copyPoint(doc);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data);
    const QByteArray bytes = data->data(QStringLiteral("DEDORURU_COPY_PAST_DEPTH"));
    const PointBlock expected = encodePointBlock(doc.group.files[0].points[2]);
    ASSERT_EQ(bytes.size(), 448);
    EXPECT_EQ(0, std::memcmp(bytes.constData(), expected.data(), expected.size()));
    EXPECT_TRUE(office::canPaste());
}

TEST_F(QtClipboardTest, CutAndPasteMoveAPointBetweenFiles) {
    const MeasurePoint moved = doc.group.files[0].points[2];
    office::cutPoint(doc);
    EXPECT_EQ(doc.group.files[0].pointCount(), 2);
    EXPECT_EQ(doc.currentPoint(), -1);

    doc.setCurrent(1, 0);
    ASSERT_TRUE(office::canPaste());
    office::pastePoint(doc);
    EXPECT_EQ(0, std::memcmp(&doc.group.files[1].points[0], &moved, sizeof moved));
    EXPECT_EQ(doc.group.files[1].pointCount(), 2);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(QtClipboardTest, OtherDataDisablesPasteAndIsNotPasted) {
    const MeasurePoint before = doc.group.files[0].points[2];
    QGuiApplication::clipboard()->setText(QStringLiteral("0003 3002 102"));
    EXPECT_FALSE(office::canPaste());
    office::pastePoint(doc);

    const PointBlock block = encodePointBlock(samplePoint(9));
    putRaw(QByteArray(reinterpret_cast<const char*>(block.data()), 447));
    EXPECT_FALSE(office::canPaste());
    office::pastePoint(doc);

    EXPECT_EQ(0, std::memcmp(&doc.group.files[0].points[2], &before, sizeof before));
    EXPECT_FALSE(doc.isModified());
}

}  // namespace
