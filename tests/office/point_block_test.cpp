#include "office/point_block.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/text.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

MeasurePoint distinctivePoint() {
    MeasurePoint p{};
    platform::text::setField(p.number, *platform::text::utf8ToGbk("A-07号"));
    p.velocity = 0x01020304;
    p.velocityReserved = -2;
    p.depth = -5;  // sign must survive
    p.depthReserved = 0x7f000001;
    platform::text::setField(p.note, *platform::text::utf8ToGbk("斜缝 near joint"));
    for (int i = 0; i < 200; ++i) p.reserve[i] = static_cast<char>(i * 7);
    return p;
}

TEST(PointBlock, LaysOutTheRecordByteByByte) {
    const MeasurePoint p = distinctivePoint();
    const PointBlock b = encodePointBlock(p);

    ASSERT_EQ(b.size(), 448u);
    EXPECT_EQ(0, std::memcmp(&b[0], p.number, 32));
    const unsigned char velocity[] = {0x04, 0x03, 0x02, 0x01};
    const unsigned char velocityReserved[] = {0xfe, 0xff, 0xff, 0xff};
    const unsigned char depth[] = {0xfb, 0xff, 0xff, 0xff};
    const unsigned char depthReserved[] = {0x01, 0x00, 0x00, 0x7f};
    EXPECT_EQ(0, std::memcmp(&b[32], velocity, 4));
    EXPECT_EQ(0, std::memcmp(&b[36], velocityReserved, 4));
    EXPECT_EQ(0, std::memcmp(&b[40], depth, 4));
    EXPECT_EQ(0, std::memcmp(&b[44], depthReserved, 4));
    EXPECT_EQ(0, std::memcmp(&b[48], p.note, 200));
    EXPECT_EQ(0, std::memcmp(&b[248], p.reserve, 200));
    // The block is exactly the in-memory image of the record.
    EXPECT_EQ(0, std::memcmp(b.data(), &p, sizeof p));
}

TEST(PointBlock, RoundTripKeepsEveryField) {
    const MeasurePoint p = distinctivePoint();
    const PointBlock b = encodePointBlock(p);
    const auto back = decodePointBlock(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(0, std::memcmp(&*back, &p, sizeof p));
}

TEST(PointBlock, RefusesBlocksOfAnotherSize) {
    const PointBlock b = encodePointBlock(distinctivePoint());
    std::vector<unsigned char> shorter(b.begin(), b.end() - 1);
    std::vector<unsigned char> longer(b.begin(), b.end());
    longer.push_back(0);
    EXPECT_FALSE(decodePointBlock(shorter));
    EXPECT_FALSE(decodePointBlock(longer));
    EXPECT_FALSE(decodePointBlock({}));
}

TEST(PointBlock, TerminatesUnterminatedTextFields) {
    std::vector<unsigned char> junk(448, 'x');
    const auto p = decodePointBlock(junk);
    ASSERT_TRUE(p);
    EXPECT_EQ(platform::text::fieldText(p->number), std::string(31, 'x'));
    EXPECT_EQ(platform::text::fieldText(p->note), std::string(199, 'x'));
    EXPECT_EQ(p->reserve[199], 'x');  // not text: carried as it came
}

}  // namespace
