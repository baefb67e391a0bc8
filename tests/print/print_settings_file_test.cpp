// The print settings file: its bytes, and which of the 100 files a reader takes.
#include <gtest/gtest.h>

#include <cstring>

#include "print/settings_files.h"

using namespace fendal;
using namespace fendal::print;

namespace {

class SettingsFile : public testing::Test {
protected:
    void SetUp() override { removeSettingsFiles(); }
    void TearDown() override { removeSettingsFiles(); }
};

int32_t intAt(const std::vector<unsigned char>& b, std::size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST_F(SettingsFile, WriterLaysOutTheFixedRecordAsFileZero) {
    PrintSettings s = dialogDefaultSettings();
    s.footerText = "Foot";
    s.startPage = 0x01020304;  // shows the byte order
    s.pageNumberFormat = 3;
    s.pageNumberPosition = 5;
    s.printHeader = 0;
    s.printPageNumber = 1;
    s.printFooter = -1;
    ASSERT_TRUE(writePrintSettings(s));

    EXPECT_NE(printSettingsPath(0).find("QDR1_0PrintSet0.ini"), std::string::npos);
    const auto b = TempFolder::readAll(printSettingsPath(0));
    ASSERT_EQ(b.size(), 454u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), "VAVAVIVUD_RVX35_PRINT");
    EXPECT_EQ(b[21], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[30])), "Tesmar\xBF\xC6\xBC\xBC\xBC\xAF\xCD\xC5");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[230])), "Foot");
    EXPECT_EQ(b[430], 0x04);
    EXPECT_EQ(b[433], 0x01);
    EXPECT_EQ(intAt(b, 434), 3);
    EXPECT_EQ(intAt(b, 438), 5);
    EXPECT_EQ(intAt(b, 442), 0);
    EXPECT_EQ(intAt(b, 446), 1);
    EXPECT_EQ(intAt(b, 450), -1);

    PrintSettings back = viewDefaultSettings();
    EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), back), SettingsFileRead::Read);
    EXPECT_EQ(back, s);  // values as stored, no range checks
}

TEST_F(SettingsFile, ReaderTakesTheFirstFileWithTheSignature) {
    PrintSettings two = dialogDefaultSettings(), three = dialogDefaultSettings();
    two.startPage = 2;
    three.startPage = 3;
    writeForeignSettings(0);
    writeForeignSettings(1);
    writeSettingsAt(2, two);
    writeSettingsAt(3, three);
    PrintSettings s = viewDefaultSettings();
    EXPECT_TRUE(readPrintSettings(s));
    EXPECT_EQ(s, two);
}

TEST_F(SettingsFile, ReaderStopsAtTheFirstMissingFileAndKeepsItsValues) {
    PrintSettings stored = dialogDefaultSettings();
    stored.startPage = 9;
    writeForeignSettings(0);
    writeSettingsAt(2, stored);  // behind the gap at 1
    PrintSettings s = viewDefaultSettings();
    EXPECT_FALSE(readPrintSettings(s));
    EXPECT_EQ(s, viewDefaultSettings());
    EXPECT_FALSE(readPrintSettings(s));                           // no file at all
    EXPECT_FALSE(std::filesystem::exists(printSettingsPath(1)));  // the printing reader never writes
}

TEST_F(SettingsFile, SignatureMustEndInsideItsField) {
    std::vector<unsigned char> bytes(454, 0);
    std::memcpy(bytes.data(), "VAVAVIVUD_RVX35_PRINT", 21);
    bytes[21] = 'X';  // the same letters and more: not ours
    TempFolder::writeAll(printSettingsPath(0), bytes);
    PrintSettings s;
    EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Foreign);
    std::fill(bytes.begin(), bytes.begin() + 30, 'V');  // no zero at all
    TempFolder::writeAll(printSettingsPath(0), bytes);
    EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Foreign);
}

TEST_F(SettingsFile, TextsWithoutTheirZeroEndInsideTheirFields) {
    PrintSettingsImage image;
    ASSERT_TRUE(encodePrintSettings(dialogDefaultSettings(), image));
    std::fill(image.begin() + 30, image.begin() + 430, 'A');  // both texts fill their fields
    TempFolder::writeAll(printSettingsPath(0), std::vector<unsigned char>(image.begin(), image.end()));
    PrintSettings s;
    ASSERT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Read);
    EXPECT_EQ(s.headerText, std::string(199, 'A'));
    EXPECT_EQ(s.footerText, std::string(199, 'A'));
    EXPECT_EQ(s.startPage, 1);
    EXPECT_TRUE(writePrintSettings(s));  // and such values can be stored again
}

TEST_F(SettingsFile, ShortFileGivesOnlyTheFieldsItHolds) {
    PrintSettings stored = dialogDefaultSettings();
    stored.headerText = "Short";
    stored.startPage = 7;
    stored.pageNumberPosition = kTopLeft;
    PrintSettingsImage image;
    ASSERT_TRUE(encodePrintSettings(stored, image));
    TempFolder::writeAll(printSettingsPath(0), std::vector<unsigned char>(image.begin(), image.begin() + 436));
    PrintSettings s = viewDefaultSettings();
    ASSERT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Read);
    EXPECT_EQ(s.headerText, "Short");
    EXPECT_EQ(s.startPage, 7);
    EXPECT_EQ(s.pageNumberPosition, viewDefaultSettings().pageNumberPosition);  // beyond the end
}

TEST_F(SettingsFile, TextTooLongForItsFieldIsNotWritten) {
    PrintSettings s;
    s.headerText = std::string(200, 'x');
    EXPECT_FALSE(writePrintSettings(s));
}

}  // namespace
