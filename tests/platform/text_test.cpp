#include <gtest/gtest.h>

#include <cstring>

#include "platform/text.h"

namespace {

TEST(Text, GbkRoundTripAndRefusal) {
    auto gbk = text::utf8ToGbk("裂缝 A1");
    ASSERT_TRUE(gbk);
    EXPECT_EQ(*gbk, "\xC1\xD1\xB7\xEC A1");  // two bytes per Chinese character
    EXPECT_EQ(text::gbkToUtf8(*gbk), "裂缝 A1");
    EXPECT_FALSE(text::utf8ToGbk("emoji \xF0\x9F\x98\x80"));
    EXPECT_FALSE(text::utf8ToGbk("\xFF broken"));
    // a damaged field still shows what it can
    EXPECT_EQ(text::gbkToUtf8("ok\xFF"), "ok\xEF\xBF\xBD");
}

TEST(Text, FixedFieldsNeverReadOrWritePastTheirEnd) {
    char field[4];
    std::memset(field, 'x', sizeof field);
    EXPECT_EQ(text::fieldText(field), "xxxx");
    EXPECT_FALSE(text::setField(field, "abcd"));  // no room for the NUL
    EXPECT_TRUE(text::setField(field, "abc"));
    EXPECT_EQ(text::fieldText(field), "abc");
    EXPECT_TRUE(text::setField(field, "a"));
    EXPECT_EQ(field[2], '\0');
    std::memset(field, 'y', sizeof field);
    text::terminateField(field);
    EXPECT_EQ(text::fieldText(field), "yyy");
}

TEST(Text, TrimAndFormat) {
    EXPECT_EQ(text::trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(text::trim("   "), "");
    EXPECT_EQ(text::format("%04d|%s", 7, "x"), "0007|x");
}

}  // namespace
