#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "platform/file_error.h"
#include "support/sample_points.h"
#include "support/scripted_doc_ui.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

// A hand-made file image: signature field, version, counts, then zero-filled records.
std::vector<unsigned char> fileImage(const char* signature, int16_t version, int32_t points, int32_t received,
                                     std::size_t records) {
    std::vector<unsigned char> b(kHeaderSize + records * kRecordSize, 0);
    std::memcpy(b.data(), signature, std::min<std::size_t>(15, std::strlen(signature)));
    std::memcpy(b.data() + 15, &version, 2);
    std::memcpy(b.data() + 17, &points, 4);
    std::memcpy(b.data() + 21, &received, 4);
    return b;
}

TEST(CrackFileIo, WriteThenReadGivesBackEveryByte) {
    TempFolder dir;
    CrackDataFile f = sampleFile(3, dir.file("a.fsy"));
    f.receivedPoints[1].velocity = -5;
    std::memset(f.points[2].reserve, 'r', 199);
    std::memset(f.remark, 'k', 199);
    ASSERT_TRUE(writeCrackFile(f));
    EXPECT_EQ(std::filesystem::file_size(f.path), 225u + 6 * 440u);

    auto bytes = TempFolder::readAll(f.path);
    EXPECT_EQ(0, std::memcmp(bytes.data(), "DEDORURU.FSY.\0\0\x01\x00\x03\0\0\0\x03\0\0\0", 25));
    // the current list is stored first
    EXPECT_EQ(0, std::memcmp(bytes.data() + 225, "0001", 4));

    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(f.path, back));
    ASSERT_EQ(back.pointCount(), 3);
    ASSERT_EQ(back.receivedCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(0, std::memcmp(&back.points[i], &f.points[i], sizeof(MeasurePoint)));
        EXPECT_EQ(0, std::memcmp(&back.receivedPoints[i], &f.receivedPoints[i], sizeof(MeasurePoint)));
    }
    EXPECT_EQ(0, std::memcmp(back.remark, f.remark, sizeof f.remark));
    EXPECT_EQ(back.path, f.path);
}

TEST(CrackFileIo, SignatureIsTrimmedButCaseSensitiveAndVersionMustBeOne) {
    TempFolder dir;
    struct Case {
        const char* signature;
        int16_t version;
        bool readsPoints;
    } cases[] = {
        {"DEDORURU.FSY.", 1, true},
        {" DEDORURU.FSY. ", 1, true},
        {"dedoruru.fsy.", 1, false},
        {"DEDORURU.FSY.", 2, false},
    };
    for (const auto& c : cases) {
        std::string p = dir.file("sig.fsy");
        TempFolder::writeAll(p, fileImage(c.signature, c.version, 1, 1, 2));
        CrackDataFile f;
        ASSERT_TRUE(readCrackFile(p, f));
        EXPECT_EQ(f.pointCount(), c.readsPoints ? 1 : 0) << c.signature << " v" << c.version;
        // a bad header still names the file
        EXPECT_EQ(f.path.empty(), false);
    }
}

TEST(CrackFileIo, CountsOutOfRangeReadAsEmpty) {
    TempFolder dir;
    std::string p = dir.file("c.fsy");
    for (int32_t bad : {-1, 100000}) {
        TempFolder::writeAll(p, fileImage("DEDORURU.FSY.", 1, bad, 1, 2));
        CrackDataFile f;
        ASSERT_TRUE(readCrackFile(p, f));
        EXPECT_EQ(f.pointCount(), 0);
        EXPECT_EQ(f.receivedCount(), 0);
        EXPECT_TRUE(f.path.empty());
    }
}

TEST(CrackFileIo, LargestCountIsRead) {
    TempFolder dir;
    std::string p = dir.file("big.fsy");
    TempFolder::writeAll(p, fileImage("DEDORURU.FSY.", 1, 99999, 1, 100000));
    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(p, f));
    EXPECT_EQ(f.pointCount(), 99999);
    EXPECT_EQ(f.receivedCount(), 1);
}

TEST(CrackFileIo, FileWithOnlyReceivedPointsCanStillBeRestored) {
    TempFolder dir;
    CrackDataFile f = sampleFile(2, dir.file("d.fsy"));
    f.points.clear();
    ASSERT_TRUE(writeCrackFile(f));
    CrackDataFile back;
    ASSERT_TRUE(readCrackFile(f.path, back));
    EXPECT_EQ(back.pointCount(), 0);
    EXPECT_EQ(back.receivedCount(), 2);
    EXPECT_EQ(back.path, f.path);
}

TEST(CrackFileIo, ShortFileLeavesMissingRecordsEmptyAndTextsTerminated) {
    TempFolder dir;
    std::string p = dir.file("short.fsy");
    auto image = fileImage("DEDORURU.FSY.", 1, 2, 1, 1);
    std::memset(image.data() + 225, 'x', 440);  // no NUL anywhere in the first record
    TempFolder::writeAll(p, image);
    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(p, f));
    ASSERT_EQ(f.pointCount(), 2);
    EXPECT_EQ(std::strlen(f.points[0].number), 31u);
    EXPECT_EQ(std::strlen(f.points[0].note), 199u);
    EXPECT_EQ(f.points[1].velocity, 0);
    EXPECT_EQ(f.receivedPoints[0].number[0], '\0');
}

TEST(CrackFileIo, UnopenableFileIsReported) {
    CrackDataFile f;
    EXPECT_FALSE(readCrackFile("/nonexistent/x.fsy", f));
    EXPECT_TRUE(f.path.empty());
}

TEST(CrackFileIo, FailedWriteLeavesTheOldFileWholeAndSaysWhy) {
    TempFolder dir;
    CrackDataFile f = sampleFile(2, dir.file("keep.fsy"));
    ASSERT_TRUE(writeCrackFile(f));
    auto before = TempFolder::readAll(f.path);

    // A list the program could not read back is never written.
    f.points.assign(kMaxFileCount + 1, samplePoint(1));
    std::error_code why;
    EXPECT_FALSE(writeCrackFile(f, &why));
    EXPECT_EQ(why, std::errc::file_too_large);
    EXPECT_EQ(TempFolder::readAll(f.path), before);
    f.points.resize(kMaxFileCount);
    EXPECT_TRUE(writeCrackFile(f, &why)) << why.message();

    CrackDataFile lost = sampleFile(1, dir.file("no-such-folder/x.fsy"));
    EXPECT_FALSE(writeCrackFile(lost, &why));
    EXPECT_EQ(why, std::errc::no_such_file_or_directory);
}

// A FIFO would block a plain open for ever; a folder is no file without points.
TEST(CrackFileIo, OnlyRegularFilesAreRead) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo.fsy").c_str(), 0600), 0);
    std::error_code why;
    CrackDataFile f;
    EXPECT_FALSE(readCrackFile(dir.file("fifo.fsy"), f, &why));
    EXPECT_EQ(why, platform::FileError::notRegularFile);
    EXPECT_FALSE(readCrackFile(dir.path().string(), f, &why));
    EXPECT_EQ(why, std::errc::is_a_directory);
    EXPECT_TRUE(f.path.empty());
}

// A header alone that claims the most points of both lists still reads with its counts.
TEST(CrackFileIo, ShortFileClaimingTheMostPointsKeepsItsCounts) {
    TempFolder dir;
    std::string p = dir.file("claims.fsy");
    TempFolder::writeAll(p, fileImage("DEDORURU.FSY.", 1, kMaxFileCount, kMaxFileCount, 0));
    CrackDataFile f;
    ASSERT_TRUE(readCrackFile(p, f));
    EXPECT_EQ(f.pointCount(), kMaxFileCount);
    EXPECT_EQ(f.receivedCount(), kMaxFileCount);
    EXPECT_EQ(f.points.back().number[0], '\0');
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// With little memory such a file is an open failure with its reason, not an abort.
TEST(CrackFileIo, RunningOutOfMemoryIsAnOpenFailure) {
    TempFolder dir;
    std::string p = dir.file("claims.fsy");
    TempFolder::writeAll(p, fileImage("DEDORURU.FSY.", 1, kMaxFileCount, kMaxFileCount, 0));
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Room for the program, not for 90 MB of points.
        struct rlimit limit {};
        ::getrlimit(RLIMIT_AS, &limit);
        std::ifstream status("/proc/self/statm");
        std::size_t pages = 0;
        status >> pages;
        limit.rlim_cur = pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)) + (48u << 20);
        ::setrlimit(RLIMIT_AS, &limit);
        CrackDataFile f;
        std::error_code why;
        const bool read = readCrackFile(p, f, &why);
        if (read || why != std::errc::not_enough_memory || f.pointCount() != 0) ::_exit(1);
        // The document says so instead of keeping silent as for a missing file.
        ScriptedDocUi ui;
        CFendalDoc doc(ui);
        const bool opened = doc.readSingleFile(p);
        ::_exit(!opened && ui.shown.size() == 1 && ui.shown[0].text.find("无法打开") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status)) << "the reader aborted";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
