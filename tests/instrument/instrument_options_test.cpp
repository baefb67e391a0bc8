// The instrument's command line and where its points come from.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "instrument_options.h"
#include "point_source.h"

using namespace fendal;
using namespace fendal::data;

namespace {

using namespace instrument;

TEST(InstrumentOptions, DefaultsAndFullUsbLine) {
    ParseResult plain = parseOptions({"usb"});
    ASSERT_TRUE(plain.options);
    EXPECT_EQ(plain.options->name, "ql260-0");
    EXPECT_EQ(plain.options->points, 10);
    EXPECT_EQ(plain.options->faults.breakAfter, -1);

    ParseResult full = parseOptions({"usb", "--name", "dev", "--devices", "3", "--from", "a.fsy", "--break-after", "4",
                                     "--stall-after", "2", "--freeze-after", "5", "--fail-write", "--overcount", "9",
                                     "--once"});
    ASSERT_TRUE(full.options) << full.error;
    EXPECT_EQ(full.options->devices, 3);
    EXPECT_EQ(full.options->fromFile, "a.fsy");
    EXPECT_EQ(full.options->faults.breakAfter, 4);
    EXPECT_EQ(full.options->faults.stallAfter, 2);
    EXPECT_EQ(full.options->faults.freezeAfter, 5);
    EXPECT_TRUE(full.options->faults.failWrite);
    EXPECT_EQ(full.options->faults.overcount, 9);
    EXPECT_TRUE(full.options->once);

    ParseResult serial = parseOptions({"serial", "--device", "/dev/ttyS0", "--baud", "0", "--delay", "5"});
    ASSERT_TRUE(serial.options) << serial.error;
    EXPECT_EQ(serial.options->mode, Options::Mode::Serial);
    EXPECT_EQ(serial.options->baud, 0);
    EXPECT_EQ(serial.options->delayMs, 5);
}

TEST(InstrumentOptions, Refusals) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"tcp"},
                                               {"usb", "--points"},
                                               {"usb", "--points", "-1"},
                                               {"usb", "--points", "12x"},
                                               {"usb", "--points", "1", "--from", "a.tem"},
                                               {"usb", "--devices", "0"},
                                               {"usb", "--name", "a/b"},
                                               {"usb", "--baud", "2400"},
                                               {"serial", "--fail-write"},
                                               {"serial", "--once"},
                                               {"serial", "--freeze-after", "1"},
                                               {"usb", "extra"}}) {
        ParseResult result = parseOptions(args);
        EXPECT_FALSE(result.options) << (args.empty() ? "(none)" : args.back());
        EXPECT_FALSE(result.error.empty());
    }
}

// Counts are decimal and in range; each mode explains its own options.
TEST(InstrumentOptions, NumbersAndHelp) {
    ParseResult padded = parseOptions({"serial", "--points", "010", "--delay", "0"});
    ASSERT_TRUE(padded.options) << padded.error;
    EXPECT_EQ(padded.options->points, 10) << "not octal";
    ParseResult largest = parseOptions({"usb", "--points", "65535", "--devices", "64"});
    ASSERT_TRUE(largest.options) << largest.error;
    EXPECT_EQ(largest.options->points, 65535);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"usb", "--points", "65536"},
                                                                                      {"usb", "--points", "0x10"},
                                                                                      {"usb", "--points", "+3"},
                                                                                      {"usb", "--devices", "65"},
                                                                                      {"serial", "--baud", "4000001"},
                                                                                      {"serial", "--delay", "-5"},
                                                                                      {"usb", "--overcount", "65536"},
                                                                                      {"usb", "--bogus"},
                                                                                      {"serial", "--device"},
                                                                                      {"--points", "3"}}) {
        ParseResult result = parseOptions(args);
        EXPECT_FALSE(result.options) << args.back();
        EXPECT_FALSE(result.error.empty()) << args.back();
    }

    const std::string usb = parseOptions({"usb", "--help"}).help;
    const std::string serial = parseOptions({"serial", "--points", "3", "--help"}).help;
    const std::string modes = parseOptions({"--help"}).help;
    for (const char* option : {"--freeze-after", "--fail-write", "--once", "--name", "--devices", "--points", "--from"})
        EXPECT_NE(usb.find(option), std::string::npos) << option;
    for (const char* option : {"--device", "--baud", "--delay", "--break-after", "--overcount"})
        EXPECT_NE(serial.find(option), std::string::npos) << option;
    EXPECT_EQ(serial.find("\n  --once"), std::string::npos);
    EXPECT_NE(usb.find("\n  --once"), std::string::npos);
    EXPECT_NE(modes.find("usb"), std::string::npos);
    EXPECT_NE(modes.find("serial"), std::string::npos);
}

TEST(PointSource, PointNumbersBecomeTwoByteNumbers) {
    MeasurePoint point{};
    std::strcpy(point.number, "0042");
    point.velocity = 70000;
    point.depth = -5;
    ReceivedRecord record = recordFromPoint(point, 7);
    EXPECT_EQ(record.number, 42);
    EXPECT_EQ(record.velocity, 65535);
    EXPECT_EQ(record.depth, 0);
    std::strcpy(point.number, "A-3");
    EXPECT_EQ(recordFromPoint(point, 7).number, 7) << "no digits: the position stands in";
}

}  // namespace

#include <filesystem>

#include "data/crack_file_io.h"

namespace {

TEST(PointSource, CurrentPointsOfACrackDataFile) {
    CrackDataFile file;
    file.path = (std::filesystem::temp_directory_path() / ("instrument-points-" + std::to_string(::getpid()) + ".fsy"))
                    .string();
    MeasurePoint first{};
    std::strcpy(first.number, "0003");
    first.velocity = 4000;
    first.depth = 120;
    MeasurePoint second = first;
    std::strcpy(second.number, "0009");
    file.points = {first, second};
    file.receivedPoints = {first};
    ASSERT_TRUE(writeCrackFile(file));
    Options options;
    options.fromFile = file.path;
    std::string error;
    std::vector<ReceivedRecord> records = loadRecords(options, error);
    std::filesystem::remove(file.path);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].number, 9);
    EXPECT_EQ(records[1].velocity, 4000);
    EXPECT_EQ(records[1].depth, 120);
}

}  // namespace
