// fendal-instrument: a virtual measuring instrument on the USB socket driver or a serial line.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "instrument_options.h"
#include "point_source.h"
#include "serial_instrument.h"
#include "stop_signal.h"
#include "usb_device_server.h"
#include "usblib/socket_protocol.h"

namespace fendal::instrument {

namespace {

int fail(const std::string& message, int status = 1) {
    std::fprintf(stderr, "fendal-instrument: %s\n", message.c_str());
    return status;
}

int runUsb(const Options& options, const std::vector<data::ReceivedRecord>& records) {
    const std::string folder = ql260sock::deviceFolder();
    // Other users must not reach the devices: the folder is created private.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return fail("cannot create the device folder " + folder + ": " + std::strerror(errno));
    std::vector<std::string> names;
    if (options.devices == 0) {
        names.push_back(options.name);
    } else {
        for (int i = 0; i < options.devices; ++i) names.push_back(options.name + "-" + std::to_string(i));
    }
    std::vector<std::unique_ptr<UsbDeviceServer>> servers;
    for (const std::string& name : names) {
        auto onComplete = [once = options.once] {
            if (once) requestStop();
        };
        auto server = std::make_unique<UsbDeviceServer>(folder + "/" + name + ql260sock::kSocketSuffix,
                                                        UsbSession(records, options.faults), onComplete);
        std::string error;
        if (!server->start(error)) return fail(error);  // the servers started so far remove their sockets
        servers.push_back(std::move(server));
    }
    std::printf("READY %s\n", servers.front()->path().c_str());
    std::fflush(stdout);
    waitForStop(-1);
    for (auto& server : servers) server->stop();
    return 0;
}

}  // namespace

}  // namespace fendal::instrument

using namespace fendal::instrument;

int main(int argc, char** argv) {
    ParseResult parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.help.empty()) {
        std::fputs(parsed.help.c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "fendal-instrument: %s\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    const Options& options = *parsed.options;
    std::string error;
    std::vector<fendal::data::ReceivedRecord> records = loadRecords(options, error);
    if (!error.empty()) return fail(error);
    if (installStopSignals() < 0) return fail(std::string("cannot set up signals: ") + std::strerror(errno));
    return options.mode == Options::Mode::Usb ? runUsb(options, records) : runSerial(options, records);
}
