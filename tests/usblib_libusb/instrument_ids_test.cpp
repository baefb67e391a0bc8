// The list of instrument ids: its entries, and where it comes from.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"
#include "usblib/driver_libusb_ids.h"

namespace {

using ql260::InstrumentId;
using ql260::parseInstrumentId;
using ql260::parseInstrumentList;

TEST(InstrumentIds, EntriesWithAndWithoutEndpoints) {
    std::optional<InstrumentId> plain = parseInstrumentId("  1209:0260 ");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->vendor, 0x1209);
    EXPECT_EQ(plain->product, 0x0260);
    EXPECT_EQ(plain->endpoints.read, 0);

    std::optional<InstrumentId> full = parseInstrumentId("abcd:1 read=0x86 write=3\taux=0x05 interrupt=131");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->vendor, 0xABCD);
    EXPECT_EQ(full->product, 0x0001);
    EXPECT_EQ(full->endpoints.read, 0x86);
    EXPECT_EQ(full->endpoints.write, 0x03);
    EXPECT_EQ(full->endpoints.aux, 0x05);
    EXPECT_EQ(full->endpoints.interrupt, 0x83);

    // Each of these would send transfers somewhere the user did not mean.
    for (const char* bad : {"1209", "1209:", ":0260", "12090:0260", "1209:0260x", "g209:0260", "-1:2",
                            "1209:0260 read=0x02",   // a read pipe needs an IN endpoint
                            "1209:0260 write=0x82",  // a write pipe an OUT one
                            "1209:0260 read=0x80",   // endpoint 0 is the control pipe
                            "1209:0260 read=0x190",  // no such address
                            "1209:0260 read=",       //
                            "1209:0260 speed=0x81",  // no such pipe
                            "1209:0260 read 0x82"})
        EXPECT_FALSE(parseInstrumentId(bad)) << bad;
}

TEST(InstrumentIds, ListsSkipCommentsBlanksAndBadEntriesAndKeepTheFirstOfAnId) {
    const std::vector<InstrumentId> list = parseInstrumentList(
        "# instruments of the lab\n"
        "\n"
        "1209:0260 read=0x82   # the old one\r\n"
        "nonsense\n"
        "1209:0260 read=0x84\n"
        "04b4:8613",
        '\n');
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].endpoints.read, 0x82);
    EXPECT_EQ(list[1].vendor, 0x04B4);
    EXPECT_EQ(parseInstrumentList("1209:0260,,04b4:8613, ", ',').size(), 2u);
}

TEST(InstrumentIds, TheVariableReplacesTheFilesAndTheUsersEntryWins) {
    TempFolder home;
    const std::string folder = home.file("fendal");
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/ql260-devices") << "1209:0260 read=0x84\n";
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    ::setenv("QL260_USB_IDS", "1209:0261", 1);
    std::vector<InstrumentId> list = ql260::configuredInstruments();
    ASSERT_FALSE(list.empty());
    EXPECT_EQ(list[0].product, 0x0261);
    EXPECT_FALSE(ql260::findInstrument(list, 0x1209, 0x0260));

    ::unsetenv("QL260_USB_IDS");
    list = ql260::configuredInstruments();
    const InstrumentId* id = ql260::findInstrument(list, 0x1209, 0x0260);
    ASSERT_TRUE(id);
    EXPECT_EQ(id->endpoints.read, 0x84);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(InstrumentIds, AListFileThatIsNoRegularFileIsPassedOverWithoutWaiting) {
    TempFolder home;
    const std::string folder = home.file("fendal");
    std::filesystem::create_directories(folder);
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    ::unsetenv("QL260_USB_IDS");
    // A FIFO nobody writes to would block a plain open for ever.
    ASSERT_EQ(::mkfifo((folder + "/ql260-devices").c_str(), 0600), 0);
    EXPECT_FALSE(ql260::findInstrument(ql260::configuredInstruments(), 0x1209, 0x0260));
    std::filesystem::remove(folder + "/ql260-devices");
    std::filesystem::create_directory(folder + "/ql260-devices");
    EXPECT_FALSE(ql260::findInstrument(ql260::configuredInstruments(), 0x1209, 0x0260));
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
