// What the virtual instrument answers, fault by fault.
#include <gtest/gtest.h>

#include "platform/byte_order.h"
#include "usb_descriptors.h"
#include "usb_session.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using namespace instrument;
using Bytes = std::vector<unsigned char>;

std::vector<ReceivedRecord> demo(int count) {
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < count; ++i) records.push_back(demoRecord(i));
    return records;
}

bool request(UsbSession& session, Bytes bytes) { return session.write(bytes.data(), bytes.size()); }

bool requestBlock(UsbSession& session, int b) {
    return request(session, {static_cast<unsigned char>(b / 255), static_cast<unsigned char>(b % 255)});
}

TEST(UsbSession, AnswersOnlyWhatWasAsked) {
    UsbSession session(demo(3), {});
    EXPECT_FALSE(session.takeAnswer()) << "nothing before a request";
    ASSERT_TRUE(request(session, {0}));
    auto count = session.takeAnswer();
    ASSERT_TRUE(count);
    EXPECT_EQ(count->bytes, Bytes({0, 3}));
    EXPECT_FALSE(session.takeAnswer()) << "each answer is read once";
    ASSERT_TRUE(requestBlock(session, 0));
    auto block = session.takeAnswer();
    ASSERT_TRUE(block && block->ok);
    EXPECT_EQ(block->bytes.size(), 32u);
    EXPECT_EQ(block->bytes[18], 0) << "padding after the 18 data bytes";
    EXPECT_FALSE(session.complete());
    ASSERT_TRUE(request(session, {0, 0, 0}));
    EXPECT_TRUE(session.complete());
    EXPECT_FALSE(session.takeAnswer()) << "the end request has no answer";
}

TEST(UsbSession, StallLeavesBlocksUnanswered) {
    UsbSession session(demo(30), {.stallAfter = 2});
    request(session, {0});
    session.takeAnswer();
    for (int b = 0; b < 2; ++b) {
        requestBlock(session, b);
        EXPECT_TRUE(session.takeAnswer());
    }
    EXPECT_TRUE(requestBlock(session, 2)) << "the request itself is taken";
    EXPECT_FALSE(session.takeAnswer());
}

TEST(UsbSession, BreakComesOncePerTransferAfterTheKthBlock) {
    UsbSession session(demo(30), {.breakAfter = 0});
    request(session, {0});
    session.takeAnswer();
    EXPECT_TRUE(session.breakDue()) << "after the count";
    EXPECT_FALSE(session.breakDue());

    UsbSession later(demo(30), {.breakAfter = 2});
    request(later, {0});
    later.takeAnswer();
    EXPECT_FALSE(later.breakDue());
    for (int b = 0; b < 2; ++b) {
        requestBlock(later, b);
        later.takeAnswer();
    }
    EXPECT_TRUE(later.breakDue());
    // A new transfer breaks again at the same place.
    request(later, {0});
    later.takeAnswer();
    requestBlock(later, 0);
    later.takeAnswer();
    EXPECT_FALSE(later.breakDue());
    requestBlock(later, 1);
    later.takeAnswer();
    EXPECT_TRUE(later.breakDue());
}

TEST(UsbSession, OvercountPromisesPointsThatNeverCome) {
    UsbSession session(demo(10), {.overcount = 10});  // 60 real bytes, 120 announced
    request(session, {0});
    EXPECT_EQ(session.takeAnswer()->bytes, Bytes({0, 20}));
    requestBlock(session, 1);
    EXPECT_TRUE(session.takeAnswer()->ok) << "block 1 still holds real points";
    requestBlock(session, 2);
    EXPECT_FALSE(session.takeAnswer()->ok);

    UsbSession capped(demo(65535), {.overcount = 5});
    request(capped, {0});
    EXPECT_EQ(capped.takeAnswer()->bytes, Bytes({0xFF, 0xFF})) << "the count has two bytes";
}

TEST(UsbSession, FreezeComesAfterTheKthBlockAndStays) {
    UsbSession atCount(demo(30), {.freezeAfter = 0});
    request(atCount, {0});
    EXPECT_FALSE(atCount.frozen());
    atCount.takeAnswer();
    EXPECT_TRUE(atCount.frozen()) << "right after the count";

    UsbSession later(demo(30), {.freezeAfter = 1});
    request(later, {0});
    later.takeAnswer();
    requestBlock(later, 0);
    EXPECT_FALSE(later.frozen());
    later.takeAnswer();
    EXPECT_TRUE(later.frozen());
    request(later, {0});
    later.takeAnswer();
    EXPECT_TRUE(later.frozen()) << "a hung device does not come back with the next transfer";
}

TEST(UsbSession, FailWriteRefusesEveryRequest) {
    UsbSession session(demo(3), {.failWrite = true});
    EXPECT_FALSE(request(session, {0}));
    EXPECT_FALSE(session.takeAnswer());
}

TEST(UsbDescriptors, GetDescriptorOnlyAndCutToWLength) {
    Bytes reply;
    const unsigned char device[8] = {0x80, 6, 0, 1, 0, 0, 64, 0};
    ASSERT_TRUE(answerControl(device, reply));
    EXPECT_EQ(reply, deviceDescriptor());
    const unsigned char config[8] = {0x80, 6, 0, 2, 0, 0, 4, 0};
    ASSERT_TRUE(answerControl(config, reply));
    EXPECT_EQ(reply.size(), 4u);
    const Bytes whole = configurationDescriptor();
    EXPECT_EQ(whole.size(), std::size_t(platform::loadLe16(whole.data() + 2)));
    EXPECT_EQ(whole[4 + 9 + 0], 4) << "four endpoints";
    const unsigned char stringRequest[8] = {0x80, 6, 0, 3, 0, 0, 64, 0};
    EXPECT_FALSE(answerControl(stringRequest, reply));
    const unsigned char setAddress[8] = {0x00, 5, 1, 0, 0, 0, 0, 0};
    EXPECT_FALSE(answerControl(setAddress, reply));
}

}  // namespace
