#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "listview/gfx_column.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_tip.h"
#include "listview/gfx_list_view.h"
#include "qt_helpers.h"

using namespace fendal;
using namespace fendal::listview;

namespace {

using namespace gfx;

// A general list of four rows: column 0 text (edit box), 1 choice (drop list), 2 image.
class GeneralListTest : public ::testing::Test {
protected:
    CGfxListView list;
    std::vector<std::string> names{"alpha", "beta", "gamma", "delta"};
    std::vector<std::pair<int, std::string>> edited;
    int acceptAnswer = 1;
    int formatFlags = 0;
    int ownerDrawn = 0;

    void SetUp() override {
        qtApp();
        auto& columns = list.columnManager();
        columns.defineColumn(0, "name", std::nullopt, kAlignLeft, 80, kEditBox | kSortable, -1, std::nullopt);
        columns.defineColumn(1, "kind", std::nullopt, kAlignRight, 80, kDropList, -1, std::nullopt);
        columns.defineColumn(2, "pic", std::nullopt, kAlignLeft, 20, kImage, -1, "picture");
        columns.setDefaultColumns({0, 1, 2});
        list.applyColumns();
        QPixmap image(16, 16);
        image.fill(Qt::red);
        list.setItemImageList({image});
        GfxListCallbacks cb;
        cb.getText = [this](int, int position, int value) {
            return position == 2 ? std::string("0") : names.at(value);
        };
        cb.extendedInfo = [this](GfxExtInfoRequest& r) {
            switch (r.code) {
            case GfxExtInfoRequest::kEditFormat: r.formatFlags = formatFlags; return formatFlags ? 1 : 0;
            case GfxExtInfoRequest::kFillCombo: r.choices = {"north", "south"}; return 1;
            case GfxExtInfoRequest::kAcceptEdit: return acceptAnswer;
            case GfxExtInfoRequest::kDrawCell: ++ownerDrawn; return r.painter != nullptr && r.width > 0 ? 1 : 0;
            default: return 0;
            }
        };
        cb.valueEdited = [this](int value, int, const std::string& text) {
            edited.emplace_back(value, text);
            names.at(value) = text;
        };
        list.setCallbacks(cb);
        list.fillRows({0, 1, 2, 3});
        list.resize(400, 200);
        list.show();
        list.activateWindow();
        list.setFocus();
        QApplication::processEvents();
    }

    template <typename Editor>
    Editor* openEditor(int row, int column) {
        list.setCurrentIndex(list.model()->index(row, column));
        pressKey(&list, Qt::Key_F2);
        return list.viewport()->findChild<Editor*>();
    }
    void finish(QWidget* editor) {
        pressKey(editor, Qt::Key_Return);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(GeneralListTest, DropListIsFilledByTheOwner) {
    auto* combo = openEditor<QComboBox>(1, 1);
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 2);
    combo->setCurrentIndex(1);
    finish(combo);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], std::make_pair(1, std::string("south")));
}

TEST_F(GeneralListTest, DropDownListCanBeTypedInto) {
    list.columnManager().definitionById(1)->dwdata = kDropDownList;
    list.applyColumns();
    auto* combo = openEditor<QComboBox>(2, 1);
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    combo->setEditText("west");
    finish(combo);
    ASSERT_EQ(edited.size(), 1u);
    EXPECT_EQ(edited[0], std::make_pair(2, std::string("west")));
}

TEST_F(GeneralListTest, EditorOpensInsideTheCellWithTheOwnersFormat) {
    formatFlags = GfxExtInfoRequest::kBoldFont;
    auto* edit = openEditor<QLineEdit>(2, 0);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "gamma");
    EXPECT_TRUE(edit->font().bold());
    const QRect cell = list.visualRect(list.model()->index(2, 0));
    EXPECT_EQ(edit->geometry().left(), cell.left() + 6);
    EXPECT_EQ(edit->geometry().right(), cell.right() - 6);
    pressKey(edit, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(edited.empty());
}

TEST_F(GeneralListTest, RefusedEditShowsTheRowsOwnText) {
    acceptAnswer = 0;
    auto* edit = openEditor<QLineEdit>(0, 0);
    ASSERT_NE(edit, nullptr);
    edit->setText("omega");
    finish(edit);
    EXPECT_TRUE(edited.empty());
    EXPECT_EQ(list.model()->index(0, 0).data().toString(), "alpha");
}

TEST_F(GeneralListTest, EditOfSeveralSelectedRowsWithTheStyleBit) {
    list.selectionModel()->select(list.model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    auto* edit = openEditor<QLineEdit>(1, 0);
    ASSERT_NE(edit, nullptr);
    list.selectionModel()->select(list.model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list.addStyle(kStyleEditAllSelected);
    edit->setText("same");
    finish(edit);
    ASSERT_EQ(edited.size(), 2u);
    EXPECT_EQ(edited[0].first, 1);
    EXPECT_EQ(edited[1].first, 3);
    EXPECT_EQ(list.model()->index(3, 0).data().toString(), "same");
}

TEST_F(GeneralListTest, CurrencyColumnSortsWithoutItsDots) {
    names = {"1.000", "999", "2", "10"};
    list.columnManager().definitionById(0)->dwdata |= kCurrency;
    list.applyColumns();
    clickHeader(list, 0);
    QStringList order;
    for (int r = 0; r < 4; ++r) order << list.model()->index(r, 0).data().toString();
    EXPECT_EQ(order, (QStringList{"2", "10", "999", "1.000"}));
}

TEST_F(GeneralListTest, OwnerDrawsCellsOnlyWithTheStyleBit) {
    list.grab();
    EXPECT_EQ(ownerDrawn, 0);
    list.addStyle(kStyleOwnerDrawCells);
    list.grab();
    EXPECT_EQ(ownerDrawn, 4 * 3);
}

TEST_F(GeneralListTest, NoTipsOverImageColumnsWithTheStyleBit) {
    list.addStyle(kStyleTips | kStyleNoImageTips);
    list.horizontalHeader()->resizeSection(0, 20);  // "alpha" is cut off
    auto moveTo = [&](int row, int column) {
        const QPoint pos = list.visualRect(list.model()->index(row, column)).center();
        QMouseEvent move(QEvent::MouseMove, pos, list.viewport()->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
    };
    moveTo(0, 0);
    ASSERT_NE(list.tip(), nullptr);
    EXPECT_TRUE(list.tip()->isVisible());
    EXPECT_EQ(list.tip()->text(), "alpha");
    list.horizontalHeader()->resizeSection(2, 16);  // the image column is narrower than its text would be
    moveTo(0, 2);
    EXPECT_FALSE(list.tip()->isVisible());
}

TEST_F(GeneralListTest, HeaderMenuSortsTheColumnUnderTheCursor) {
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        QStringList texts;
        for (QAction* a : menu->actions()) texts << a->text();
        EXPECT_EQ(texts, (QStringList{"Sort ascending", "Sort descending", "", "Customize header", "Header format"}));
        menu->actions()[1]->trigger();
        menu->close();
    });
    QHeaderView* header = list.horizontalHeader();
    emit header->customContextMenuRequested(QPoint(header->sectionViewportPosition(0) + 5, 5));
    QStringList order;
    for (int r = 0; r < 4; ++r) order << list.model()->index(r, 0).data().toString();
    EXPECT_EQ(order, (QStringList{"gamma", "delta", "beta", "alpha"}));
}

}  // namespace
