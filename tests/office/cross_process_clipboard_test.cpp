// A point copied in one running process is pasted in another, through a real X server's
// clipboard: the way two instances of the program exchange points.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/crack_file_io.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;

namespace {

bool onPath(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(CrossProcessClipboard, PointCopiedInOneInstancePastesInAnother) {
    if (!onPath("xvfb-run")) GTEST_SKIP() << "xvfb-run is needed for a real X server";
    const char* bin = std::getenv("FENDAL_BIN_DIR");
    ASSERT_TRUE(bin);

    TempFolder folder;
    CrackDataFile source = sampleFile(3, folder.file("a.fsy"));
    platform::text::setField(source.points[1].note, *platform::text::utf8ToGbk("跨进程复制的点"));
    CrackDataFile target = sampleFile(2, folder.file("b.fsy"), 10);
    ASSERT_TRUE(writeCrackFile(source));
    ASSERT_TRUE(writeCrackFile(target));

    // Both peers run against one X server; the copier keeps the selection until the paster is done.
    const std::string peer = std::string(bin) + "/office_clipboard_peer";
    std::ofstream(folder.file("run.sh"))
        << "export QT_QPA_PLATFORM=xcb\n"
        << "cd '" << folder.path().string() << "'\n"
        << "'" << peer << "' copy a.fsy 1 ready 2>copy.err & pid=$!\n"
        << "i=0; while [ ! -s ready ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done\n"
        << "if command -v xclip >/dev/null; then xclip -selection clipboard -t TARGETS -o >targets; fi\n"
        << "'" << peer << "' paste b.fsy 1 out.fsy 2>paste.err; rc=$?\n"
        << "kill $pid; wait $pid\n"
        << "exit $rc\n";
    // Searching for a free display from a number of our own keeps tests that start X servers
    // at the same moment from reaching for the same one.
    const std::string command = "xvfb-run -a -n " + std::to_string(100 + getpid() % 800) + " -s '-nolisten tcp' sh '" +
                                folder.file("run.sh") + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());

    EXPECT_EQ(readText(folder.file("ready")), "ok") << readText(folder.file("copy.err"));
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readText(folder.file("paste.err"));
    if (std::filesystem::exists(folder.file("targets"))) {
        EXPECT_NE(readText(folder.file("targets")).find("DEDORURU_COPY_PAST_DEPTH"), std::string::npos);
    }

    CrackDataFile pasted;
    ASSERT_TRUE(readCrackFile(folder.file("out.fsy"), pasted));
    ASSERT_EQ(pasted.pointCount(), 2);
    const MeasurePoint& p = pasted.points[1];
    const MeasurePoint& want = source.points[1];
    EXPECT_EQ(platform::text::fieldText(p.number), platform::text::fieldText(want.number));
    EXPECT_EQ(p.velocity, want.velocity);
    EXPECT_EQ(p.depth, want.depth);
    EXPECT_EQ(platform::text::fieldText(p.note), platform::text::fieldText(want.note));
    EXPECT_EQ(0, std::memcmp(&pasted.points[0], &target.points[0], sizeof p));  // the other point untouched
}

}  // namespace
