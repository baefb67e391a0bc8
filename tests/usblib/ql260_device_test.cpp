// Finding, naming, opening and closing devices of the socket driver.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/file_lock.h"
#include "usblib/fake_socket_driver.h"
#include "usblib/ql260.h"
#include "usblib/socket_protocol.h"

using namespace fendal;

namespace {

FakeReply acceptAll(const RawRequest& request) { return driverReply(request.function(), request.length()); }

TEST(Ql260Device, EnumeratesSocketsInByteOrder) {
    const std::string folder = freshDeviceFolder("order");
    // Upper case sorts before lower case, digits before both; other files do not count.
    FakeSocketDriver b(folder, "b.sock", acceptAll);
    FakeSocketDriver a(folder, "B.sock", acceptAll);
    FakeSocketDriver c(folder, "9.sock", acceptAll);
    std::ofstream(folder + "/readme.txt") << "not a device";
    std::ofstream(folder + "/.sock") << "no name";

    EXPECT_STREQ(QL260GetDeviceName(0), (folder + "/9.sock").c_str());
    EXPECT_STREQ(QL260GetDeviceName(1), (folder + "/B.sock").c_str());
    EXPECT_STREQ(QL260GetDeviceName(2), (folder + "/b.sock").c_str());
    EXPECT_EQ(QL260GetDeviceName(3), nullptr);
    EXPECT_EQ(QL260OpenDevice(3), QL260_INVALID_HANDLE);
}

TEST(Ql260Device, NameIsKeptByTheLibraryUntilTheNextCall) {
    const std::string folder = freshDeviceFolder("name");
    FakeSocketDriver device(folder, "x.sock", acceptAll);
    const char* first = QL260GetDeviceName(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QL260GetDeviceName(0), first);
    EXPECT_EQ(QL260GetDeviceName(7), nullptr);
    EXPECT_STREQ(first, (folder + "/x.sock").c_str()) << "a failed call leaves the last name";
}

TEST(Ql260Device, PathsLongerThan127BytesAreSkipped) {
    const std::string folder = freshDeviceFolder("long");
    const std::string longName = std::string(128 - folder.size(), 'a') + ".sock";
    std::ofstream(folder + "/" + longName) << "";
    FakeSocketDriver device(folder, "z.sock", acceptAll);
    EXPECT_STREQ(QL260GetDeviceName(0), (folder + "/z.sock").c_str());
    EXPECT_EQ(QL260GetDeviceName(1), nullptr);
}

TEST(Ql260Device, NoFolderMeansNoDevice) {
    ::setenv("QL260_DEVICE_DIR", "/nonexistent/ql260-test", 1);
    EXPECT_EQ(QL260GetDeviceName(0), nullptr);
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    QL260CloseDevice(0);
}

TEST(Ql260Device, SocketThatNobodyServesFailsToOpen) {
    const std::string folder = freshDeviceFolder("dead");
    { FakeSocketDriver device(folder, "gone.sock", acceptAll); }
    std::ofstream(folder + "/gone.sock") << "";
    ASSERT_NE(QL260GetDeviceName(0), nullptr);
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
}

TEST(Ql260Device, CloseEndsTheDeviceForLaterCalls) {
    const std::string folder = freshDeviceFolder("close");
    FakeSocketDriver device(folder, "d.sock", acceptAll);
    QL260_HANDLE handle = QL260OpenDevice(0);
    ASSERT_NE(handle, QL260_INVALID_HANDLE);
    unsigned char byte = 0;
    QL260_ULONG length = 1;
    EXPECT_TRUE(QL260WriteData(0, &byte, &length));
    QL260CloseDevice(0);
    length = 1;
    EXPECT_FALSE(QL260WriteData(0, &byte, &length));
    EXPECT_EQ(length, 0u);
    QL260CloseDevice(0);  // a second close does no harm

    // Opening again gives a working device with a new handle.
    QL260_HANDLE again = QL260OpenDevice(0);
    ASSERT_NE(again, QL260_INVALID_HANDLE);
    EXPECT_NE(again, handle);
    length = 1;
    EXPECT_TRUE(QL260WriteData(0, &byte, &length));
    QL260CloseDevice(0);
}

TEST(Ql260Device, OpeningAgainClosesTheEarlierDevice) {
    const std::string folder = freshDeviceFolder("reopen");
    FakeSocketDriver device(folder, "d.sock", acceptAll);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    // Two streams per open device; the first device's pair goes away.
    for (int i = 0; i < 200 && device.openStreams() != 2; ++i) usleep(10000);
    EXPECT_EQ(device.openStreams(), 2);
    QL260CloseDevice(0);
    for (int i = 0; i < 200 && device.openStreams() != 0; ++i) usleep(10000);
    EXPECT_EQ(device.openStreams(), 0);
}

// One process at a time: while another holds the device, the open fails before any stream is
// made; the library holds the device while it is open and gives it back on close.
TEST(Ql260Device, DeviceInUseElsewhereCannotBeOpened) {
    const std::string folder = freshDeviceFolder("inuse");
    FakeSocketDriver device(folder, "d.sock", acceptAll);
    const std::string lockFile = device.path() + ".lock";
    platform::FileLock other;
    ASSERT_EQ(other.lock(lockFile), platform::FileLock::Result::Locked);
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    usleep(50000);
    EXPECT_EQ(device.openStreams(), 0);
    other.unlock();

    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    EXPECT_EQ(other.lock(lockFile), platform::FileLock::Result::Busy);
    ASSERT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE) << "opening it again here closes it first";
    QL260CloseDevice(0);
    EXPECT_EQ(other.lock(lockFile), platform::FileLock::Result::Locked);
}

// A device that has stopped accepting new streams fills its queue; the open then fails
// instead of waiting for ever.
TEST(Ql260Device, DeviceThatStoppedAcceptingFailsToOpen) {
    const std::string folder = freshDeviceFolder("full");
    const std::string path = folder + "/d.sock";
    const int listener = ql260sock::listenDevice(path, 0);
    ASSERT_GE(listener, 0);
    std::vector<int> queued;
    for (int i = 0; i < 64; ++i) {
        const int fd = ql260sock::connectDevice(path, std::chrono::milliseconds(0));
        if (fd < 0) break;
        queued.push_back(fd);
    }
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    for (int fd : queued) ::close(fd);
    ::close(listener);
}

TEST(Ql260Device, VersionIsOne) { EXPECT_EQ(QL260GetVersion(), 1u); }

}  // namespace
