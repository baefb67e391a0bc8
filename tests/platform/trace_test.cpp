#include "platform/trace.h"

#include <gtest/gtest.h>

using namespace fendal;

namespace {

constexpr unsigned kUsb = 1u << static_cast<unsigned>(platform::TraceChannel::Usb);
constexpr unsigned kSerial = 1u << static_cast<unsigned>(platform::TraceChannel::Serial);

TEST(Trace, ChannelsAreNamedOneByOneAndUnknownNamesTurnNothingOn) {
    using platform::detail::traceChannels;
    EXPECT_EQ(traceChannels(nullptr), 0u);
    EXPECT_EQ(traceChannels(""), 0u);
    EXPECT_EQ(traceChannels("usb"), kUsb);
    EXPECT_EQ(traceChannels("serial"), kSerial);
    EXPECT_EQ(traceChannels("usb,serial"), kUsb | kSerial);
    EXPECT_EQ(traceChannels("all"), kUsb | kSerial);
    EXPECT_EQ(traceChannels(",serial,"), kSerial);
    // A near miss is not a channel: a typo must not switch on a flood of lines.
    EXPECT_EQ(traceChannels("usbx,Serial, usb"), 0u);
}

}  // namespace
