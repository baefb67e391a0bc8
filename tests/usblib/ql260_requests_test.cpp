// The requests the library sends to the driver: sizes, layouts, and what it makes of the replies.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "platform/byte_order.h"
#include "usblib/fake_socket_driver.h"
#include "usblib/ql260.h"

using namespace fendal;

namespace {

std::vector<unsigned char> counting(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    std::iota(bytes.begin(), bytes.end(), static_cast<unsigned char>(1));
    return bytes;
}

// A driver that does what it is asked: reads deliver the requested count of counting bytes.
FakeReply obligingDriver(const RawRequest& request) {
    const uint32_t function = request.function();
    switch (function) {
    case QL260_FUNC_READ_DATA:
    case QL260_FUNC_READ_INTER: return driverReply(function, request.length(), counting(request.length()));
    case QL260_FUNC_WRITE_DATA:
    case QL260_FUNC_WRITE_AUX: return driverReply(function, request.length());
    case QL260_FUNC_CONTROL: {
        const uint32_t wanted = platform::loadLe16(request.data() + 6);
        return driverReply(function, std::min<uint32_t>(wanted, 18), counting(std::min<uint32_t>(wanted, 18)));
    }
    default: return driverReply(function, 4);
    }
}

class RequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = freshDeviceFolder("requests");
        driver_ = std::make_unique<FakeSocketDriver>(
            folder_, "dev.sock", [this](const RawRequest& r) { return handler_ ? handler_(r) : obligingDriver(r); });
        ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    }
    void TearDown() override {
        QL260CloseDevice(0);
        driver_.reset();
    }
    RawRequest lastRequest() {
        auto all = driver_->requests();
        return all.empty() ? RawRequest{} : all.back();
    }

    std::string folder_;
    std::function<FakeReply(const RawRequest&)> handler_;
    std::unique_ptr<FakeSocketDriver> driver_;
};

TEST_F(RequestTest, ReadsAskForTheMinimumAndReturnNoMoreThanWanted) {
    unsigned char buffer[1024] = {};
    QL260_ULONG length = 2;
    ASSERT_TRUE(QL260ReadData(0, buffer, &length));
    RawRequest request = lastRequest();
    EXPECT_EQ(request.controlCode, QL260_IOCTL_REQUEST);
    EXPECT_EQ(request.inSize, 8u);
    EXPECT_EQ(request.outSize, 64u + 8);
    EXPECT_EQ(request.function(), 6u);
    EXPECT_EQ(request.length(), 64u);
    EXPECT_EQ(length, 2u);
    EXPECT_EQ(buffer[0], 1);
    EXPECT_EQ(buffer[1], 2);
    EXPECT_EQ(buffer[2], 0) << "bytes beyond the caller's length are dropped";

    length = 3;
    ASSERT_TRUE(QL260ReadInter(0, buffer, &length));
    request = lastRequest();
    EXPECT_EQ(request.function(), 5u);
    EXPECT_EQ(request.length(), 8u);
    EXPECT_EQ(request.outSize, 16u);
    EXPECT_EQ(length, 3u);
}

TEST_F(RequestTest, TransfersAreCutTo1024Bytes) {
    std::vector<unsigned char> buffer(5000, 0xAB);
    QL260_ULONG length = 5000;
    ASSERT_TRUE(QL260ReadData(0, buffer.data(), &length));
    EXPECT_EQ(lastRequest().length(), 1024u);
    EXPECT_EQ(lastRequest().outSize, 1032u);
    EXPECT_EQ(length, 1024u);
    EXPECT_EQ(buffer[1024], 0xAB) << "nothing written past the 1024 bytes";

    length = 5000;
    ASSERT_TRUE(QL260WriteData(0, buffer.data(), &length));
    RawRequest request = lastRequest();
    EXPECT_EQ(request.function(), 7u);
    EXPECT_EQ(request.inSize, 1032u);
    EXPECT_EQ(request.outSize, 8u);
    EXPECT_EQ(request.length(), 1024u);
    EXPECT_EQ(length, 1024u);
}

TEST_F(RequestTest, ShortReadReportsWhatTheDriverDelivered) {
    handler_ = [](const RawRequest& r) { return driverReply(r.function(), 5, counting(5)); };
    unsigned char buffer[32] = {};
    QL260_ULONG length = 32;
    ASSERT_TRUE(QL260ReadData(0, buffer, &length));
    EXPECT_EQ(length, 5u);
}

TEST_F(RequestTest, WritesCarryTheBytesAndReportTheDriversCount) {
    handler_ = [](const RawRequest& r) { return driverReply(r.function(), r.length() - 1); };
    unsigned char bytes[3] = {0x00, 0x01, 0x02};
    QL260_ULONG length = 3;
    ASSERT_TRUE(QL260WriteAuxData(0, bytes, &length));
    RawRequest request = lastRequest();
    EXPECT_EQ(request.function(), 8u);
    EXPECT_EQ(request.inSize, 11u);
    EXPECT_EQ(std::vector<unsigned char>(request.data(), request.data() + 3), std::vector<unsigned char>({0, 1, 2}));
    EXPECT_EQ(length, 2u);
}

TEST_F(RequestTest, FailuresClearTheLength) {
    handler_ = [](const RawRequest&) { return FakeReply{false, {}, false, false}; };
    unsigned char buffer[64] = {};
    for (auto call :
         {QL260ReadData, QL260ReadInter, QL260WriteData, QL260WriteAuxData, QL260GetDeviceDescr, QL260GetConfigDescr}) {
        QL260_ULONG length = 10;
        EXPECT_FALSE(call(0, buffer, &length));
        EXPECT_EQ(length, 0u);
    }
    EXPECT_FALSE(QL260AbortRead(0));
    EXPECT_EQ(QL260DriverCommand(0, std::make_unique<DriverRequest>().get()), 0u);
}

TEST_F(RequestTest, DescriptorRequestIsAZeroFilledControlTransfer) {
    unsigned char buffer[64] = {};
    QL260_ULONG length = 18;
    ASSERT_TRUE(QL260GetDeviceDescr(0, buffer, &length));
    RawRequest request = lastRequest();
    EXPECT_EQ(request.inSize, 72u);
    EXPECT_EQ(request.outSize, 26u);
    EXPECT_EQ(request.function(), 4u);
    EXPECT_EQ(request.length(), 8u);
    const std::vector<unsigned char> setup(request.data(), request.data() + 8);
    EXPECT_EQ(setup, std::vector<unsigned char>({0x80, 6, 0, 1, 0, 0, 18, 0}));
    EXPECT_TRUE(std::all_of(request.input.begin() + 16, request.input.end(), [](unsigned char b) { return b == 0; }));
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(buffer[17], 18);

    length = 300;
    ASSERT_TRUE(QL260GetConfigDescr(0, buffer, &length));
    request = lastRequest();
    EXPECT_EQ(request.data()[3], 2) << "configuration descriptor type";
    EXPECT_EQ(platform::loadLe16(request.data() + 6), 300) << "wLength";
    EXPECT_EQ(request.outSize, 308u);
}

TEST_F(RequestTest, DescriptorNeverOverrunsTheCallersBuffer) {
    // A driver reporting more than was asked for must not write past the caller's buffer.
    handler_ = [](const RawRequest& r) { return driverReply(r.function(), 500, counting(r.outSize - 8)); };
    unsigned char buffer[20] = {};
    QL260_ULONG length = 18;
    ASSERT_TRUE(QL260GetDeviceDescr(0, buffer, &length));
    EXPECT_EQ(length, 18u);
    EXPECT_EQ(buffer[18], 0);
}

TEST_F(RequestTest, AbortsAndResetsNamePipesOnTheSecondStream) {
    struct Case {
        QL260_BOOL(QL260_CALL* call)(QL260_ULONG);
        uint32_t function;
        uint32_t pipe;
    };
    const Case cases[] = {{QL260AbortRead, 14, 6}, {QL260AbortWrite, 14, 7}, {QL260AbortInter, 14, 5},
                          {QL260ResetRead, 13, 6}, {QL260ResetWrite, 13, 7}, {QL260ResetInter, 13, 5},
                          {QL260ResetAux, 13, 8}};
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    ASSERT_TRUE(QL260WriteData(0, &byte, &length));
    const int dataStream = lastRequest().stream;
    for (const Case& c : cases) {
        EXPECT_TRUE(c.call(0));
        RawRequest request = lastRequest();
        EXPECT_EQ(request.function(), c.function);
        EXPECT_EQ(request.length(), 4u);
        EXPECT_EQ(request.data()[0], c.pipe);
        EXPECT_EQ(request.inSize, 72u);
        EXPECT_EQ(request.outSize, 72u);
        EXPECT_TRUE(
            std::all_of(request.input.begin() + 9, request.input.end(), [](unsigned char b) { return b == 0; }));
        EXPECT_NE(request.stream, dataStream);
    }
}

TEST_F(RequestTest, DriverCommandSendsTheCallersRecord) {
    handler_ = [](const RawRequest& r) { return driverReply(r.function(), 2, {0xAA, 0xBB}); };
    auto request = std::make_unique<DriverRequest>();
    request->function = 4;
    request->length = 8;
    request->data[0] = 0x80;
    EXPECT_EQ(QL260DriverCommand(0, request.get()), 10u);
    RawRequest sent = lastRequest();
    EXPECT_EQ(sent.inSize, 16u);
    EXPECT_EQ(sent.outSize, 16u);
    EXPECT_EQ(sent.data()[0], 0x80);
    EXPECT_EQ(request->length, 2u) << "the reply lands in the caller's record";
    EXPECT_EQ(request->data[1], 0xBB);

    // A length beyond the record would let the driver read and write past it.
    const std::size_t before = driver_->requests().size();
    request->length = 1025;
    EXPECT_EQ(QL260DriverCommand(0, request.get()), 0u);
    EXPECT_EQ(driver_->requests().size(), before);
}

TEST_F(RequestTest, MisbehavingReplyFailsTheStream) {
    // A reply longer than the output size means the stream is out of step.
    handler_ = [](const RawRequest& r) { return driverReply(r.function(), 0, counting(r.outSize)); };
    unsigned char buffer[64] = {};
    QL260_ULONG length = 64;
    EXPECT_FALSE(QL260ReadData(0, buffer, &length));
    handler_ = nullptr;
    length = 64;
    EXPECT_FALSE(QL260ReadData(0, buffer, &length)) << "later requests on that stream fail";
}

}  // namespace
