// The print settings dialog driven through its widgets, with scripted messages.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstdlib>

#include "print/print_set_dlg.h"
#include "print/qt_app.h"
#include "print/scripted_print_set_ui.h"
#include "print/settings_files.h"

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

}  // namespace
