// Windows backend: the chip's kernel-mode driver, found through the device installation services
// by the library's interface class and reached with DeviceIoControl.
#include <windows.h>
#include <setupapi.h>

#include <cctype>
#include <cstring>
#include <mutex>
#include <set>

#include "usblib/driver.h"

namespace ql260 {
namespace {

// {5E7F6BDF-1CE5-4D78-BBCF-D20C44329F7D}
const GUID kInterfaceClass = {0x5e7f6bdf, 0x1ce5, 0x4d78, {0xbb, 0xcf, 0xd2, 0x0c, 0x44, 0x32, 0x9f, 0x7d}};

constexpr DWORD kDetailBufferSize = 1020;

class Win32Driver final : public Driver {
public:
    std::optional<std::string> devicePath(uint32_t index) override {
        HDEVINFO set = SetupDiGetClassDevsA(&kInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == INVALID_HANDLE_VALUE) return std::nullopt;
        std::optional<std::string> path;
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof(data);
        if (SetupDiEnumDeviceInterfaces(set, nullptr, &kInterfaceClass, index, &data)) {
            // DWORD-aligned storage for the detail record; its size field names the fixed part.
            DWORD storage[kDetailBufferSize / sizeof(DWORD)] = {};
            auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(storage);
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, kDetailBufferSize, nullptr, nullptr)) {
                const std::size_t maxLength = kDetailBufferSize -
                                              offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
                std::size_t length = strnlen(detail->DevicePath, maxLength);
                // A path that does not fit dllDeviceName counts as no device.
                if (length < QL260_DEVICE_NAME_SIZE) path.emplace(detail->DevicePath, length);
            }
        }
        DWORD error = GetLastError();
        SetupDiDestroyDeviceInfoList(set);
        SetLastError(error);
        return path;
    }

    // In the user's temporary folder, named after the interface path ('\\', '?' and '#' made '_').
    // The lock takes UTF-8 paths: the folder is asked for in UTF-16, as a user's folder may
    // have a name outside the ANSI code page.
    std::optional<std::string> lockFile(const std::string& path) override {
        wchar_t folder[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
        if (length == 0 || length > MAX_PATH) return std::nullopt;
        const int size = WideCharToMultiByte(CP_UTF8, 0, folder, static_cast<int>(length), nullptr, 0, nullptr,
                                             nullptr);
        std::string name(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, folder, static_cast<int>(length), name.data(), size, nullptr, nullptr);
        name += "ql260-";
        for (char c : path) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name + ".lock";
    }

    QL260_HANDLE open(const std::string& path, bool overlapped) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, overlapped ? FILE_FLAG_OVERLAPPED : FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
        if (handle != INVALID_HANDLE_VALUE && overlapped) {
            std::lock_guard guard(lock_);
            overlappedHandles_.insert(handle);
        }
        return handle;
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                   uint32_t& bytesReturned) override {
        bytesReturned = 0;
        // INVALID_HANDLE_VALUE is also the process's own pseudo-handle: never send it anything.
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        DWORD returned = 0;
        BOOL ok;
        if (!isOverlapped(handle)) {
            ok = DeviceIoControl(handle, controlCode, buffer, inSize, buffer, outSize, &returned, nullptr);
        } else {
            OVERLAPPED request{};
            request.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            if (!request.hEvent) return false;
            ok = DeviceIoControl(handle, controlCode, buffer, inSize, buffer, outSize, &returned, &request);
            if (!ok && GetLastError() == ERROR_IO_PENDING) ok = GetOverlappedResult(handle, &request, &returned, TRUE);
            DWORD error = GetLastError();
            CloseHandle(request.hEvent);
            SetLastError(error);
        }
        bytesReturned = returned;
        return ok != FALSE;
    }

    bool close(QL260_HANDLE handle) override {
        {
            std::lock_guard guard(lock_);
            overlappedHandles_.erase(handle);
        }
        return CloseHandle(handle) != FALSE;
    }

private:
    bool isOverlapped(HANDLE handle) {
        std::lock_guard guard(lock_);
        return overlappedHandles_.count(handle) != 0;
    }

    std::mutex lock_;
    std::set<HANDLE> overlappedHandles_;
};

}  // namespace

Driver& systemDriver() {
    // Never destroyed: a detached interrupt thread may still use it while the process exits.
    static Win32Driver* instance = new Win32Driver;
    return *instance;
}

void raiseCurrentThreadToTimeCritical() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL); }

}  // namespace ql260
