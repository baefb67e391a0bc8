// The Windows backends of the platform layer: the temporary folder, GBK through code page 936,
// and paths that reach the system as UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_path.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/temp_dir.h"
#include "platform/text.h"
#include "platform/utf16_win32.h"

using namespace fendal;

namespace {

// Sets TMP for one test and puts the old value back.
class TmpVariable {
public:
    explicit TmpVariable(const std::wstring& value) {
        wchar_t old[MAX_PATH + 1];
        const DWORD n = GetEnvironmentVariableW(L"TMP", old, MAX_PATH + 1);
        had_ = n > 0 && n <= MAX_PATH;
        if (had_) old_.assign(old, n);
        SetEnvironmentVariableW(L"TMP", value.c_str());
    }
    ~TmpVariable() { SetEnvironmentVariableW(L"TMP", had_ ? old_.c_str() : nullptr); }

private:
    bool had_ = false;
    std::wstring old_;
};

std::wstring runtimeFolder() {
    std::string dir = platform::tempDir();
    return platform::toUtf16(dir);
}

TEST(TempDirWin32, IsTheSystemsTemporaryFolderWithItsSeparator) {
    const std::string dir = platform::tempDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(platform::pathSeparator(), '\\');
    wchar_t system[MAX_PATH + 1];
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, system), 0u);
    EXPECT_EQ(platform::toUtf16(dir), system);
    EXPECT_EQ(platform::fileNamePart(dir + "QDR_TemDataFile.tem"), "QDR_TemDataFile.tem");
}

TEST(TempDirWin32, NonAsciiFolderIsMadeAndComesBackAsUtf8) {
    const std::wstring base = runtimeFolder();
    const std::wstring folder = base + L"\u6d4b\u6df1 \u6570\u636e";  // 测深 数据
    TmpVariable tmp(folder);
    const std::string dir = platform::tempDir();
    EXPECT_EQ(dir, platform::fromUtf16(base) + "测深 数据\\");
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    // A file named in UTF-8 there carries the same name for the system.
    std::error_code error;
    ASSERT_TRUE(platform::writeFileSafely(dir + "裂缝.fsy", std::vector<unsigned char>{'x'}, error)) << error.message();
    EXPECT_NE(GetFileAttributesW((folder + L"\\\u88c2\u7f1d.fsy").c_str()), INVALID_FILE_ATTRIBUTES);
    platform::UniqueFile in = platform::openRegularFile(dir + "裂缝.fsy", error);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(std::fgetc(in.get()), 'x');
    EXPECT_TRUE(std::filesystem::exists(platform::filePath(dir + "裂缝.fsy")));
    EXPECT_EQ(platform::filePath(dir + "裂缝.fsy").filename().string(), "裂缝.fsy");
}

TEST(TempDirWin32, AFileInTheFoldersPlaceGivesNoFolder) {
    const std::wstring file = runtimeFolder() + L"not-a-folder";
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    TmpVariable tmp(file);
    EXPECT_EQ(platform::tempDir(), "");
}

// Every two-byte character of code page 936 converts to UTF-8 and back to the same bytes; what
// is not a character is one replacement character per byte, and the rest of the text survives.
TEST(TextWin32, CodePage936BothWays) {
    const std::string replacement = "\xEF\xBF\xBD";
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const std::string gbk{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = platform::text::gbkToUtf8(gbk);
            if (utf8.find(replacement) != std::string::npos) continue;
            ++characters;
            const auto back = platform::text::utf8ToGbk(utf8);
            ASSERT_TRUE(back) << std::hex << lead << ' ' << trail;
            ASSERT_EQ(*back, gbk) << std::hex << lead << ' ' << trail;
        }
    }
    EXPECT_GT(characters, 21000);  // GBK holds 21886 characters

    EXPECT_EQ(platform::text::gbkToUtf8("\xC1\xD1\xB7\xEC"), "裂缝");
    EXPECT_EQ(platform::text::gbkToUtf8("a\xFF"
                                        "b"),
              "a" + replacement + "b");
    EXPECT_EQ(platform::text::gbkToUtf8("\x81\x30z"), replacement + "0z");  // a lead byte without its trail
    EXPECT_EQ(platform::text::gbkToUtf8("end\xC1"), "end" + replacement);
    EXPECT_EQ(platform::text::gbkToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(platform::text::gbkToUtf8Exact("\xC1\xD1 A1"), "裂 A1");
    EXPECT_FALSE(
        platform::text::gbkToUtf8Exact("a\xFF"
                                       "b"));
    EXPECT_FALSE(platform::text::gbkToUtf8Exact("end\xC1"));

    EXPECT_EQ(platform::text::utf8ToGbk(""), std::string());
    EXPECT_FALSE(platform::text::utf8ToGbk("한국어"));        // Hangul has no place in GBK
    EXPECT_FALSE(platform::text::utf8ToGbk("\xC3\x28"));      // not UTF-8
    EXPECT_FALSE(platform::text::utf8ToGbk("\xED\xA0\x80"));  // a lone surrogate
    // No look-alike stands in for a missing character (best fit would turn ą into a).
    EXPECT_FALSE(platform::text::utf8ToGbk("\xC4\x85"));
    if (auto euro = platform::text::utf8ToGbk("€")) {
        EXPECT_EQ(platform::text::gbkToUtf8(*euro), "€");
    }
}

}  // namespace
