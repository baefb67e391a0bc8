#pragma once
// "打印设置": the print settings dialog with its live miniature page.
#include <QDialog>
#include <QFrame>
#include <QSpinBox>
#include <QValidator>
#include <cstddef>
#include <functional>
#include <memory>

#include "print/print_set_editor.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace fendal::print {

// Refuses typing or pasting that makes a band text longer than its GBK bytes allow. A text
// that is longer as stored (a file may hold more) is shown whole and can only be shortened.
class GbkByteLimit : public QValidator {
public:
    GbkByteLimit(std::size_t limit, QObject* parent);
    // Lets `text` stand as it is when it is put into the edit.
    void allowStored(const QString& text);
    State validate(QString& input, int& pos) const override;

private:
    std::size_t limit_;
    mutable std::size_t allowed_;  // shrinks with the text while it is longer than the limit
};

// The start page steps through 1..50 with the arrows only, wrapping round at either end. A
// stored value outside that range is shown as it is and kept until an arrow is pressed: up
// then goes to 1, down to 50.
class StartPageSpin : public QSpinBox {
public:
    explicit StartPageSpin(QWidget* parent);
    void showValue(int value);
    void stepBy(int steps) override;

protected:
    // Plain digits: Qt's own text groups the digits of the lowest int.
    QString textFromValue(int value) const override { return QString::number(value); }
};

// The preview frame: draws the miniature page from the dialog's current control values.
class SettingsPreviewFrame : public QFrame {
    Q_OBJECT
public:
    SettingsPreviewFrame(std::function<PrintSettings()> source, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<PrintSettings()> source_;
};

class CPrintSetDlg : public QDialog {
    Q_OBJECT
public:
    // Messages go to `ui` when given, else to message boxes over the dialog.
    explicit CPrintSetDlg(QWidget* parent = nullptr, PrintSetUi* ui = nullptr);
    ~CPrintSetDlg() override;

    const PrintSettings& settings() const { return editor_->values(); }

    // The controls, by their part in the dialog.
    QLineEdit* m_headerEdit = nullptr;            // 1003
    QLineEdit* m_footerEdit = nullptr;            // 1004
    QComboBox* m_formatCombo = nullptr;           // 1020
    QComboBox* m_positionCombo = nullptr;         // 1021
    StartPageSpin* m_startPageSpin = nullptr;     // 1005 with its spin button 1027
    QCheckBox* m_printHeaderCheck = nullptr;      // 1022
    QCheckBox* m_printFooterCheck = nullptr;      // 1023
    QCheckBox* m_printPageNumberCheck = nullptr;  // 1024
    QPushButton* m_defaultButton = nullptr;       // 1018
    SettingsPreviewFrame* m_preview = nullptr;    // 1028

public slots:
    void accept() override;

private:
    void buildControls();
    void putValues();
    PrintSetControls readControls() const;
    PrintSettings previewValues() const;
    void updateControlStates();
    void onCheckClicked();
    void onDefault();

    GbkByteLimit* headerLimit_ = nullptr;
    GbkByteLimit* footerLimit_ = nullptr;
    std::unique_ptr<PrintSetUi> ownUi_;
    std::unique_ptr<PrintSetEditor> editor_;
};

}  // namespace fendal::print
