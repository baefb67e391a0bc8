#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "doc_fixture.h"
#include "listview/fendal_view.h"
#include "listview/gfx_list_model.h"
#include "listview/gfx_list_tip.h"
#include "listview/point_list.h"
#include "qt_helpers.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::listview;

namespace {

using namespace pointlist;

class FendalViewTest : public ::testing::Test {
protected:
    ScriptedUi ui;
    CFendalDoc doc{ui};
    platform::MemoryProfile profile;
    std::unique_ptr<CFendalView> view;

    void open(const std::vector<int>& sizes) {
        qtApp();
        fillGroup(doc, sizes);
        view = std::make_unique<CFendalView>(doc, profile);
        view->resize(1100, 400);
        view->onInitialUpdate();
        view->show();
        view->activateWindow();
        view->setFocus();
        QApplication::processEvents();
    }

    QAbstractItemModel* model() { return view->model(); }
    QString cell(int row, int id) { return model()->index(row, view->core().columnPosition(id)).data().toString(); }
    int position(int id) { return view->core().columnPosition(id); }
    QStringList column(int id) {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r) {
            QModelIndex caption = model()->index(r, 1);
            out << (caption.data(CGfxListModel::kCategoryRole).toInt() >= 0 ? QStringLiteral("#") : cell(r, id));
        }
        return out;
    }
    void setVelocities(const std::vector<int>& velocities) {
        int n = 0;
        for (auto& file : doc.group.files)
            for (auto& p : file.points) p.velocity = velocities.at(n++);
        doc.updateAllViews(UpdateHint::Reloaded);
    }
    // Opens the current cell's editor with Enter, types the text and ends with Enter.
    void editCurrentCell(const QString& text) {
        pressKey(view.get(), Qt::Key_Return);
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        pressKey(editor, Qt::Key_Return);
        QApplication::processEvents();                                        // the editor commits on a queued call
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // and goes
    }
};

TEST_F(FendalViewTest, OneFileHasNoCategoriesAndNoBoxColumn) {
    open({3});
    EXPECT_EQ(model()->rowCount(), 3);
    EXPECT_FALSE(view->core().categoryMode());
    EXPECT_EQ(view->columnWidth(0), 0);
    EXPECT_EQ(model()->headerData(position(kVelocity), Qt::Horizontal).toString(), "声速(m/s)");
    EXPECT_EQ(cell(2, kNumber), "P2");
    EXPECT_EQ(cell(2, kVelocity), "1002");
    doc.selectFlat(2);
    doc.updateAllViews(UpdateHint::Reloaded);  // as after a save: the current point stays selected
    EXPECT_EQ(view->currentIndex().row(), 2);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(2, {}));
}

TEST_F(FendalViewTest, TwoFilesStartCollapsedAndExpandFromTheBox) {
    open({3, 2});
    ASSERT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(model()->index(0, 1).data().toString(), "文件目录: /data/file0.fsy (数据个数: 3)");
    EXPECT_EQ(model()->index(1, 1).data().toString(), "文件目录: /data/file1.fsy (数据个数: 2)");
    EXPECT_EQ(view->columnWidth(0), 18);

    clickCell(*view, 1, 0);  // the box of the second file
    ASSERT_EQ(model()->rowCount(), 4);
    EXPECT_EQ(cell(2, kIndex), "1");  // the index restarts in every file
    EXPECT_EQ(cell(3, kNumber), "P4");
    pressKey(view.get(), Qt::Key_Up);      // onto the first category row...
    pressKey(view.get(), Qt::Key_Return);  // ...which Enter expands
    EXPECT_EQ(model()->rowCount(), 7);
    EXPECT_EQ(cell(3, kIndex), "3");

    // A double click on the caption folds the category; on the box only its first click counts.
    const QPoint caption = view->visualRect(model()->index(0, 3)).center();
    mouseClick(view->viewport(), caption);
    QMouseEvent twice(QEvent::MouseButtonDblClick, caption, view->viewport()->mapToGlobal(caption), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &twice);
    EXPECT_EQ(model()->rowCount(), 4);
    const QPoint box = view->visualRect(model()->index(0, 0)).center();
    mouseClick(view->viewport(), box);
    QMouseEvent onBox(QEvent::MouseButtonDblClick, box, view->viewport()->mapToGlobal(box), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &onBox);
    EXPECT_EQ(model()->rowCount(), 7);
}

TEST_F(FendalViewTest, CurrentPointFollowsClicksAndArrowKeys) {
    open({3, 2});
    int changes = 0;
    QObject::connect(view.get(), &CFendalView::currentChanged, [&] { ++changes; });
    view->toggleCategory(0);
    view->toggleCategory(1);  // rows: #0, 0, 1, 2, #1, 3, 4

    clickCell(*view, 2, position(kNumber));
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_EQ(doc.currentPoint(), 1);
    EXPECT_EQ(doc.title(), "file0.fsy");
    pressKey(view.get(), Qt::Key_Down);
    pressKey(view.get(), Qt::Key_Down);
    pressKey(view.get(), Qt::Key_Down);
    EXPECT_EQ(doc.currentFile(), 1);
    EXPECT_EQ(doc.currentPoint(), 0);
    EXPECT_EQ(doc.title(), "file1.fsy");
    pressKey(view.get(), Qt::Key_Up);
    EXPECT_EQ(doc.currentFile(), 1);  // the category row of the second file
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_GE(changes, 3);

    QMenu menu;
    menu.addAction("删除(&D)");
    view->setContextMenu(&menu);
    clickCell(*view, 0, 3, Qt::RightButton);
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_EQ(doc.title(), "file0.fsy");
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

TEST_F(FendalViewTest, LeftAndRightMoveTheCurrentColumn) {
    open({3});
    clickCell(*view, 1, position(kNumber));
    pressKey(view.get(), Qt::Key_Right);
    EXPECT_EQ(view->currentIndex().column(), position(kVelocity));
    EXPECT_EQ(view->currentIndex().row(), 1);
    for (int i = 0; i < 9; ++i) pressKey(view.get(), Qt::Key_Right);
    EXPECT_EQ(view->currentIndex().column(), position(kNote));  // stops at the last column
    pressKey(view.get(), Qt::Key_End);
    EXPECT_EQ(view->currentIndex(), model()->index(2, position(kNote)));
    EXPECT_EQ(doc.currentPoint(), 2);
    pressKey(view.get(), Qt::Key_Home);
    EXPECT_EQ(view->currentIndex(), model()->index(0, position(kNote)));
    EXPECT_EQ(doc.currentPoint(), 0);
}

TEST_F(FendalViewTest, HeaderClicksSortAscendingThenDescending) {
    open({4});
    setVelocities({10, 9, 100, 1});
    clickHeader(*view, position(kVelocity));
    EXPECT_EQ(column(kVelocity), (QStringList{"1", "9", "10", "100"}));  // numbers, not texts
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), position(kVelocity));
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(*view, position(kVelocity));
    EXPECT_EQ(column(kVelocity), (QStringList{"100", "10", "9", "1"}));
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

    clickHeader(*view, position(kNote));  // not sortable
    EXPECT_EQ(column(kVelocity), (QStringList{"100", "10", "9", "1"}));
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), position(kVelocity));

    clickHeader(*view, position(kImage));  // sortable, but every key is the same
    EXPECT_EQ(column(kVelocity), (QStringList{"100", "10", "9", "1"}));
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), position(kImage));
}

TEST_F(FendalViewTest, SortingKeepsTheCategoryOrder) {
    open({3, 2});
    setVelocities({5, 1, 3, 9, 2});
    view->toggleCategory(0);
    view->toggleCategory(1);
    clickHeader(*view, position(kVelocity));
    EXPECT_EQ(column(kVelocity), (QStringList{"#", "1", "3", "5", "#", "2", "9"}));
    EXPECT_EQ(model()->index(4, 1).data().toString(), "文件目录: /data/file1.fsy (数据个数: 2)");
    clickHeader(*view, position(kVelocity));
    EXPECT_EQ(column(kVelocity), (QStringList{"#", "5", "3", "1", "#", "9", "2"}));
}

TEST_F(FendalViewTest, FixedColumnsKeepTheirWidthAndNarrowingBelow16IsRefused) {
    open({2});
    QHeaderView* header = view->horizontalHeader();
    EXPECT_EQ(header->sectionResizeMode(position(kImage)), QHeaderView::Fixed);
    header->resizeSection(position(kImage), 80);
    EXPECT_EQ(view->columnWidth(position(kImage)), 23);
    header->resizeSection(position(kNumber), 5);
    EXPECT_EQ(view->columnWidth(position(kNumber)), 120);  // refused, not made 16
    header->resizeSection(position(kNumber), 60);
    EXPECT_EQ(view->columnWidth(position(kNumber)), 60);

    // Dragging the divider: the column stops at the last width that was allowed.
    const int n = position(kNumber);
    const int y = header->height() / 2;
    const int divider = header->sectionViewportPosition(n) + header->sectionSize(n) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(divider, y));
    QTest::mouseMove(header->viewport(), QPoint(divider - 40, y));
    EXPECT_EQ(view->columnWidth(n), 20);
    QTest::mouseMove(header->viewport(), QPoint(divider - 50, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(divider - 50, y));
    EXPECT_EQ(view->columnWidth(n), 20);
    EXPECT_EQ(view->core().columns()[n].width, 20);
}

TEST_F(FendalViewTest, DraggedHeaderItemsReorderTheColumnsButNotColumnZero) {
    open({2});
    QHeaderView* header = view->horizontalHeader();
    header->moveSection(position(kNote), 2);
    QApplication::processEvents();
    EXPECT_EQ(view->columnManager().shownColumns(), (std::vector<int>{0, 1, 6, 2, 3, 4, 5}));
    EXPECT_EQ(header->visualIndex(2), 2);
    EXPECT_EQ(model()->headerData(2, Qt::Horizontal).toString(), "备注");
    EXPECT_EQ(profile.readInt("GfxLists\\TheMainList", "DefColId 2"), 6);  // stored at once

    header->moveSection(3, 0);  // nothing goes before column 0
    QApplication::processEvents();
    EXPECT_EQ(view->columnManager().shownColumns(), (std::vector<int>{0, 2, 1, 6, 3, 4, 5}));
    header->moveSection(0, 4);  // and column 0 stays where it is
    QApplication::processEvents();
    EXPECT_EQ(view->columnIdAt(0), 0);
    EXPECT_EQ(header->logicalIndex(0), 0);
}

TEST_F(FendalViewTest, EditedVelocityTakesTheLeadingNumber) {
    open({3, 2});
    view->toggleCategory(1);
    view->toggleCategory(0);  // rows: #0, 0, 1, 2, #1, 3, 4
    clickCell(*view, 5, position(kVelocity));
    editCurrentCell("123abc");
    EXPECT_EQ(doc.group.files[1].points[0].velocity, 123);
    EXPECT_TRUE(doc.isModified());
    // The refill after the edit keeps both categories open and the edited point focused.
    EXPECT_EQ(model()->rowCount(), 7);
    EXPECT_EQ(view->currentIndex().row(), 5);
    EXPECT_EQ(view->currentIndex().column(), position(kVelocity));
    EXPECT_EQ(cell(5, kVelocity), "123");
}

TEST_F(FendalViewTest, EditRefillKeepsCategoryStatesOnlyForTheSameFiles) {
    open({3, 2});
    view->toggleCategory(1);  // rows: #0, #1, 3, 4
    clickCell(*view, 3, position(kDepth));
    editCurrentCell("77");
    EXPECT_EQ(doc.group.files[1].points[1].depth, 77);
    EXPECT_EQ(column(kDepth), (QStringList{"#", "#", "3", "77"}));
    EXPECT_EQ(view->currentIndex().row(), 3);

    fillGroup(doc, {3, 2, 1});  // a third file: the remembered states no longer fit
    doc.setCurrent(0, 0);
    doc.updateAllViews(UpdateHint::PointsEdited);
    EXPECT_EQ(model()->rowCount(), 3);
    // The current point is under its closed category: the focus waits on the category row.
    EXPECT_EQ(view->currentIndex().row(), 0);
    EXPECT_FALSE(view->selectionModel()->isRowSelected(0, {}));
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_EQ(doc.currentPoint(), 0);
}

TEST_F(FendalViewTest, DoubleClickOpensTheCellEditor) {
    open({2});
    const QPoint pos = view->visualRect(model()->index(1, position(kNote))).center();
    mouseClick(view->viewport(), pos);
    QMouseEvent twice(QEvent::MouseButtonDblClick, pos, view->viewport()->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &twice);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    pressKey(editor, Qt::Key_Escape);
}

TEST_F(FendalViewTest, OverlongNumberIsRefusedWithAMessage) {
    open({2});
    clickCell(*view, 1, position(kNumber));
    editCurrentCell(QString(16, QChar(0x6D4B)));  // 16 × 测 = 32 GBK bytes
    EXPECT_EQ(platform::text::fieldText(doc.group.files[0].points[1].number), "P1");
    EXPECT_FALSE(doc.isModified());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("31"), std::string::npos);

    editCurrentCell(QString(15, QChar(0x6D4B)) + "1");  // 31 bytes fit
    EXPECT_EQ(platform::text::gbkToUtf8(platform::text::fieldText(doc.group.files[0].points[1].number)),
              QString(QString(15, QChar(0x6D4B)) + "1").toStdString());
}

TEST_F(FendalViewTest, TypingStartsAnEditAndEscapeCancelsIt) {
    open({2});
    clickCell(*view, 0, position(kDepth));
    pressKey(view.get(), Qt::Key_7, "7");
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "7");
    pressKey(editor, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(doc.group.files[0].points[0].depth, 0);
    EXPECT_FALSE(doc.isModified());
}

TEST_F(FendalViewTest, DeleteAsksAndDeletesTheCurrentPoint) {
    open({3});
    pressKey(view.get(), Qt::Key_Delete);  // nothing is current: nothing asked
    EXPECT_TRUE(ui.messages.empty());
    clickCell(*view, 1, position(kNumber));
    ui.answers = {MsgAnswer::No};
    pressKey(view.get(), Qt::Key_Delete);
    EXPECT_EQ(doc.group.files[0].pointCount(), 3);
    ui.answers = {MsgAnswer::Yes};
    pressKey(view.get(), Qt::Key_Delete);
    EXPECT_EQ(doc.group.files[0].pointCount(), 2);
    EXPECT_EQ(model()->rowCount(), 2);
    EXPECT_EQ(cell(1, kNumber), "P2");
}

TEST_F(FendalViewTest, LayoutIsSavedOnDestructionAndLoadedAtStart) {
    open({2});
    view->horizontalHeader()->resizeSection(position(kNote), 210);
    view.reset();
    const std::string section = "GfxLists\\TheMainList";
    EXPECT_EQ(profile.readInt(section, "NumDef"), 7);
    EXPECT_EQ(profile.readInt(section, "ColDef_width_6"), 210);
    profile.writeInt(section, "DefColId 2", 4);  // show 声速 before 索引
    profile.writeInt(section, "DefColId 4", 2);

    open({2});
    EXPECT_EQ(view->columnWidth(position(kNote)), 210);
    EXPECT_EQ(position(kVelocity), 2);
    EXPECT_EQ(model()->headerData(2, Qt::Horizontal).toString(), "声速(m/s)");
}

TEST_F(FendalViewTest, TipShowsTheWholeTextOfACutOffCell) {
    open({1});
    platform::text::setField(doc.group.files[0].points[0].note, std::string(150, 'x'));
    view->addStyle(gfx::kStyleTips);
    view->horizontalHeader()->resizeSection(position(kNote), 60);
    doc.updateAllViews(UpdateHint::Reloaded);
    const QRect r = view->visualRect(model()->index(0, position(kNote)));
    QMouseEvent move(QEvent::MouseMove, r.center(), view->viewport()->mapToGlobal(r.center()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    ASSERT_NE(view->tip(), nullptr);
    EXPECT_TRUE(view->tip()->isVisible());
    EXPECT_EQ(view->tip()->text(), QString(150, 'x'));
    EXPECT_EQ(view->tip()->objectName(), "ZGfxListTip");
    pressKey(view.get(), Qt::Key_Down);
    EXPECT_FALSE(view->tip()->isVisible());
}

TEST_F(FendalViewTest, FocusComingBackLeavesTheCurrentPointAlone) {
    open({3, 2});
    view->toggleCategory(1);  // rows: #0, #1, 3, 4
    clickCell(*view, 3, position(kNumber));
    ASSERT_EQ(doc.currentFile(), 1);
    ASSERT_EQ(doc.currentPoint(), 1);
    doc.updateAllViews(UpdateHint::Reloaded);  // as after a save: the categories close and the rows are new
    ASSERT_TRUE(focusAwayAndBack(view.get()));
    EXPECT_EQ(doc.currentFile(), 1);
    EXPECT_EQ(doc.currentPoint(), 1);
    EXPECT_EQ(doc.title(), "file1.fsy");
    EXPECT_EQ(view->currentIndex().row(), 1);  // the focus waits on the point's category row

    // A group just opened has no current row, and the focus coming back makes none up.
    fillGroup(doc, {2, 2});
    doc.selectFlat(-1);
    doc.updateAllViews(UpdateHint::Reloaded);
    ASSERT_TRUE(focusAwayAndBack(view.get()));
    EXPECT_EQ(doc.currentFile(), -1);
    EXPECT_FALSE(view->currentIndex().isValid());
    pressKey(view.get(), Qt::Key_Down);  // the user's first key starts at the top
    EXPECT_EQ(doc.currentFile(), 0);
    EXPECT_EQ(doc.currentPoint(), -1);
}

TEST_F(FendalViewTest, AnEditGoesToThePointWhoseRowWasEdited) {
    open({3});
    clickCell(*view, 0, position(kDepth));
    const QPoint third = view->visualRect(model()->index(2, position(kDepth))).center();
    mouseClick(view->viewport(), third, Qt::LeftButton, Qt::ControlModifier);
    mouseClick(view->viewport(), third, Qt::LeftButton, Qt::ControlModifier);  // unselected, still focused
    ASSERT_EQ(view->currentIndex().row(), 2);
    ASSERT_EQ(doc.currentPoint(), 0);  // the selected row
    editCurrentCell("55");
    EXPECT_EQ(doc.group.files[0].points[2].depth, 55);
    EXPECT_EQ(doc.group.files[0].points[0].depth, 0);
    EXPECT_EQ(doc.currentPoint(), 2);
}

TEST_F(FendalViewTest, AFileWithoutPointsHasItsCategoryAndCategoriesKnowTheirFiles) {
    open({2, 0, 2});
    ASSERT_EQ(model()->rowCount(), 3);
    EXPECT_EQ(model()->index(1, 1).data().toString(), "文件目录: /data/file1.fsy (数据个数: 0)");
    EXPECT_EQ(model()->index(2, 1).data().toString(), "文件目录: /data/file2.fsy (数据个数: 2)");

    clickCell(*view, 2, position(kNumber), Qt::RightButton);
    EXPECT_EQ(doc.currentFile(), 2);
    EXPECT_EQ(doc.title(), "file2.fsy");
    clickCell(*view, 1, position(kNumber));  // the empty file can be chosen, to add to or restore it
    EXPECT_EQ(doc.currentFile(), 1);
    EXPECT_EQ(doc.currentPoint(), -1);
    EXPECT_EQ(doc.title(), "file1.fsy");
    doc.onAddPoint();
    EXPECT_EQ(doc.group.files[1].pointCount(), 1);
    EXPECT_EQ(doc.group.files[2].pointCount(), 2);
    EXPECT_EQ(model()->index(1, 1).data().toString(), "文件目录: /data/file1.fsy (数据个数: 1)");
}

TEST_F(FendalViewTest, HeaderClicksKeepTheSelectedPointsAndARefusedOneChangesNothing) {
    open({4});
    setVelocities({10, 9, 100, 1});
    clickCell(*view, 0, position(kNumber));  // velocity 10
    mouseClick(view->viewport(), view->visualRect(model()->index(2, position(kNumber))).center(), Qt::LeftButton,
               Qt::ControlModifier);  // and velocity 100, focused
    int resets = 0;
    QObject::connect(model(), &QAbstractItemModel::modelReset, [&] { ++resets; });

    clickHeader(*view, position(kVelocity));
    EXPECT_EQ(column(kVelocity), (QStringList{"1", "9", "10", "100"}));
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 2);
    EXPECT_TRUE(view->selectionModel()->isRowSelected(2, {}));
    EXPECT_TRUE(view->selectionModel()->isRowSelected(3, {}));
    EXPECT_EQ(view->currentIndex().row(), 3);

    resets = 0;
    clickHeader(*view, position(kNote));  // 备注 does not sort
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 2);
    EXPECT_EQ(view->currentIndex().row(), 3);
    EXPECT_EQ(view->horizontalHeader()->sortIndicatorSection(), position(kVelocity));
}

TEST_F(FendalViewTest, RefillThatKeepsTheRowsKeepsTheirSelection) {
    open({4});
    clickCell(*view, 0, position(kVelocity));
    mouseClick(view->viewport(), view->visualRect(model()->index(2, position(kVelocity))).center(), Qt::LeftButton,
               Qt::ShiftModifier);
    ASSERT_EQ(view->selectionModel()->selectedRows().size(), 3);
    int resets = 0;
    QObject::connect(model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    editCurrentCell("4321");
    EXPECT_EQ(doc.group.files[0].points[2].velocity, 4321);
    EXPECT_EQ(cell(2, kVelocity), "4321");
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(view->selectionModel()->selectedRows().size(), 3);
    EXPECT_EQ(view->currentIndex().row(), 2);
}

TEST_F(FendalViewTest, RefusedEditNamesTheHeaderTheUserSees) {
    open({1});
    view->columnManager().definitionById(kNote)->text = "说明";
    view->applyColumns();
    clickCell(*view, 0, position(kNote));
    editCurrentCell(QString(200, 'n'));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("“说明”"), std::string::npos) << ui.messages[0].text;
}

}  // namespace
