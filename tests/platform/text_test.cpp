#include <gtest/gtest.h>

#include <cstring>

#include "platform/text.h"

using namespace fendal;

namespace {

TEST(Text, GbkRoundTripAndRefusal) {
    auto gbk = platform::text::utf8ToGbk("裂缝 A1");
    ASSERT_TRUE(gbk);
    EXPECT_EQ(*gbk, "\xC1\xD1\xB7\xEC A1");  // two bytes per Chinese character
    EXPECT_EQ(platform::text::gbkToUtf8(*gbk), "裂缝 A1");
    EXPECT_FALSE(platform::text::utf8ToGbk("emoji \xF0\x9F\x98\x80"));
    EXPECT_FALSE(platform::text::utf8ToGbk("\xFF broken"));
    // a damaged field still shows what it can
    EXPECT_EQ(platform::text::gbkToUtf8("ok\xFF"), "ok\xEF\xBF\xBD");
}

TEST(Text, FixedFieldsNeverReadOrWritePastTheirEnd) {
    char field[4];
    std::memset(field, 'x', sizeof field);
    EXPECT_EQ(platform::text::fieldText(field), "xxxx");
    EXPECT_FALSE(platform::text::setField(field, "abcd"));  // no room for the NUL
    EXPECT_TRUE(platform::text::setField(field, "abc"));
    EXPECT_EQ(platform::text::fieldText(field), "abc");
    EXPECT_TRUE(platform::text::setField(field, "a"));
    EXPECT_EQ(field[2], '\0');
    std::memset(field, 'y', sizeof field);
    platform::text::terminateField(field);
    EXPECT_EQ(platform::text::fieldText(field), "yyy");
}

// Paths are bytes: shown as UTF-8 when they are, decoded from GBK when every byte is GBK
// (a name copied from Windows), else with the stray bytes escaped, and never lossy.
TEST(Text, DisplayPathKeepsEveryByteOfANativePath) {
    EXPECT_EQ(platform::text::displayPath("/data/桥墩 A.fsy"), "/data/桥墩 A.fsy");
    EXPECT_EQ(platform::text::displayPath("/data/\xC1\xD1\xB7\xEC.fsy"), "/data/裂缝.fsy");
    EXPECT_EQ(platform::text::displayPath("/d/\xFF\xFE桥.fsy"), "/d/\\xFF\\xFE桥.fsy");
    // escaped form: a literal backslash is escaped too, so the text maps back to one byte string
    EXPECT_EQ(platform::text::displayPath("a\\x\xFF"), "a\\x5Cx\\xFF");
    EXPECT_EQ(platform::text::displayPath("a\\b"), "a\\b");
    // overlong forms and surrogates are no UTF-8
    EXPECT_FALSE(platform::text::isUtf8("\xC0\xAF"));
    EXPECT_FALSE(platform::text::isUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(platform::text::isUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(platform::text::isUtf8("\xE6\xA1"));
    EXPECT_TRUE(platform::text::isUtf8("\xF0\x9F\x98\x80"));
    for (const std::string& shown :
         {platform::text::displayPath("\x80\x81\xC0"), platform::text::displayPath("x\xE6\xA1")})
        EXPECT_TRUE(platform::text::isUtf8(shown)) << shown;
}

TEST(Text, TrimAndFormat) {
    EXPECT_EQ(platform::text::trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(platform::text::trim("   "), "");
    EXPECT_EQ(platform::text::format("%04d|%s", 7, "x"), "0007|x");
}

}  // namespace
