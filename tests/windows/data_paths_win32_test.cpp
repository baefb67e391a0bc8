// Crack data and received-data files under names outside the ANSI code page: the program
// holds paths in UTF-8 and the system must see the same names in UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/utf16_win32.h"

using namespace fendal;
using namespace fendal::data;

namespace {

TEST(DataPathsWin32, CrackFileSavedAndReadUnderAChineseName) {
    const std::string folder = platform::tempDir() + "裂缝 数据";
    ASSERT_TRUE(CreateDirectoryW(platform::toUtf16(folder).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    CrackDataFile file;
    file.path = folder + "\\测点 1.fsy";
    MeasurePoint point{};
    std::strcpy(point.number, "A1");
    point.velocity = 4100;
    file.points = {point, point};
    file.receivedPoints = {point};
    ASSERT_TRUE(platform::canWriteFile(file.path));
    ASSERT_TRUE(writeCrackFile(file));
    EXPECT_NE(GetFileAttributesW((platform::toUtf16(folder) + L"\\\u6d4b\u70b9 1.fsy").c_str()),
              INVALID_FILE_ATTRIBUTES);

    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(file.path, back));
    EXPECT_EQ(back.path, file.path);  // the full path, in UTF-8
    EXPECT_EQ(back.pointCount(), 2);
    EXPECT_EQ(back.points[1].velocity, 4100);
    // Saving again replaces the file (the rename over an existing target).
    back.points.pop_back();
    ASSERT_TRUE(writeCrackFile(back));
    CrackDataFile again;
    ASSERT_TRUE(readCrackFile(file.path, again));
    EXPECT_EQ(again.pointCount(), 1);
}

TEST(DataPathsWin32, ReceivedDataInATemporaryFolderWithAChineseName) {
    const std::wstring folder = platform::toUtf16(platform::tempDir()) + L"\u4e34\u65f6";  // 临时
    wchar_t old[MAX_PATH + 1];
    const DWORD n = GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1);
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    const std::string path = receivedDataPath();
    EXPECT_EQ(platform::fileNamePart(path), "QDR_TemDataFile.tem");
    ASSERT_TRUE(writeReceivedDataFile(path, {demoRecord(0), demoRecord(1), demoRecord(2)}));
    const ReceivedData data = readReceivedDataFile(path);
    EXPECT_TRUE(data.complete());
    EXPECT_EQ(data.points.size(), 3u);
    EXPECT_NE(GetFileAttributesW((folder + L"\\QDR_TemDataFile.tem").c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableW(L"TMP", n > 0 && n <= MAX_PATH ? old : nullptr);
}

}  // namespace
