#pragma once
// "打印设置": the print settings dialog with its live miniature page.
#include <QDialog>
#include <QFrame>
#include <functional>
#include <memory>

#include "print/print_set_editor.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

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
    QLineEdit* m_headerEdit = nullptr;      // 1003
    QLineEdit* m_footerEdit = nullptr;      // 1004
    QComboBox* m_formatCombo = nullptr;     // 1020
    QComboBox* m_positionCombo = nullptr;   // 1021
    QSpinBox* m_startPageSpin = nullptr;    // 1005 with its spin button 1027
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

    std::unique_ptr<PrintSetUi> ownUi_;
    std::unique_ptr<PrintSetEditor> editor_;
};
