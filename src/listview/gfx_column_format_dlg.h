#pragma once
// "Column format": label, second label, width in characters, alignment and the numeric
// format of each column. Every change goes into the column's definition at once; Cancel
// gives the definitions back as they were, so a cancelled change is never shown or stored.
#include <QDialog>

#include "listview/gfx_column_manager.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace fendal::listview {

class CGfxColumnFormatDlg : public QDialog {
    Q_OBJECT
public:
    explicit CGfxColumnFormatDlg(CGfxColumnManager& columns, QWidget* parent = nullptr);

    QListWidget* fieldList() const { return fields_; }
    QComboBox* formatCombo() const { return format_; }
    QLabel* editorKindText() const { return editorKind_; }
    QLineEdit* labelEdit() const { return label_; }
    QLineEdit* label2Edit() const { return label2_; }
    QLineEdit* widthEdit() const { return width_; }
    QRadioButton* leftButton() const { return left_; }
    QRadioButton* centerButton() const { return center_; }
    QRadioButton* rightButton() const { return right_; }

    // The average character width that widths in characters are measured with.
    int averageCharWidth() const;

    void reject() override;

private:
    GfxColumnDef* selected();
    void load();
    void setAlign(int align);
    void takeWidth();
    void takeFormat();
    void takeLabel();
    void takeLabel2();

    CGfxColumnManager& columns_;
    const CGfxColumnManager before_;
    QListWidget* fields_;
    QComboBox* format_;
    QLabel* editorKind_;
    QLineEdit* label_;
    QLineEdit* label2_;
    QLineEdit* width_;
    QRadioButton* left_;
    QRadioButton* center_;
    QRadioButton* right_;
};

}  // namespace fendal::listview
