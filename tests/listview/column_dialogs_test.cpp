#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "doc_fixture.h"
#include "listview/fendal_view.h"
#include "listview/gfx_column_dialog_rules.h"
#include "listview/gfx_column_format_dlg.h"
#include "listview/gfx_customize_columns_dlg.h"
#include "listview/point_list.h"
#include "qt_helpers.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::listview;

namespace {

using namespace pointlist;

QStringList texts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
    return out;
}

void select(QListWidget* list, const QStringList& labels) {
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (labels.contains(list->item(i)->text())) list->item(i)->setSelected(true);
}

struct ColumnDialogsTest : ::testing::Test {
    CGfxColumnManager columns;
    std::vector<std::string> messages;
    void SetUp() override {
        qtApp();
        defineColumns(columns);
    }
};

TEST_F(ColumnDialogsTest, CustomizeListsLabelledColumnsOnly) {
    columns.setDefaultColumns({0, 1, 6, 3});
    CGfxCustomizeColumnsDlg dialog(columns, nullptr);
    EXPECT_EQ(texts(dialog.shownList()), (QStringList{"Image 1", "备注", "编号"}));
    // Free columns in the order they are defined in; column 0 has no label and is never listed.
    EXPECT_EQ(texts(dialog.freeList()), (QStringList{"索引", "声速(m/s)", "缝深(mm)"}));
    // A column put back goes to its own place among them.
    select(dialog.shownList(), {"编号"});
    dialog.removeButton()->click();
    EXPECT_EQ(texts(dialog.freeList()), (QStringList{"索引", "编号", "声速(m/s)", "缝深(mm)"}));
}

TEST_F(ColumnDialogsTest, EmptyShownListIsRefusedAndColumnZeroStaysFirst) {
    CGfxCustomizeColumnsDlg dialog(columns, [&](const std::string& text) { messages.push_back(text); });
    dialog.show();
    dialog.shownList()->selectAll();
    dialog.removeButton()->click();
    EXPECT_EQ(dialog.shownList()->count(), 0);
    EXPECT_EQ(dialog.freeList()->count(), 6);
    dialog.accept();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "E' necessario inserire almeno una colonna ..");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(columns.shownColumns().size(), 7u);  // unchanged

    select(dialog.freeList(), {"编号", "声速(m/s)"});
    dialog.addButton()->click();
    EXPECT_EQ(texts(dialog.shownList()), (QStringList{"编号", "声速(m/s)"}));  // in the free list's order
    select(dialog.shownList(), {"声速(m/s)"});
    dialog.upButton()->click();
    EXPECT_EQ(texts(dialog.shownList()), (QStringList{"声速(m/s)", "编号"}));
    dialog.upButton()->click();  // already at the top
    EXPECT_EQ(texts(dialog.shownList()), (QStringList{"声速(m/s)", "编号"}));
    dialog.downButton()->click();
    dialog.downButton()->click();
    EXPECT_EQ(texts(dialog.shownList()), (QStringList{"编号", "声速(m/s)"}));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(columns.shownColumns(), (std::vector<int>{0, kNumber, kVelocity}));
}

TEST_F(ColumnDialogsTest, FormatChangesGoIntoTheDefinition) {
    CGfxColumnFormatDlg dialog(columns);
    dialog.show();
    const int avg = dialog.averageCharWidth();
    ASSERT_GT(avg, 0);
    dialog.fieldList()->setCurrentRow(3);  // 声速(m/s)
    EXPECT_EQ(dialog.formatCombo()->currentText(), "Valute");
    EXPECT_EQ(dialog.editorKindText()->text(), "Edit");
    EXPECT_EQ(dialog.widthEdit()->text().toInt(), 150 / avg);
    EXPECT_TRUE(dialog.centerButton()->isChecked());

    dialog.widthEdit()->setText("10");
    emit dialog.widthEdit()->editingFinished();
    EXPECT_EQ(columns.definitionById(kVelocity)->width, avg * 10);
    dialog.formatCombo()->setCurrentIndex(1);
    emit dialog.formatCombo()->activated(1);
    EXPECT_EQ(columns.definitionById(kVelocity)->dwdata, 0x2C);  // numeric replaces currency; the rest stays
    dialog.rightButton()->click();
    EXPECT_EQ(columns.definitionById(kVelocity)->align, 1);
    dialog.labelEdit()->setText("");
    emit dialog.labelEdit()->editingFinished();
    EXPECT_EQ(columns.definitionById(kVelocity)->text, "声速(m/s)");  // an empty label is not taken
    dialog.labelEdit()->setText("速度");
    emit dialog.labelEdit()->editingFinished();
    EXPECT_EQ(columns.definitionById(kVelocity)->text, "速度");
    EXPECT_EQ(dialog.fieldList()->item(3)->text(), "速度");

    dialog.fieldList()->setCurrentRow(0);  // the image column
    EXPECT_EQ(dialog.formatCombo()->count(), 1);
    EXPECT_EQ(dialog.formatCombo()->currentText(), "Image");
    EXPECT_EQ(dialog.labelEdit()->text(), "Image 1");
    EXPECT_FALSE(dialog.widthEdit()->isEnabled());
    EXPECT_FALSE(dialog.label2Edit()->isEnabled());
    EXPECT_FALSE(dialog.leftButton()->isEnabled());
    dialog.labelEdit()->setText("图片");
    emit dialog.labelEdit()->editingFinished();
    EXPECT_EQ(columns.definitionById(kImage)->descr, "图片");
    EXPECT_FALSE(columns.definitionById(kImage)->text.has_value());
}

TEST(ColumnDialogsInView, OkReappliesTheColumnsAndStoresTheLayout) {
    qtApp();
    ScriptedUi ui;
    CFendalDoc doc(ui);
    fillGroup(doc, {2});
    platform::MemoryProfile profile;
    CFendalView view(doc, profile);
    view.onInitialUpdate();
    view.horizontalHeader()->resizeSection(view.core().columnPosition(kNote), 222);

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CGfxCustomizeColumnsDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        select(dialog->shownList(), {"索引", "Image 1"});
        dialog->removeButton()->click();
        dialog->accept();
    });
    view.runCommand(CGfxListView::kCmdCustomizeHeader);

    EXPECT_EQ(view.core().columnCount(), 5);
    EXPECT_EQ(view.columnIdAt(0), 0);
    EXPECT_EQ(view.columnIdAt(1), kNumber);
    EXPECT_EQ(view.columnWidth(view.core().columnPosition(kNote)), 222);  // widths read back first
    EXPECT_EQ(view.model()->index(1, 1).data().toString(), "P1");
    const std::string section = "GfxLists\\TheMainList";
    EXPECT_EQ(profile.readInt(section, "NumDef"), 5);
    EXPECT_EQ(profile.readInt(section, "DefColId 1"), kNumber);

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });  // Cancel
    view.runCommand(CGfxListView::kCmdHeaderFormat);
    EXPECT_EQ(view.core().columnCount(), 5);
}

TEST(ColumnDialogsInView, CancelledFormatChangesAreNeitherShownNorStored) {
    qtApp();
    ScriptedUi ui;
    CFendalDoc doc(ui);
    fillGroup(doc, {2});
    platform::MemoryProfile profile;
    const std::string section = "GfxLists\\TheMainList";
    // Renames 编号 and makes it 3 characters wide in the format dialog, then OK or Cancel.
    auto formatNumber = [](CFendalView& view, bool ok) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<CGfxColumnFormatDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->fieldList()->setCurrentRow(2);
            dialog->labelEdit()->setText("号码");
            emit dialog->labelEdit()->editingFinished();
            dialog->widthEdit()->setText("3");
            emit dialog->widthEdit()->editingFinished();
            if (ok)
                dialog->accept();
            else
                dialog->reject();
        });
        view.runCommand(CGfxListView::kCmdHeaderFormat);
    };
    auto header = [](CFendalView& view) {
        return view.model()->headerData(view.core().columnPosition(kNumber), Qt::Horizontal).toString();
    };
    {
        CFendalView view(doc, profile);
        view.onInitialUpdate();
        formatNumber(view, false);
        EXPECT_EQ(view.columnManager().definitionById(kNumber)->text, "编号");
        EXPECT_EQ(view.columnManager().definitionById(kNumber)->width, 120);
        view.applyColumns();  // the next time the columns are applied shows nothing of it either
        EXPECT_EQ(header(view), "编号");
    }
    EXPECT_EQ(profile.readString(section, "ColDef_text_3"), "编号");  // stored on exit as it was
    EXPECT_EQ(profile.readInt(section, "ColDef_width_3"), 120);

    CFendalView view(doc, profile);
    view.onInitialUpdate();
    formatNumber(view, true);
    EXPECT_EQ(header(view), "号码");
    EXPECT_EQ(profile.readString(section, "ColDef_text_3"), "号码");  // OK stores at once
}

}  // namespace
