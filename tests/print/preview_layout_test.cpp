// The print preview's column of pages: which pages a scroll position shows, which page it is
// on, and zooms that keep the place; and the cache of the pages drawn last.
#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "print/preview_layout.h"
#include "print/recent_page_cache.h"

using namespace fendal;
using namespace fendal::print;

namespace {

// One pixel per point: pages 595 x 842 with a gap of 12, so page k starts at 12 + (k - 1) * 854.
PreviewLayout a4(int pages) { return PreviewLayout(pages, {595, 842}, 1.0); }

}  // namespace

TEST(PreviewLayout, PagesInViewAtScrollPositionsAndZooms) {
    const PreviewLayout layout = a4(3);
    ASSERT_EQ(layout.pageHeight(), 842);
    EXPECT_EQ(layout.contentHeight(), 12 + 3 * 854);
    EXPECT_EQ(layout.pagesInView(0, 600), (PageSpan{1, 1}));
    EXPECT_EQ(layout.pagesInView(0, 867), (PageSpan{1, 2}));  // one row of page 2
    EXPECT_EQ(layout.pagesInView(0, 866), (PageSpan{1, 1}));  // up to the gap's last row
    EXPECT_TRUE(layout.pagesInView(854, 12).empty());         // the gap alone
    EXPECT_EQ(layout.pagesInView(853, 2), (PageSpan{1, 1}));  // page 1's last row
    EXPECT_EQ(layout.pagesInView(866, 1), (PageSpan{2, 2}));
    EXPECT_EQ(layout.pagesInView(-100, 113), (PageSpan{1, 1}));
    EXPECT_EQ(layout.pagesInView(0, 100000), (PageSpan{1, 3}));  // never past the last page
    EXPECT_EQ(layout.pagesInView(2500, 500), (PageSpan{3, 3}));
    EXPECT_TRUE(layout.pagesInView(layout.contentHeight(), 100).empty());
    EXPECT_TRUE(layout.pagesInView(0, 0).empty());
    EXPECT_TRUE(a4(0).pagesInView(0, 1000).empty());

    PreviewLayout half = a4(2381);
    half.setZoom(0.5);  // pages 421 high, 433 apart
    EXPECT_EQ(half.pagesInView(0, 900), (PageSpan{1, 3}));
    EXPECT_EQ(half.pagesInView(half.scrollTopOf(2000), 433), (PageSpan{2000, 2000}));
    EXPECT_EQ(half.pagesInView(half.scrollTopOf(2381), 5000), (PageSpan{2381, 2381}));
}

TEST(PreviewLayout, CurrentPageIsTheOneFillingMostOfTheView) {
    const PreviewLayout layout = a4(3);
    EXPECT_EQ(layout.pageAt(0, 900), 1);
    EXPECT_EQ(layout.pageAt(500, 900), 2);  // 354 rows of page 1, 534 of page 2
    EXPECT_EQ(layout.pageAt(500, 720), 1);  // 354 rows each: the first
    EXPECT_EQ(layout.pageAt(855, 5), 2);    // in the gap above page 2
    EXPECT_EQ(layout.pageAt(-50, 10), 1);
    EXPECT_EQ(layout.pageAt(100000, 500), 3);
    EXPECT_EQ(a4(0).pageAt(0, 500), 0);
    for (int page = 1; page <= 3; ++page) EXPECT_EQ(layout.pageAt(layout.scrollTopOf(page), 600), page);
    EXPECT_EQ(layout.scrollTopOf(0), 0);
    EXPECT_EQ(layout.scrollTopOf(9), layout.scrollTopOf(3));
}

TEST(PreviewLayout, ZoomKeepsThePlaceAndPagesCentred) {
    PreviewLayout layout = a4(2381);
    const double position = layout.positionAt(layout.scrollTopOf(1200) + 300);
    for (double zoom : {0.25, 2.0, 8.0}) {
        layout.setZoom(zoom);
        EXPECT_EQ(layout.pagesInView(layout.topAt(position), 1).first, 1200) << zoom;  // the top row
    }
    layout.setZoom(1);
    EXPECT_EQ(layout.pageRect(2, 1000), (PixelRect{202, 866, 595, 842}));
    EXPECT_EQ(layout.pageRect(1, 300).x, 12);  // wider than the view: from the left, with a gap
    EXPECT_EQ(layout.contentWidth(), 619);

    EXPECT_DOUBLE_EQ(layout.fitWidthZoom(619), 1.0);
    EXPECT_DOUBLE_EQ(layout.fitPageZoom(1000, 866), 1.0);
    EXPECT_DOUBLE_EQ(layout.fitPageZoom(619 + 595, 866), 1.0);
    EXPECT_DOUBLE_EQ(layout.fitPageZoom(619, 5000), 1.0);
    layout.setZoom(layout.fitWidthZoom(20));  // a view too narrow for any page
    EXPECT_DOUBLE_EQ(layout.zoom(), PreviewLayout::kMinZoom);
    layout.setZoom(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(layout.zoom(), 1.0);
}

TEST(PreviewLayout, FacingPagesGoInPairs) {
    PreviewLayout layout = a4(5);
    layout.setColumns(2);
    EXPECT_EQ(layout.contentHeight(), 12 + 3 * 854);  // rows 1-2, 3-4 and 5 alone
    EXPECT_EQ(layout.contentWidth(), 2 * 595 + 3 * 12);
    EXPECT_EQ(layout.pagesInView(0, 900), (PageSpan{1, 4}));
    EXPECT_EQ(layout.pagesInView(2 * 854, 900), (PageSpan{5, 5}));  // the odd last page
    EXPECT_EQ(layout.pageRect(4, 1216), (PixelRect{12 + 595 + 12, 866, 595, 842}));
    EXPECT_EQ(layout.pageRect(5, 1216), (PixelRect{12, 12 + 2 * 854, 595, 842}));
    EXPECT_EQ(layout.pageAt(500, 900), 3);  // the row of pages 3 and 4 fills most of the view
    EXPECT_EQ(layout.scrollTopOf(4), layout.scrollTopOf(3));
    EXPECT_DOUBLE_EQ(layout.fitWidthZoom(2 * 595 + 3 * 12), 1.0);
    layout.setColumns(7);
    EXPECT_EQ(layout.columns(), 2);
}

TEST(PreviewLayout, ColumnOfAMillionPagesStaysWithinAScrollBar) {
    PreviewLayout layout(1'000'000, {595, 842}, 96.0 / 72);
    layout.setZoom(PreviewLayout::kMaxZoom);
    EXPECT_LT(layout.zoom(), PreviewLayout::kMaxZoom);
    EXPECT_LE(layout.contentHeight(), INT_MAX);
    EXPECT_EQ(layout.pagesInView(layout.scrollTopOf(1'000'000), 2000).last, 1'000'000);

    PreviewLayout points(23'810, {595, 842}, 96.0 / 72);  // a million points of one group
    points.setZoom(PreviewLayout::kMaxZoom);
    EXPECT_DOUBLE_EQ(points.zoom(), PreviewLayout::kMaxZoom);
}

TEST(PreviewLayout, ZoomStepsGoToTheNextUsualZoom) {
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(1.0, 1), 1.25);
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(1.0, -1), 0.75);
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(0.8, -1), 0.75);
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(1.0004, 1), 1.25);  // a fitted zoom a hair off 100%
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(8.0, 1), PreviewLayout::kMaxZoom);
    EXPECT_DOUBLE_EQ(PreviewLayout::nextZoomStep(0.1, -1), PreviewLayout::kMinZoom);
}

TEST(RecentPageCache, LetsGoOfTheLeastRecentlyUsedWithinItsBudget) {
    RecentPageCache<int> cache;
    cache.insert(1, 100, 10);
    cache.insert(2, 200, 10);
    cache.insert(3, 300, 10);
    ASSERT_NE(cache.find(1), nullptr);  // page 1 is now more recent than page 2
    cache.trim(20);
    EXPECT_FALSE(cache.contains(2));
    EXPECT_EQ(*cache.find(1), 100);
    EXPECT_EQ(*cache.find(3), 300);
    EXPECT_EQ(cache.totalCost(), 20u);

    cache.insert(3, 301, 5);  // drawn again: replaced, not kept twice
    EXPECT_EQ(cache.size(), 2u);
    EXPECT_EQ(cache.totalCost(), 15u);
    EXPECT_EQ(*cache.find(3), 301);
    cache.trim(0);
    EXPECT_EQ(cache.size(), 0u);
    EXPECT_EQ(cache.totalCost(), 0u);
}
