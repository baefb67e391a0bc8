// The print settings dialog driven through its widgets, with scripted messages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <cstdint>
#include <cstdlib>

#include "print/print_set_dlg.h"
#include "print/qt_app.h"
#include "print/scripted_print_set_ui.h"
#include "print/settings_files.h"

using namespace fendal;
using namespace fendal::print;

namespace {

class PrintSetDlgTest : public testing::Test {
protected:
    void SetUp() override {
        testApp();
        removeSettingsFiles();
    }
    void TearDown() override { removeSettingsFiles(); }

    PrintSettings storedFile0() {
        PrintSettings s;
        EXPECT_EQ(readPrintSettingsFile(printSettingsPath(0), s), SettingsFileRead::Read);
        return s;
    }

    ScriptedPrintSetUi ui;
};

TEST_F(PrintSetDlgTest, OpensWithTheDefaultsAndStoresThem) {
    CPrintSetDlg dlg(nullptr, &ui);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("打印设置"));
    EXPECT_EQ(dlg.m_headerEdit->text(), QStringLiteral("Tesmar科技集团"));
    EXPECT_EQ(dlg.m_footerEdit->text(), QStringLiteral("Tesmar科技集团"));
    EXPECT_EQ(dlg.m_formatCombo->currentText(), QStringLiteral("--1--"));
    EXPECT_EQ(dlg.m_formatCombo->count(), 5);
    EXPECT_EQ(dlg.m_formatCombo->itemText(4), QStringLiteral("共1页   第1页"));
    EXPECT_EQ(dlg.m_positionCombo->currentText(), QStringLiteral("底部居中"));
    EXPECT_EQ(dlg.m_startPageSpin->value(), 1);
    EXPECT_TRUE(dlg.m_printHeaderCheck->isChecked());
    EXPECT_FALSE(dlg.m_printFooterCheck->isChecked());
    EXPECT_TRUE(dlg.m_printPageNumberCheck->isChecked());
    EXPECT_FALSE(dlg.m_footerEdit->isEnabled());
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(storedFile0(), dialogDefaultSettings());
}

TEST_F(PrintSetDlgTest, StartPageWrapsAndCannotBeTyped) {
    CPrintSetDlg dlg(nullptr, &ui);
    QSpinBox* spin = dlg.m_startPageSpin;
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(spin->maximum(), 50);
    spin->stepBy(-1);
    EXPECT_EQ(spin->value(), 50);
    spin->stepBy(1);
    EXPECT_EQ(spin->value(), 1);
    EXPECT_TRUE(spin->findChild<QLineEdit*>()->isReadOnly());
}

TEST_F(PrintSetDlgTest, CheckBoxesEnableTheirControls) {
    CPrintSetDlg dlg(nullptr, &ui);
    dlg.m_printPageNumberCheck->click();
    EXPECT_FALSE(dlg.m_formatCombo->isEnabled());
    EXPECT_FALSE(dlg.m_positionCombo->isEnabled());
    EXPECT_FALSE(dlg.m_startPageSpin->isEnabled());
    dlg.m_printHeaderCheck->click();
    EXPECT_FALSE(dlg.m_headerEdit->isEnabled());
    dlg.m_printFooterCheck->click();
    EXPECT_TRUE(dlg.m_footerEdit->isEnabled());

    dlg.m_defaultButton->click();
    EXPECT_TRUE(dlg.m_headerEdit->isEnabled());
    EXPECT_FALSE(dlg.m_footerEdit->isEnabled());
    EXPECT_TRUE(dlg.m_formatCombo->isEnabled());
    EXPECT_FALSE(dlg.m_printFooterCheck->isChecked());
}

TEST_F(PrintSetDlgTest, InterferenceKeepsTheDialogOpenAndWritesNothing) {
    CPrintSetDlg dlg(nullptr, &ui);
    dlg.m_startPageSpin->setValue(9);
    dlg.m_positionCombo->setCurrentIndex(kTopCentre);
    dlg.accept();
    EXPECT_EQ(ui.shown, std::vector<std::string>{kHeaderInterference});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(storedFile0().startPage, 1);

    dlg.m_positionCombo->setCurrentIndex(kTopRight);
    dlg.m_headerEdit->setText(QStringLiteral("  页眉  "));
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const PrintSettings s = storedFile0();
    EXPECT_EQ(s.startPage, 9);
    EXPECT_EQ(s.pageNumberPosition, kTopRight);
    EXPECT_EQ(s.headerText, "\xD2\xB3\xC3\xBC");

    if (const char* dir = std::getenv("FENDAL_PRINT_GRAB")) dlg.grab().save(QString(dir) + "/print_set_dlg.png");
}

TEST_F(PrintSetDlgTest, CancelWritesNothing) {
    {
        CPrintSetDlg first(nullptr, &ui);  // creates file 0 with the defaults
    }
    CPrintSetDlg dlg(nullptr, &ui);
    dlg.m_startPageSpin->setValue(20);
    dlg.reject();
    EXPECT_EQ(storedFile0().startPage, 1);
}

TEST_F(PrintSetDlgTest, OpensWithTheStoredValues) {
    PrintSettings stored = dialogDefaultSettings();
    stored.headerText = "ACME";
    stored.pageNumberFormat = kPageNumberChinese;
    stored.pageNumberPosition = kTopLeft;
    stored.startPage = 12;
    stored.printFooter = 1;
    writeSettingsAt(0, stored);
    CPrintSetDlg dlg(nullptr, &ui);
    EXPECT_EQ(dlg.m_headerEdit->text(), QStringLiteral("ACME"));
    EXPECT_EQ(dlg.m_formatCombo->currentText(), QStringLiteral("第1页"));
    EXPECT_EQ(dlg.m_positionCombo->currentText(), QStringLiteral("顶部居左"));
    EXPECT_EQ(dlg.m_startPageSpin->value(), 12);
    EXPECT_TRUE(dlg.m_footerEdit->isEnabled());
}

// A stored start page outside 1..50 (or a format or position no item stands for) is shown and
// written back as it was, until the user changes it.
TEST_F(PrintSetDlgTest, StoredValuesOutOfRangeAreShownAndKept) {
    for (int32_t page : {1000, 0, INT32_MIN, INT32_MAX}) {
        PrintSettings stored = dialogDefaultSettings();
        stored.startPage = page;
        stored.pageNumberFormat = 7;
        stored.pageNumberPosition = INT32_MIN;
        writeSettingsAt(0, stored);
        CPrintSetDlg dlg(nullptr, &ui);
        EXPECT_EQ(dlg.m_startPageSpin->value(), page);
        EXPECT_EQ(dlg.m_startPageSpin->text(), QString::number(page));
        EXPECT_EQ(dlg.m_formatCombo->currentIndex(), -1);
        EXPECT_EQ(dlg.m_positionCombo->currentIndex(), -1);
        dlg.grab();  // the miniature draws them too
        dlg.m_headerEdit->setText(QStringLiteral("页眉"));
        dlg.accept();
        EXPECT_EQ(dlg.result(), QDialog::Accepted) << page;
        EXPECT_TRUE(ui.shown.empty()) << ui.shown.front();
        const PrintSettings s = storedFile0();
        EXPECT_EQ(s.startPage, page);
        EXPECT_EQ(s.pageNumberFormat, 7);
        EXPECT_EQ(s.pageNumberPosition, INT32_MIN);
        EXPECT_EQ(s.headerText, "\xD2\xB3\xC3\xBC");
    }
}

TEST_F(PrintSetDlgTest, ArrowsLeaveAStoredStartPageForTheRange) {
    PrintSettings stored = dialogDefaultSettings();
    stored.startPage = 1000;
    writeSettingsAt(0, stored);
    {
        CPrintSetDlg dlg(nullptr, &ui);
        QTest::keyClick(dlg.m_startPageSpin, Qt::Key_Up);
        EXPECT_EQ(dlg.m_startPageSpin->value(), 1);
        QTest::keyClick(dlg.m_startPageSpin, Qt::Key_Down);
        EXPECT_EQ(dlg.m_startPageSpin->value(), 50);  // and the range wraps as usual again
        EXPECT_EQ(dlg.m_startPageSpin->maximum(), 50);
        dlg.accept();
        EXPECT_EQ(storedFile0().startPage, 50);
    }
    stored.startPage = -3;
    writeSettingsAt(0, stored);
    CPrintSetDlg dlg(nullptr, &ui);
    QTest::keyClick(dlg.m_startPageSpin, Qt::Key_Down);
    EXPECT_EQ(dlg.m_startPageSpin->value(), 50);
    EXPECT_EQ(dlg.m_startPageSpin->minimum(), 1);
}

// Chinese text arrives from the input method, one committed character at a time.
void typeThroughInputMethod(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QInputMethodEvent event;
        event.setCommitString(QString(c));
        QApplication::sendEvent(widget, &event);
    }
}

// 40 GBK bytes: 40 letters or 20 Chinese characters, refused as they are typed, not at OK.
TEST_F(PrintSetDlgTest, BandTextsTakeFortyGbkBytesWhileTyping) {
    CPrintSetDlg dlg(nullptr, &ui);
    QLineEdit* edit = dlg.m_headerEdit;
    edit->clear();
    typeThroughInputMethod(edit, QString(25, QChar(0x9875)));  // 页
    EXPECT_EQ(edit->text(), QString(20, QChar(0x9875)));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QStringLiteral("abc"));
    EXPECT_EQ(edit->text(), QString(19, QChar(0x9875)) + "ab");
    edit->insert(QStringLiteral("pasted"));  // a paste that does not fit is refused whole
    EXPECT_EQ(edit->text(), QString(19, QChar(0x9875)) + "ab");

    edit->clear();
    QTest::keyClicks(edit, QString(45, 'x'));
    EXPECT_EQ(edit->text(), QString(40, 'x'));
    dlg.accept();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(storedFile0().headerText, std::string(40, 'x'));
}

// A file may hold a longer text; it is shown whole and can be shortened, but not lengthened.
TEST_F(PrintSetDlgTest, StoredTextTooLongCanOnlyBeShortened) {
    PrintSettings stored = dialogDefaultSettings();
    stored.footerText = std::string(60, 'f');
    stored.printFooter = 1;
    writeSettingsAt(0, stored);
    CPrintSetDlg dlg(nullptr, &ui);
    QLineEdit* edit = dlg.m_footerEdit;
    EXPECT_EQ(edit->text(), QString(60, 'f'));
    edit->setFocus();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(edit->text().size(), 60);
    for (int i = 0; i < 25; ++i) QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->text(), QString(35, 'f'));
    QTest::keyClicks(edit, QStringLiteral("gggggggg"));
    EXPECT_EQ(edit->text(), QString(35, 'f') + "ggggg");
}

}  // namespace
