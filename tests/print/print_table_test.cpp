// Pagination and drawing of the printed table, checked on a recording canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>

#include "print/print_table.h"
#include "print/recording_canvas.h"
#include "support/sample_points.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::print;

namespace {

const PageLayout kLayout;
int32_t Y(int32_t y) { return kLayout.toLogicalY(y); }
int32_t X(int32_t x) { return kLayout.toLogicalX(x); }

FileGroup groupOf(std::initializer_list<int> pointCounts) {
    FileGroup group;
    int n = 0;
    for (int count : pointCounts)
        group.files.push_back(sampleFile(count, platform::text::format("/data/f%d.fsy", n++)));
    return group;
}

struct PrintedPage {
    RecordingCanvas canvas;
    // Row ordinals in the first column with the layout y of their row top.
    std::vector<std::pair<int, int32_t>> rows() const {
        std::vector<std::pair<int, int32_t>> out;
        for (const auto& t : canvas.texts) {
            if (t.rect.left != X(35) || t.rect.right != X(82) || t.text == "序 号") continue;
            int32_t top = 0;
            while (Y(top) > t.rect.top) ++top;  // back from twips to layout units
            out.push_back({std::stoi(t.text), top});
        }
        return out;
    }
};

PrintedPage printPage(PrintTable& table, PrintInfo info, int page) {
    PrintedPage out;
    info.currentPage = page;
    table.printPage(out.canvas, info);
    return out;
}

TEST(PrintTable, WorkedExampleFillsPagesAsTheFixedHeightsSay) {
    FileGroup group = groupOf({85});
    PrintTable table(&group);
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 3);
    EXPECT_EQ(info.maxPage, 3);
    EXPECT_EQ(info.currentPage, 1);

    PrintedPage p1 = printPage(table, info, 1);
    const auto* title = p1.canvas.find(kPrintTitle);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->rect, (CanvasRect{X(35), Y(37 + 6), X(370), Y(37 + 29)}));
    EXPECT_EQ(title->align, kAlignHCenter | kAlignTop);
    EXPECT_EQ(title->font, (CanvasFont{"黑体", -311, 30}));
    const auto* path = p1.canvas.find("文件路径：/data/f0.fsy(数据个数85)");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->rect, (CanvasRect{X(35), Y(69), X(370), Y(81)}));
    EXPECT_EQ(path->font, (CanvasFont{"宋体", -226, 1}));
    const auto* head = p1.canvas.find("声速(m/s)");
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(head->rect, (CanvasRect{X(130), Y(79), X(177), Y(91)}));
    EXPECT_EQ(head->align, kAlignHCenter | kAlignVCenter);

    auto rows = p1.rows();
    ASSERT_EQ(rows.size(), 38u);
    for (int k = 0; k < 38; ++k) EXPECT_EQ(rows[k], std::make_pair(k + 1, 91 + 12 * k));
    EXPECT_EQ(rows.back().second, 535);

    PrintedPage p2 = printPage(table, info, 2);
    EXPECT_EQ(p2.canvas.find(kPrintTitle), nullptr);
    rows = p2.rows();
    ASSERT_EQ(rows.size(), 42u);
    for (int k = 0; k < 42; ++k) EXPECT_EQ(rows[k], std::make_pair(39 + k, 37 + 12 * k));
    EXPECT_EQ(rows.back().second, 529);

    rows = printPage(table, info, 3).rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.front(), std::make_pair(81, 37));
}

TEST(PrintTable, RowShowsThePointAndIsRuledAtTheFixedSeparators) {
    FileGroup group = groupOf({1});
    platform::text::setField(group.files[0].points[0].note, "\xC1\xD1\xB7\xEC");  // "裂缝" in GBK
    PrintTable table(&group);
    PrintInfo info;
    table.preparePages(info);
    PrintedPage page = printPage(table, info, 1);
    for (const char* cell : {"1", "0001", "3000", "100", "裂缝"}) EXPECT_NE(page.canvas.find(cell), nullptr) << cell;
    EXPECT_EQ(page.canvas.find("裂缝")->rect, (CanvasRect{X(226), Y(91), X(369), Y(103)}));

    std::set<int32_t> verticals;
    for (const auto& l : page.canvas.lines)
        if (l.from.x == l.to.x && l.from.y <= Y(91) && l.to.y >= Y(103) - 1) verticals.insert(l.from.x);
    EXPECT_EQ(verticals, (std::set<int32_t>{X(35), X(82), X(129), X(178), X(225), X(370)}));
}

TEST(PrintTable, FileHeadMovesToTheNextPageWithItsFirstRow) {
    // After 36 rows the running y is 523: a head (36) no longer fits although 24 would.
    FileGroup group = groupOf({36, 2});
    PrintTable table(&group);
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 2);
    PrintedPage p1 = printPage(table, info, 1);
    EXPECT_EQ(p1.canvas.find("文件路径：/data/f1.fsy(数据个数2)"), nullptr);
    EXPECT_EQ(p1.rows().size(), 36u);

    PrintedPage p2 = printPage(table, info, 2);
    const auto* path = p2.canvas.find("文件路径：/data/f1.fsy(数据个数2)");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->rect.top, Y(37 + 2));
    EXPECT_EQ(p2.rows(), (std::vector<std::pair<int, int32_t>>{{1, 61}, {2, 73}}));
}

TEST(PrintTable, EmptyFilePrintsTitlePathAndHeadOnly) {
    FileGroup group = groupOf({0});
    PrintTable table(&group);
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 1);
    EXPECT_EQ(table.lines().size(), 3u);  // title, head, one spare entry
    PrintedPage page = printPage(table, info, 1);
    EXPECT_NE(page.canvas.find(kPrintTitle), nullptr);
    EXPECT_NE(page.canvas.find("文件路径：/data/f0.fsy(数据个数0)"), nullptr);
    for (const char* head : {"序 号", "编 号", "声速(m/s)", "深度(mm)", "备  注"})
        EXPECT_NE(page.canvas.find(head), nullptr) << head;
    EXPECT_TRUE(page.rows().empty());
}

TEST(PrintTable, NoFilesOrNoDocumentGiveNoPages) {
    FileGroup empty;
    for (const FileGroup* group : std::vector<const FileGroup*>{&empty, nullptr}) {
        PrintTable table(group);
        PrintInfo info;
        EXPECT_EQ(table.preparePages(info), 0);
        EXPECT_EQ(info.maxPage, 0);
        EXPECT_EQ(table.layoutPages(nullptr, info), -1);
    }
}

TEST(PrintTable, LineListHoldsTitleHeadsRowsAndSpareTail) {
    FileGroup group = groupOf({2, 1});
    const auto lines = buildPrintLines(&group);
    ASSERT_EQ(lines.size(), 2u * 2 + 3 + 1);
    const PrintLineKind kinds[] = {PrintLineKind::Title,    PrintLineKind::FileHead, PrintLineKind::PointRow,
                                   PrintLineKind::PointRow, PrintLineKind::FileHead, PrintLineKind::PointRow};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(lines[i].kind, kinds[i]) << i;
    EXPECT_EQ(lines[5].fileIndex, 1);
    EXPECT_EQ(lines[3].pointIndex, 1);
    EXPECT_EQ(lines[6].kind, PrintLineKind::Empty);
    EXPECT_EQ(lines[6].fileIndex, -1);
}

TEST(PrintTable, PointsRemovedAfterPreparingAreNotReadPastTheirList) {
    FileGroup group = groupOf({50});
    PrintTable table(&group);
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 2);
    group.files[0].points.resize(10);
    EXPECT_TRUE(printPage(table, info, 2).rows().empty());
    EXPECT_EQ(printPage(table, info, 1).rows().size(), 10u);
}

TEST(PrintTable, LogicalCoordinatesAreTruncatedTwips) {
    EXPECT_EQ(X(35), 992);
    EXPECT_EQ(X(370), 10488);
    EXPECT_EQ(Y(550), -15590);
    EXPECT_EQ(Y(25), -708);
    EXPECT_EQ(Y(0), 0);
}

// ---- bands and page numbers

struct BandCase {
    int32_t position;
    bool inHeader;
    unsigned align;
};

class PageNumberBand : public testing::TestWithParam<BandCase> {};

TEST_P(PageNumberBand, NumberStandsInItsBandAboveOrBelowTheRule) {
    const BandCase c = GetParam();
    FileGroup group = groupOf({1});
    PrintTable table(&group);
    table.settings().printHeader = 0;
    table.settings().printFooter = 0;
    table.settings().printPageNumber = 1;
    table.settings().pageNumberPosition = c.position;
    table.settings().pageNumberFormat = kPageNumberPlain;
    PrintInfo info;
    table.preparePages(info);
    PrintedPage page = printPage(table, info, 1);

    const auto* number = page.canvas.find("1");  // the row ordinal is "1" too: take the band's
    for (const auto& t : page.canvas.texts)
        if (t.text == "1" && t.rect.left == X(35) && t.rect.right == X(370)) number = &t;
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->align, c.align);
    const CanvasRect band = c.inHeader ? CanvasRect{X(35), Y(25), X(370), Y(34)}
                                       : CanvasRect{X(35), Y(553), X(370), Y(568)};
    EXPECT_EQ(number->rect, band);
    EXPECT_EQ(number->font, (CanvasFont{"宋体", -226, 1}));

    const int32_t ruleY = c.inHeader ? Y(35) : Y(550);
    int rules = 0;
    for (const auto& l : page.canvas.lines) {
        if (l.from.y == l.to.y && (l.from.y == Y(35) || l.from.y == Y(550))) {
            ++rules;
            EXPECT_EQ(l.from.y, ruleY);
            EXPECT_EQ(l.pen.width, 15);
            EXPECT_EQ(l.from.x, X(35));
            EXPECT_EQ(l.to.x, X(370));
        }
    }
    EXPECT_EQ(rules, 1);  // only the band that carries the number
    EXPECT_EQ(page.canvas.saveDepth(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllPositions, PageNumberBand,
                         testing::Values(BandCase{kTopLeft, true, kAlignLeft | kAlignBottom},
                                         BandCase{kTopCentre, true, kAlignHCenter | kAlignBottom},
                                         BandCase{kTopRight, true, kAlignRight | kAlignBottom},
                                         BandCase{kBottomLeft, false, kAlignLeft | kAlignTop},
                                         BandCase{kBottomCentre, false, kAlignHCenter | kAlignTop},
                                         BandCase{kBottomRight, false, kAlignRight | kAlignTop}));

TEST(PrintBands, HeaderAndFooterTextsAreCentredInTheirBands) {
    FileGroup group = groupOf({1});
    PrintTable table(&group);
    auto& s = table.settings();
    s.headerText = "Head";
    s.footerText = "Foot";
    s.printHeader = s.printFooter = 1;
    s.printPageNumber = 0;
    PrintInfo info;
    table.preparePages(info);
    PrintedPage page = printPage(table, info, 1);
    ASSERT_NE(page.canvas.find("Head"), nullptr);
    EXPECT_EQ(page.canvas.find("Head")->align, kAlignHCenter | kAlignBottom);
    EXPECT_EQ(page.canvas.find("Head")->rect.top, Y(25));
    ASSERT_NE(page.canvas.find("Foot"), nullptr);
    EXPECT_EQ(page.canvas.find("Foot")->align, kAlignHCenter | kAlignTop);
    EXPECT_EQ(page.canvas.find("Foot")->rect.top, Y(553));
}

TEST(PrintBands, NothingOnNoBandsAndNoRules) {
    FileGroup group = groupOf({0});
    PrintTable table(&group);
    auto& s = table.settings();
    s.headerText = s.footerText = "x";
    s.printHeader = s.printFooter = s.printPageNumber = 0;
    PrintInfo info;
    table.preparePages(info);
    PrintedPage page = printPage(table, info, 1);
    EXPECT_EQ(page.canvas.find("x"), nullptr);
    for (const auto& l : page.canvas.lines) EXPECT_NE(l.pen.width, 15);
}

TEST(PrintBands, ViewStartsWithTextlessHeaderAndDashedNumberBelow) {
    FileGroup group = groupOf({1});
    PrintTable table(&group);
    EXPECT_EQ(table.settings(), viewDefaultSettings());
    PrintInfo info;
    table.preparePages(info);
    PrintedPage page = printPage(table, info, 1);
    ASSERT_NE(page.canvas.find("--1--"), nullptr);
    EXPECT_EQ(page.canvas.find("--1--")->align, kAlignHCenter | kAlignTop);
}

TEST(PageNumbers, EveryFormatAndUnknownOnes) {
    PrintSettings s;
    s.startPage = 3;
    const char* expected[] = {"4", ".4.", "--4--", "第4页", "共6页   第4页"};
    for (int f = 0; f < 5; ++f) {
        s.pageNumberFormat = f;
        EXPECT_EQ(formatPageNumber(s, 2, 4), expected[f]) << f;
    }
    for (int f : {-1, 5, 1000}) {
        s.pageNumberFormat = f;
        EXPECT_EQ(formatPageNumber(s, 2, 4), "") << f;
    }
}

// Stored values are taken as they are; the extremes of int32 give exact numbers, no wrapping
// (and no overflow under the sanitizers).
TEST(PageNumbers, StartPagesAtTheEndsOfTheRangeGiveExactNumbers) {
    PrintSettings s;
    s.pageNumberFormat = kPageNumberOfTotal;
    s.startPage = INT32_MAX;
    EXPECT_EQ(formatPageNumber(s, 3, 5), "共2147483651页   第2147483649页");
    s.startPage = INT32_MIN;
    EXPECT_EQ(formatPageNumber(s, 1, 1), "共-2147483648页   第-2147483648页");
    s.pageNumberFormat = kPageNumberChinese;
    EXPECT_EQ(formatPageNumber(s, INT32_MAX, 1), "第-2页");
}

TEST(PageNumbers, AnyStoredPositionAndFormatPrintsWithoutFault) {
    FileGroup group = groupOf({85});
    for (int32_t position : {INT32_MIN, INT32_MIN + 2, -1, 6, INT32_MAX - 1, INT32_MAX}) {
        for (int32_t format : {INT32_MIN, 4, INT32_MAX}) {
            PrintTable table(&group);
            auto& s = table.settings();
            s.startPage = INT32_MAX;
            s.pageNumberPosition = position;
            s.pageNumberFormat = format;
            s.printHeader = s.printFooter = 0;
            PrintInfo info;
            ASSERT_EQ(table.preparePages(info), 3);
            const PrintedPage page = printPage(table, info, 3);
            // No band position: no page number anywhere, only the band's rule.
            for (const auto& t : page.canvas.texts) EXPECT_EQ(t.text.find("2147483"), std::string::npos) << t.text;
            EXPECT_EQ(page.rows().size(), 5u);
        }
    }
    PrintTable table(&group);
    table.settings().startPage = INT32_MAX;
    PrintInfo info;
    table.preparePages(info);
    EXPECT_NE(printPage(table, info, 3).canvas.find("--2147483649--"), nullptr);
}

TEST(PageNumbers, StartPageFiveWithTotalOnPageTwoOfThree) {
    FileGroup group = groupOf({85});
    PrintTable table(&group);
    table.settings().startPage = 5;
    table.settings().pageNumberFormat = kPageNumberOfTotal;
    PrintInfo info;
    ASSERT_EQ(table.preparePages(info), 3);
    EXPECT_NE(printPage(table, info, 2).canvas.find("共7页   第6页"), nullptr);
}

}  // namespace
