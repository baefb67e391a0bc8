// A USB transfer of 2000 points (count, 375 blocks, end) through libql260 against the same
// request/reply exchanges written straight onto a socket: the library's own work (size rules,
// request record, handle table, stream lock) should cost little beyond the socket round trips.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/byte_order.h"
#include "ratio_main.h"
#include "usblib/ql260.h"
#include "usblib/socket_protocol.h"

using namespace fendal;

namespace {

constexpr int kPoints = 2000;
constexpr int kBlocks = (kPoints * 6 + 31) / 32;

// Answers every write with success and every read with the bytes asked for.
class EchoDevice {
public:
    EchoDevice() {
        char pattern[] = "/tmp/ql260-bench-XXXXXX";
        folder_ = ::mkdtemp(pattern);
        path_ = folder_ + "/bench.sock";
        ::setenv("QL260_DEVICE_DIR", folder_.c_str(), 1);
        listenFd_ = ql260sock::listenDevice(path_, 8);
        acceptThread_ = std::thread([this] {
            for (;;) {
                const int fd = ql260sock::acceptStream(listenFd_);
                if (fd < 0) return;
                std::thread([fd] { serve(fd); }).detach();
            }
        });
    }
    ~EchoDevice() {
        ::shutdown(listenFd_, SHUT_RDWR);
        acceptThread_.join();
        ::close(listenFd_);
        ::unlink(path_.c_str());
        ::unlink((path_ + ".lock").c_str());  // the library's lock beside the device
        ::rmdir(folder_.c_str());
    }
    const std::string& path() const { return path_; }

private:
    static void serve(int fd) {
        std::vector<unsigned char> input;
        ql260sock::RequestHeader request;
        while (ql260sock::recvRequestHeader(fd, request)) {
            input.resize(request.inSize);
            if (!ql260sock::recvAll(fd, input.data(), input.size())) break;
            const uint32_t function = platform::loadLe32(input.data());
            uint32_t length = platform::loadLe32(input.data() + 4);
            std::vector<unsigned char> reply(8);
            if (function == QL260_FUNC_READ_DATA) reply.resize(8 + length, 0x5A);
            platform::storeLe32(&reply[0], function);
            platform::storeLe32(&reply[4], length);
            if (!ql260sock::sendReply(fd, true, reply.data(), static_cast<uint32_t>(reply.size()))) break;
        }
        ::close(fd);
    }

    std::string folder_;
    std::string path_;
    int listenFd_ = -1;
    std::thread acceptThread_;
};

EchoDevice& device() {
    static EchoDevice instance;
    return instance;
}

// The exchanges of one transfer, as raw frames.
bool rawExchange(int fd, uint32_t function, const std::vector<unsigned char>& data, uint32_t readLength) {
    unsigned char request[8 + 8] = {};
    platform::storeLe32(request, function);
    const bool read = function == QL260_FUNC_READ_DATA;
    platform::storeLe32(request + 4, read ? readLength : static_cast<uint32_t>(data.size()));
    std::memcpy(request + 8, data.data(), data.size());
    const uint32_t inSize = read ? 8 : 8 + static_cast<uint32_t>(data.size());
    const uint32_t outSize = read ? readLength + 8 : 8;
    if (!ql260sock::sendRequest(fd, {QL260_IOCTL_REQUEST, inSize, outSize}, request)) return false;
    ql260sock::ReplyHeader reply;
    unsigned char buffer[1032];
    return ql260sock::recvReplyHeader(fd, reply) && ql260sock::recvAll(fd, buffer, reply.bytesReturned);
}

void BM_RawSocketTransfer(benchmark::State& state) {
    int fd = ql260sock::connectDevice(device().path());
    for (auto _ : state) {
        rawExchange(fd, QL260_FUNC_WRITE_DATA, {0}, 0);
        rawExchange(fd, QL260_FUNC_READ_DATA, {}, 64);
        for (int b = 0; b < kBlocks; ++b) {
            rawExchange(fd, QL260_FUNC_WRITE_DATA,
                        {static_cast<unsigned char>(b / 255), static_cast<unsigned char>(b % 255)}, 0);
            rawExchange(fd, QL260_FUNC_READ_DATA, {}, 64);
        }
        rawExchange(fd, QL260_FUNC_WRITE_DATA, {0, 0, 0}, 0);
    }
    ::close(fd);
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_LibraryTransfer(benchmark::State& state) {
    device();
    QL260OpenDevice(0);
    unsigned char buffer[512];
    for (auto _ : state) {
        QL260_ULONG length = 1;
        buffer[0] = 0;
        QL260WriteData(0, buffer, &length);
        length = 2;
        QL260ReadData(0, buffer, &length);
        for (int b = 0; b < kBlocks; ++b) {
            buffer[0] = static_cast<unsigned char>(b / 255);
            buffer[1] = static_cast<unsigned char>(b % 255);
            length = 2;
            QL260WriteData(0, buffer, &length);
            length = 32;
            QL260ReadData(0, buffer, &length);
        }
        std::memset(buffer, 0, 3);
        length = 3;
        QL260WriteData(0, buffer, &length);
    }
    QL260CloseDevice(0);
    state.SetItemsProcessed(state.iterations() * kPoints);
}

BENCHMARK(BM_RawSocketTransfer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibraryTransfer)->Unit(benchmark::kMillisecond);

}  // namespace

// Reports the ratio of the library transfer to the raw one, measured in this run.
int main(int argc, char** argv) {
    return runWithRatio(argc, argv, "BM_LibraryTransfer", "BM_RawSocketTransfer",
                        "library transfer / raw socket exchanges");
}
