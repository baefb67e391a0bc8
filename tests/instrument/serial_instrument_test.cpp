// The serial instrument over a pseudo-terminal, as a separate process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "data/received_data.h"
#include "serial_instrument.h"
#include "usblib/instrument_process.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using Bytes = std::vector<unsigned char>;

// Reads from the line until it ends or stays silent for `quietMs`.
Bytes readLine(int fd, int quietMs, bool* ended = nullptr) {
    Bytes bytes;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0) break;
        unsigned char buffer[256];
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            if (ended) *ended = true;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
}

Bytes expectedStream(int count, int announced) {
    Bytes bytes = {0x55, 0x55, 0x55, static_cast<unsigned char>(announced >> 8), static_cast<unsigned char>(announced)};
    for (int i = 0; i < count; ++i) {
        unsigned char raw[6];
        encodeReceivedRecord(demoRecord(i), raw);
        bytes.insert(bytes.end(), raw, raw + 6);
    }
    return bytes;
}

TEST(SerialInstrument, StreamLayoutAndFaultPositions) {
    std::vector<ReceivedRecord> records = {demoRecord(0), demoRecord(1), demoRecord(2)};
    instrument::SerialStream plain = instrument::serialStream(records, {});
    EXPECT_EQ(plain.bytes, expectedStream(3, 3));
    EXPECT_EQ(plain.stopAt, plain.bytes.size());
    EXPECT_EQ(instrument::serialStream(records, {.breakAfter = 1}).stopAt, 5u + 6);
    EXPECT_EQ(instrument::serialStream(records, {.stallAfter = 0}).stopAt, 5u);
    EXPECT_EQ(instrument::serialStream(records, {.overcount = 4}).bytes[4], 7);
}

TEST(SerialInstrument, SendsOnceTheLineIsOpenAndEndsWhenRead) {
    InstrumentProcess instrument({"serial", "--points", "12", "--baud", "0", "--delay", "0"});
    ASSERT_TRUE(instrument.ready());
    int fd = open(instrument.readyPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    Bytes got = readLine(fd, 1000);
    EXPECT_EQ(got, expectedStream(12, 12));
    EXPECT_EQ(instrument.exitStatus(), 0) << "everything read: the instrument is done";
    close(fd);
}

TEST(SerialInstrument, PacedAtTheBaudRate) {
    InstrumentProcess instrument({"serial", "--points", "3", "--baud", "9600", "--delay", "10"});
    ASSERT_TRUE(instrument.ready());
    int fd = open(instrument.readyPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(readLine(fd, 1000), expectedStream(3, 3));
    close(fd);
    EXPECT_EQ(instrument.exitStatus(), 0);
}

TEST(SerialInstrument, BreakClosesTheLineAfterKRecords) {
    InstrumentProcess instrument(
        {"serial", "--points", "12", "--baud", "0", "--delay", "0", "--break-after", "2", "--overcount", "1"});
    ASSERT_TRUE(instrument.ready());
    int fd = open(instrument.readyPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    bool ended = false;
    Bytes got = readLine(fd, 3000, &ended);
    Bytes expected = expectedStream(2, 13);
    EXPECT_EQ(got, expected);
    EXPECT_TRUE(ended) << "the line hangs up";
    EXPECT_EQ(instrument.exitStatus(), 0);
    close(fd);
}

TEST(SerialInstrument, StallKeepsTheLineOpenUntilEnded) {
    InstrumentProcess instrument({"serial", "--points", "12", "--baud", "0", "--delay", "0", "--stall-after", "1"});
    ASSERT_TRUE(instrument.ready());
    int fd = open(instrument.readyPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    bool ended = false;
    EXPECT_EQ(readLine(fd, 300, &ended), expectedStream(1, 12));
    EXPECT_FALSE(ended);
    instrument.terminate();
    EXPECT_EQ(instrument.exitStatus(), 0);
    close(fd);
}

TEST(SerialInstrument, EndedBeforeTheLineOpens) {
    InstrumentProcess instrument({"serial"});
    ASSERT_TRUE(instrument.ready());
    instrument.terminate();
    EXPECT_EQ(instrument.exitStatus(), 0);
}

}  // namespace
