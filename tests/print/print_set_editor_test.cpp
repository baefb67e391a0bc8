// The settings dialog's rules without its widgets: loading, validation, the interference
// messages, saving; and its miniature page.
#include <gtest/gtest.h>

#include "print/print_set_editor.h"
#include "print/recording_canvas.h"
#include "print/scripted_print_set_ui.h"
#include "print/settings_files.h"
#include "print/print_table.h"
#include "print/settings_preview.h"

using namespace fendal;
using namespace fendal::print;

namespace {

class PrintSetEditorTest : public testing::Test {
protected:
    void SetUp() override { removeSettingsFiles(); }
    void TearDown() override { removeSettingsFiles(); }

    PrintSettings storedFile0() {
        PrintSettings s;
        EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Read);
        return s;
    }

    ScriptedPrintSetUi ui;
    PrintSetEditor editor{ui};
};

TEST_F(PrintSetEditorTest, FirstOpeningStoresTheDefaultsSilently) {
    editor.load();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(editor.values(), dialogDefaultSettings());
    EXPECT_EQ(storedFile0(), dialogDefaultSettings());
}

TEST_F(PrintSetEditorTest, ForeignFileZeroBeforeAGapIsOverwrittenWithTheDefaults) {
    writeForeignSettings(0);
    editor.load();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(storedFile0(), dialogDefaultSettings());
}

TEST_F(PrintSetEditorTest, OpeningTakesTheFirstMatchingFile) {
    PrintSettings stored = dialogDefaultSettings();
    stored.headerText = "Stored";
    stored.pageNumberFormat = 0;
    writeForeignSettings(0);
    writeSettingsAt(1, stored);
    editor.load();
    EXPECT_EQ(editor.values(), stored);
    EXPECT_EQ(editor.controls().headerText, "Stored");
}

TEST_F(PrintSetEditorTest, HundredForeignFilesAreReportedAndTheDefaultsStay) {
    for (int i = 0; i < kPrintSettingsFileSlots; ++i) writeForeignSettings(i);
    editor.load();
    EXPECT_EQ(ui.shown, std::vector<std::string>{kReadSettingsFailed});
    EXPECT_EQ(editor.values(), dialogDefaultSettings());
    PrintSettings s;
    EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Foreign);
}

TEST_F(PrintSetEditorTest, CentredPageNumberUnderAHeaderIsRefusedAndNothingWritten) {
    PrintSetControls c = editor.controls();
    c.headerText = "页眉";
    c.pageNumberPosition = kTopCentre;
    EXPECT_FALSE(editor.accept(c));
    EXPECT_EQ(ui.shown, std::vector<std::string>{kHeaderInterference});
    EXPECT_FALSE(std::filesystem::exists(printSettingsPath(0)));
}

TEST_F(PrintSetEditorTest, CentredPageNumberOverAFooterIsRefused) {
    PrintSetControls c = editor.controls();
    c.printFooter = true;
    c.pageNumberPosition = kBottomCentre;
    EXPECT_FALSE(editor.accept(c));
    EXPECT_EQ(ui.shown, std::vector<std::string>{kFooterInterference});
    // Without the footer printed the same values are fine.
    c.printFooter = false;
    EXPECT_TRUE(editor.accept(c));
}

TEST_F(PrintSetEditorTest, BlankTextsCountAsEmptyAndTextsAreStoredTrimmed) {
    PrintSetControls c = editor.controls();
    c.headerText = "   \t ";
    c.footerText = "  公司  ";
    c.pageNumberPosition = kTopCentre;
    ASSERT_TRUE(editor.accept(c));
    EXPECT_TRUE(ui.shown.empty());
    const PrintSettings s = storedFile0();
    EXPECT_EQ(s.headerText, "");
    EXPECT_EQ(s.footerText, "\xB9\xAB\xCB\xBE");  // "公司" in GBK
    EXPECT_EQ(s.pageNumberPosition, kTopCentre);
}

TEST_F(PrintSetEditorTest, HeaderNotPrintedDoesNotInterfere) {
    PrintSetControls c = editor.controls();
    c.headerText = "页眉";
    c.printHeader = false;
    c.pageNumberPosition = kTopCentre;
    EXPECT_TRUE(editor.accept(c));
    EXPECT_EQ(storedFile0().headerText, "\xD2\xB3\xC3\xBC");
}

TEST_F(PrintSetEditorTest, TextsMustFitFortyBytesOfGbk) {
    PrintSetControls c = editor.controls();
    c.headerText = std::string(20, 'a');
    for (int i = 0; i < 10; ++i) c.headerText += "页";  // 40 bytes
    EXPECT_TRUE(editor.accept(c));

    c.footerText = std::string(41, 'b');
    PrintSetEditor::Field failed{};
    EXPECT_FALSE(editor.accept(c, &failed));
    EXPECT_EQ(failed, PrintSetEditor::Field::FooterText);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].find("页脚内容"), std::string::npos);
    EXPECT_EQ(storedFile0().footerText, "Tesmar\xBF\xC6\xBC\xBC\xBC\xAF\xCD\xC5");  // the earlier OK
}

TEST_F(PrintSetEditorTest, CharacterWithoutGbkFormIsRefusedNotReplaced) {
    PrintSetControls c = editor.controls();
    c.headerText = "Tesmar \xF0\x9F\x98\x80";  // an emoji
    PrintSetEditor::Field failed{};
    EXPECT_FALSE(editor.accept(c, &failed));
    EXPECT_EQ(failed, PrintSetEditor::Field::HeaderText);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].find("页眉内容"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(printSettingsPath(0)));
}

TEST_F(PrintSetEditorTest, StartPageOutsideOneToFiftyIsRefused) {
    PrintSetControls c = editor.controls();
    for (int page : {0, 51}) {
        c.startPage = page;
        PrintSetEditor::Field failed{};
        EXPECT_FALSE(editor.accept(c, &failed));
        EXPECT_EQ(failed, PrintSetEditor::Field::StartPage);
    }
    EXPECT_EQ(ui.shown.size(), 2u);
    c.startPage = 50;
    EXPECT_TRUE(editor.accept(c));
    EXPECT_EQ(storedFile0().startPage, 50);
}

TEST_F(PrintSetEditorTest, SettingsThatCannotBeWrittenAreReportedAndTheDialogStillCloses) {
    std::filesystem::create_directory(printSettingsPath(0));  // file 0 cannot be created
    EXPECT_TRUE(editor.accept(editor.controls()));
    EXPECT_EQ(ui.shown, std::vector<std::string>{kWriteSettingsFailed});
}

TEST_F(PrintSetEditorTest, ControlsFollowTheirCheckBoxes) {
    PrintSettings s;
    s.printHeader = 0;
    s.printFooter = 1;
    s.printPageNumber = 0;
    const auto states = PrintSetEditor::controlStates(s);
    EXPECT_FALSE(states.headerEdit);
    EXPECT_TRUE(states.footerEdit);
    EXPECT_FALSE(states.pageNumberControls);
}

// ---- the miniature page

const RecordingCanvas::Text* numberText(const RecordingCanvas& canvas, const std::string& number) {
    return canvas.find(number);
}

TEST(SettingsPreview, CollidingCentredNumberIsRedOtherwiseGrey) {
    PrintSettings s = dialogDefaultSettings();
    s.pageNumberPosition = kTopCentre;
    RecordingCanvas canvas;
    drawSettingsPreview(canvas, s, {0, 0, 200, 260});
    const auto* number = numberText(canvas, "--1--");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->color, (Rgb{255, 0, 0}));
    EXPECT_FALSE(number->opaque);
    EXPECT_EQ(number->rect, (CanvasRect{20, 5, 179, 19}));
    // Drawing goes on in grey on an opaque background.
    EXPECT_EQ(canvas.find(kPrintTitle)->color, (Rgb{150, 150, 150}));
    EXPECT_TRUE(canvas.find(kPrintTitle)->opaque);

    s.headerText = "  ";
    RecordingCanvas blank;
    drawSettingsPreview(blank, s, {0, 0, 200, 260});
    EXPECT_EQ(numberText(blank, "--1--")->color, (Rgb{150, 150, 150}));
}

TEST(SettingsPreview, FooterCollisionAndTotalFormatShowTheStartPageTwice) {
    PrintSettings s = dialogDefaultSettings();
    s.printFooter = 1;
    s.pageNumberFormat = kPageNumberOfTotal;
    s.startPage = 7;
    RecordingCanvas canvas;
    drawSettingsPreview(canvas, s, {0, 0, 200, 260});
    const auto* number = numberText(canvas, "共7页   第7页");
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->color, (Rgb{255, 0, 0}));
    EXPECT_EQ(number->rect, (CanvasRect{20, 241, 179, 254}));
    EXPECT_EQ(number->align, kAlignHCenter | kAlignTop);
}

TEST(SettingsPreview, StoredExtremesAreShownAsTheyAre) {
    PrintSettings s = dialogDefaultSettings();
    s.startPage = INT32_MAX;
    s.pageNumberFormat = kPageNumberOfTotal;
    RecordingCanvas canvas;
    drawSettingsPreview(canvas, s, {0, 0, 200, 260});
    EXPECT_NE(canvas.find("共2147483647页   第2147483647页"), nullptr);
    for (int32_t position : {INT32_MIN, INT32_MAX}) {
        s.pageNumberPosition = position;
        RecordingCanvas other;
        drawSettingsPreview(other, s, {0, 0, 200, 260});
        EXPECT_EQ(other.find("共2147483647页   第2147483647页"), nullptr);
    }
}

TEST(SettingsPreview, PageShadowBandsAndSampleTable) {
    PrintSettings s = dialogDefaultSettings();
    s.printHeader = s.printFooter = s.printPageNumber = 0;
    RecordingCanvas canvas;
    drawSettingsPreview(canvas, s, {10, 20, 210, 280});
    ASSERT_EQ(canvas.rectangles.size(), 2u);
    EXPECT_EQ(canvas.rectangles[0].rect, (CanvasRect{10, 20, 210, 280}));
    EXPECT_EQ(canvas.rectangles[0].fill, (Rgb{202, 198, 183}));
    EXPECT_EQ(canvas.rectangles[1].rect, (CanvasRect{15, 25, 204, 274}));
    EXPECT_EQ(canvas.rectangles[1].fill, kWhite);
    // No band: 4 shadow lines and 15 cells of 4 edges, all with the shadow pen.
    ASSERT_EQ(canvas.lines.size(), 4u + 15 * 4);
    for (const auto& l : canvas.lines) EXPECT_EQ(l.pen.color, (Rgb{132, 128, 113}));
    EXPECT_EQ(canvas.lines[4].from, (CanvasPoint{30, 62}));  // first cell: top-left of the table
    EXPECT_NE(canvas.find(kPreviewSamplePath), nullptr);
    EXPECT_EQ(canvas.find("Tesmar科技集团"), nullptr);
    EXPECT_EQ(canvas.saveDepth(), 0);

    s.printHeader = 1;
    RecordingCanvas banded;
    drawSettingsPreview(banded, s, {10, 20, 210, 280});
    EXPECT_EQ(banded.lines.back().pen.color, (Rgb{150, 150, 150}));
    EXPECT_NE(banded.find("Tesmar科技集团"), nullptr);
}

}  // namespace
