// QL260DLL on Windows without the chip's kernel-mode driver (Wine cannot load it): no device
// of the interface class is present, so enumeration finds none and every call fails cleanly,
// the way the library reports failures. The export table is checked from the loaded DLL too.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ql260.h"

namespace {

std::atomic<int> interrupts{0};
void QL260_CALL onInterrupt(unsigned char*) { ++interrupts; }

TEST(Ql260Win32, NoDeviceIsFoundAndOpeningFails) {
    for (QL260_ULONG index : {0u, 1u, 7u}) EXPECT_EQ(QL260GetDeviceName(index), nullptr) << index;
    EXPECT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    EXPECT_EQ(QL260GetVersion(), 1u);
}

TEST(Ql260Win32, EveryCallWithoutADeviceFailsAndSaysNothingWasDone) {
    ASSERT_EQ(QL260OpenDevice(0), QL260_INVALID_HANDLE);
    unsigned char buffer[64] = {};
    using Transfer = QL260_BOOL(QL260_CALL*)(QL260_ULONG, unsigned char*, QL260_ULONG*);
    for (Transfer call : {Transfer(QL260ReadData), Transfer(QL260ReadInter), Transfer(QL260WriteData),
                          Transfer(QL260WriteAuxData), Transfer(QL260GetDeviceDescr), Transfer(QL260GetConfigDescr)}) {
        QL260_ULONG length = 18;
        EXPECT_FALSE(call(0, buffer, &length));
        EXPECT_EQ(length, 0u);
    }
    using PipeCall = QL260_BOOL(QL260_CALL*)(QL260_ULONG);
    for (PipeCall call :
         {PipeCall(QL260AbortRead), PipeCall(QL260AbortWrite), PipeCall(QL260AbortInter), PipeCall(QL260ResetRead),
          PipeCall(QL260ResetWrite), PipeCall(QL260ResetInter), PipeCall(QL260ResetAux)})
        EXPECT_FALSE(call(0));
    DriverRequest request{};
    request.function = QL260_FUNC_READ_DATA;
    request.length = 64;
    EXPECT_EQ(QL260DriverCommand(0, &request), 0u);
    QL260CloseDevice(0);
    QL260CloseDevice(0);  // closing twice is harmless
}

// The interrupt thread cannot open the device; it ends by itself, and stopping returns.
TEST(Ql260Win32, InterruptRoutineWithoutADeviceEnds) {
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr));
    EXPECT_TRUE(QL260SetIntRoutine(0, onInterrupt));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto before = std::chrono::steady_clock::now();
    EXPECT_TRUE(QL260SetIntRoutine(0, nullptr));
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(interrupts.load(), 0);
    QL260CloseDevice(0);
}

TEST(Ql260Win32, LoadedLibraryFindsEachExportByNameAndOrdinal) {
    const char* names[] = {"QL260AbortInter",    "QL260AbortRead",      "QL260AbortWrite",     "QL260CloseDevice",
                           "QL260DriverCommand", "QL260GetConfigDescr", "QL260GetDeviceDescr", "QL260GetDeviceName",
                           "QL260GetVersion",    "QL260OpenDevice",     "QL260ReadData",       "QL260ReadInter",
                           "QL260ResetAux",      "QL260ResetInter",     "QL260ResetRead",      "QL260ResetWrite",
                           "QL260SetIntRoutine", "QL260WriteAuxData",   "QL260WriteData"};
    HMODULE library = LoadLibraryW(L"QL260DLL.dll");
    ASSERT_NE(library, nullptr);
    for (WORD ordinal = 1; ordinal <= 19; ++ordinal) {
        FARPROC byName = GetProcAddress(library, names[ordinal - 1]);
        ASSERT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(library, MAKEINTRESOURCEA(ordinal))) << ordinal;
    }
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(20)), nullptr);
    auto version = reinterpret_cast<QL260_ULONG(QL260_CALL*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "QL260GetVersion")));
    EXPECT_EQ(version(), 1u);
    FreeLibrary(library);
}

}  // namespace
