#pragma once
// The calls the USB transfer makes: the device-access library's seven, and the further
// handles on the device path. Ql260DeviceAccess is the library; tests play the device.
#include <cstdint>
#include <string>

namespace fendal::transfer {

class UsbDeviceAccess {
public:
    static constexpr intptr_t kInvalidHandle = -1;

    virtual ~UsbDeviceAccess() = default;

    virtual bool openDevice(uint32_t index) = 0;
    // The device's path, or null when there is none (any more).
    virtual const char* deviceName(uint32_t index) = 0;
    // `length`: the count wanted in, the count done out.
    virtual bool writeData(uint32_t index, unsigned char* buffer, uint32_t& length) = 0;
    virtual bool readData(uint32_t index, unsigned char* buffer, uint32_t& length) = 0;
    virtual bool abortWrite(uint32_t index) = 0;
    virtual bool abortRead(uint32_t index) = 0;
    virtual void closeDevice(uint32_t index) = 0;

    // A further handle on a device path; kInvalidHandle when it cannot be opened.
    virtual intptr_t openPath(const std::string& path) = 0;
    virtual void closePath(intptr_t handle) = 0;
};

class Ql260DeviceAccess : public UsbDeviceAccess {
public:
    bool openDevice(uint32_t index) override;
    const char* deviceName(uint32_t index) override;
    bool writeData(uint32_t index, unsigned char* buffer, uint32_t& length) override;
    bool readData(uint32_t index, unsigned char* buffer, uint32_t& length) override;
    bool abortWrite(uint32_t index) override;
    bool abortRead(uint32_t index) override;
    void closeDevice(uint32_t index) override;
    intptr_t openPath(const std::string& path) override;
    void closePath(intptr_t handle) override;
};

}  // namespace fendal::transfer
