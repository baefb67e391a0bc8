// fendal-cli import: a received-data file becomes a crack data file, as the transfer command does.
#include <cstdio>
#include <string>

#include "cli_command.h"
#include "data/crack_file_io.h"
#include "data/received_data.h"

namespace {

int run(const std::vector<std::string>& args) {
    std::string in, out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o" && i + 1 < args.size()) out = args[++i];
        else in = args[i];
    }
    if (in.empty()) in = receivedDataPath();
    if (out.empty()) {
        std::fprintf(stderr, "usage: fendal-cli import [RECEIVED.tem] -o OUT.fsy\n");
        return 2;
    }
    ReceivedData data = readReceivedDataFile(in);
    switch (data.status) {
    case ReceivedData::Status::CannotOpen:
        std::fprintf(stderr, "fendal-cli: cannot open the received-data file %s\n", in.c_str());
        return 1;
    case ReceivedData::Status::BadLength:
        std::fprintf(stderr, "fendal-cli: %s: bad length field (more than %d points or missing)\n", in.c_str(),
                     kMaxReceivedPoints);
        return 1;
    case ReceivedData::Status::Ok:
        break;
    }
    const bool complete = data.complete();
    if (!complete) {
        std::fprintf(stderr, "fendal-cli: warning: incomplete transfer, %zu of %d points received\n",
                     data.points.size(), data.promised);
    }
    CrackDataFile f;
    f.path = out;
    f.points = data.points;
    f.receivedPoints = std::move(data.points);
    if (!writeCrackFile(f)) {
        std::fprintf(stderr, "fendal-cli: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("imported %d points into %s\n", f.pointCount(), out.c_str());
    return complete ? 0 : 3;
}

CliRegistrar reg({"import", "import [RECEIVED.tem] -o OUT.fsy",
                  "turn a received-data file (default: the last transfer's) into a crack data file", run});

}  // namespace
