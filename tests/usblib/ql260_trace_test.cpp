// FENDAL_TRACE=usb: a transfer by fendal-cli against the virtual instrument logs every driver
// request on standard error, and without the variable it logs none.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "usblib/fake_socket_driver.h"
#include "usblib/instrument_process.h"

namespace {

struct CliRun {
    int code = -1;
    std::vector<std::string> usbLines;  // standard error lines of the USB trace
    std::string errors;                 // the whole of standard error
};

// A USB transfer by fendal-cli with `environment` in front of it (through env(1), so that a
// FENDAL_TRACE of the test's own environment does not count).
CliRun transfer(const std::string& folder, const std::string& environment) {
    const std::string errorsFile = folder + "/stderr.txt";
    const std::string command = "env -u FENDAL_TRACE " + environment + " '" + std::getenv("FENDAL_BIN_DIR") +
                                "/fendal-cli' transfer --usb -o '" + folder + "/out.fsy' --received '" + folder +
                                "/received.tem' >/dev/null 2>'" + errorsFile + "'";
    CliRun run;
    const int status = std::system(command.c_str());
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errorsFile);
    std::stringstream all;
    all << in.rdbuf();
    run.errors = all.str();
    // The transfer's progress is rewritten in place, so a trace line may follow it on its line.
    std::string line;
    for (char c : run.errors) {
        if (c != '\n' && c != '\r') {
            line += c;
            continue;
        }
        if (const std::size_t at = line.find("usb: "); at != std::string::npos) run.usbLines.push_back(line.substr(at));
        line.clear();
    }
    return run;
}

bool hasLine(const CliRun& run, const std::string& start) {
    for (const std::string& line : run.usbLines)
        if (line.rfind(start, 0) == 0) return true;
    return false;
}

bool hasLineWith(const CliRun& run, const std::string& part) {
    for (const std::string& line : run.usbLines)
        if (line.find(part) != std::string::npos) return true;
    return false;
}

TEST(Ql260Trace, TransferLogsEveryRequestWithItsResultOnlyWhenAsked) {
    const std::string folder = freshDeviceFolder("trace");
    InstrumentProcess instrument({"usb", "--points", "3"});
    ASSERT_TRUE(instrument.ready());
    const std::string device = folder + "/ql260-0.sock";

    const CliRun traced = transfer(folder, "FENDAL_TRACE=usb");
    ASSERT_EQ(traced.code, 0) << traced.errors;
    EXPECT_TRUE(hasLine(traced, "usb: device 0 is " + device)) << traced.errors;
    EXPECT_TRUE(hasLine(traced, "usb: open " + device + ": handle ")) << traced.errors;
    // The count request and its answer (3 points, big-endian), then the end request.
    EXPECT_TRUE(hasLineWith(traced, " write data length 1 data 00 (in 9, out 8)")) << traced.errors;
    EXPECT_TRUE(hasLineWith(traced, " read data: ok, 10 bytes back, length 2 data 00 03")) << traced.errors;
    EXPECT_TRUE(hasLineWith(traced, " write data length 3 data 00 00 00 (in 11, out 8)")) << traced.errors;
    EXPECT_TRUE(hasLineWith(traced, " abort pipe length 4 pipe 7 (in 72, out 72)")) << traced.errors;
    EXPECT_TRUE(hasLineWith(traced, " abort pipe length 4 pipe 6 (in 72, out 72)")) << traced.errors;
    EXPECT_TRUE(hasLineWith(traced, " abort pipe: ok")) << traced.errors;
    EXPECT_TRUE(hasLine(traced, "usb: close ")) << traced.errors;
    int requests = 0;
    int results = 0;
    for (const std::string& line : traced.usbLines) {
        if (line.find(" (in ") != std::string::npos) ++requests;
        if (line.find(": ok, ") != std::string::npos || line.find(": failed, ") != std::string::npos) ++results;
    }
    EXPECT_EQ(requests, 7) << "count and block requests with their reads, the end request, two aborts";
    EXPECT_EQ(results, requests) << traced.errors;

    const CliRun quiet = transfer(folder, "");
    ASSERT_EQ(quiet.code, 0) << quiet.errors;
    EXPECT_TRUE(quiet.usbLines.empty()) << quiet.errors;
    const CliRun otherChannel = transfer(folder, "FENDAL_TRACE=serial");
    ASSERT_EQ(otherChannel.code, 0) << otherChannel.errors;
    EXPECT_TRUE(otherChannel.usbLines.empty()) << otherChannel.errors;
}

}  // namespace
