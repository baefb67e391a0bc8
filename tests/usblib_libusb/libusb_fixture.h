#pragma once
// A test with its own emulated USB bus and libql260 set to find the emulated instrument's id.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "usblib/ql260.h"
#include "usblib_libusb/emulated_usb_instrument.h"

using Bytes = std::vector<unsigned char>;

class LibusbTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("QL260_DEVICE_DIR");
        ::unsetenv("QL260_DRIVER");
        ::setenv("QL260_USB_IDS", "1209:0260", 1);
    }
    void TearDown() override {
        QL260SetIntRoutine(0, nullptr);
        QL260CloseDevice(0);
    }

    EmulatedUsbInstrument& plug(EmulatedDeviceOptions options = {}) {
        devices_.push_back(std::make_unique<EmulatedUsbInstrument>(bus_, options));
        return *devices_.back();
    }
    // Plugs an instrument and opens it as the process's device.
    EmulatedUsbInstrument& plugAndOpen(EmulatedDeviceOptions options = {}) {
        EmulatedUsbInstrument& device = plug(options);
        EXPECT_NE(QL260OpenDevice(0), QL260_INVALID_HANDLE);
        return device;
    }

    EmulatedUsbBus bus_;
    std::vector<std::unique_ptr<EmulatedUsbInstrument>> devices_;
};

inline bool writeBytes(Bytes bytes) {
    QL260_ULONG length = static_cast<QL260_ULONG>(bytes.size());
    return QL260WriteData(0, bytes.data(), &length) && length == bytes.size();
}

// What a read of `wanted` bytes returned; empty when it failed.
struct ReadResult {
    bool ok = false;
    Bytes bytes;
};
inline ReadResult readBytes(QL260_ULONG wanted) {
    ReadResult result;
    unsigned char buffer[QL260_MAX_DATA] = {};
    QL260_ULONG length = wanted;
    result.ok = QL260ReadData(0, buffer, &length);
    result.bytes.assign(buffer, buffer + length);
    return result;
}
