// Finding, naming, opening and closing instruments on the USB bus, and the choice between the
// libusb backend and the socket driver.
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "support/temp_folder.h"
#include "usblib/fake_socket_driver.h"
#include "usblib_libusb/libusb_fixture.h"

namespace {

using DeviceTest = LibusbTest;

EmulatedDeviceOptions at(int bus, const std::string& ports, int address, uint16_t product = 0x0260) {
    EmulatedDeviceOptions options;
    options.bus = bus;
    options.ports = ports;
    options.address = address;
    options.product = product;
    return options;
}

TEST_F(DeviceTest, ListedInstrumentsCountInBusAndPortOrder) {
    plug(at(2, "1", 2));
    plug(at(1, "7", 3));
    plug(at(1, "2", 4, 0x9999));  // not an instrument
    plug(at(1, "3", 5));
    plug(at(1, "1.4", 6));  // behind a hub on port 1
    EXPECT_STREQ(QL260GetDeviceName(0), "usb:1-1.4");
    EXPECT_STREQ(QL260GetDeviceName(1), "usb:1-3");
    EXPECT_STREQ(QL260GetDeviceName(2), "usb:1-7");
    EXPECT_STREQ(QL260GetDeviceName(3), "usb:2-1");
    EXPECT_EQ(QL260GetDeviceName(4), nullptr);
    EXPECT_EQ(QL260OpenDevice(4), QL260_INVALID_HANDLE);

    // The list is read at every call: a second id counts at once.
    ::setenv("QL260_USB_IDS", "1209:0260, 1209:9999", 1);
    EXPECT_STREQ(QL260GetDeviceName(1), "usb:1-2");
    EXPECT_STREQ(QL260GetDeviceName(4), "usb:2-1");
    ::setenv("QL260_USB_IDS", "", 1);
    EXPECT_EQ(QL260GetDeviceName(0), nullptr) << "no listed id, no instrument";
}

TEST_F(DeviceTest, IdsFromTheUsersListFile) {
    plug();
    ::unsetenv("QL260_USB_IDS");
    TempFolder home;
    const std::string config = home.path().string();
    std::filesystem::create_directories(config + "/fendal");
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::ofstream(config + "/fendal/ql260-devices") << "# the instrument\n1209:0260\n";
    EXPECT_STREQ(QL260GetDeviceName(0), "usb:1-3");
    std::ofstream(config + "/fendal/ql260-devices") << "1209:0261\n";
    EXPECT_EQ(QL260GetDeviceName(0), nullptr);
    ::unsetenv("XDG_CONFIG_HOME");
}

TEST_F(DeviceTest, OpenTakesTheInterfaceFromTheKernelDriverAndCloseGivesItBack) {
    EmulatedDeviceOptions options;
    options.kernelDriverBound = true;
    EmulatedUsbInstrument& device = plug(options);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    EXPECT_FALSE(device.kernelDriverBound());
    QL260CloseDevice(0);
    EXPECT_TRUE(device.kernelDriverBound());
    std::vector<UsbEvent::Kind> kinds;
    for (const UsbEvent& e : device.events()) kinds.push_back(e.kind);
    EXPECT_EQ(kinds,
              (std::vector<UsbEvent::Kind>{UsbEvent::Detach, UsbEvent::Claim, UsbEvent::Release, UsbEvent::Attach}));

    // Closed means closed: requests fail until the next open.
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    EXPECT_EQ(length, 0u);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    EXPECT_TRUE(writeBytes({0}));
}

TEST_F(DeviceTest, AnInstrumentGoneBeforeTheOpenIsNotOpened) {
    EmulatedUsbInstrument& device = plug();
    ASSERT_STREQ(QL260GetDeviceName(0), "usb:1-3");
    device.unplug();
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
}

TEST_F(DeviceTest, SocketDriverWhenItsFolderIsInUseElseLibusb) {
    plug();
    EXPECT_STREQ(QL260GetDeviceName(0), "usb:1-3");

    // A virtual instrument in the default folder wins without any setting.
    const std::string folder = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/ql260";
    std::filesystem::create_directories(folder);
    {
        FakeSocketDriver socket(folder, "ql260-0.sock",
                                [](const RawRequest& r) { return driverReply(r.function(), r.length()); });
        EXPECT_STREQ(QL260GetDeviceName(0), (folder + "/ql260-0.sock").c_str());
        ::setenv("QL260_DRIVER", "libusb", 1);
        EXPECT_STREQ(QL260GetDeviceName(0), "usb:1-3");
        ::setenv("QL260_DRIVER", "socket", 1);
        ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
        EXPECT_TRUE(writeBytes({1, 2})) << "the handle stays with the socket driver";
        QL260CloseDevice(0);
    }
    ::unsetenv("QL260_DRIVER");
    EXPECT_STREQ(QL260GetDeviceName(0), "usb:1-3") << "an empty folder does not count";

    // A folder named outright means the socket driver, even an empty one.
    ::setenv("QL260_DEVICE_DIR", folder.c_str(), 1);
    EXPECT_EQ(QL260GetDeviceName(0), nullptr);
    ::unsetenv("QL260_DEVICE_DIR");
    ::setenv("QL260_DRIVER", "usb", 1);
    EXPECT_EQ(QL260GetDeviceName(0), nullptr) << "an unknown backend finds nothing rather than guessing";
}

}  // namespace
