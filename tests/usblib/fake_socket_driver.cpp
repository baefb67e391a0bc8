#include "usblib/fake_socket_driver.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/byte_order.h"
#include "usblib/ql260.h"
#include "usblib/socket_protocol.h"

using namespace fendal;

uint32_t RawRequest::function() const { return input.size() >= 4 ? platform::loadLe32(input.data()) : 0; }
uint32_t RawRequest::length() const { return input.size() >= 8 ? platform::loadLe32(input.data() + 4) : 0; }

FakeReply driverReply(uint32_t function, uint32_t length, const std::vector<unsigned char>& data) {
    FakeReply reply;
    reply.output.resize(8);
    platform::storeLe32(&reply.output[0], function);
    platform::storeLe32(&reply.output[4], length);
    reply.output.insert(reply.output.end(), data.begin(), data.end());
    return reply;
}

FakeSocketDriver::FakeSocketDriver(const std::string& folder, const std::string& name, Handler handler)
    : path_(folder + "/" + name), handler_(std::move(handler)) {
    listenFd_ = ql260sock::listenDevice(path_, 8);
    if (listenFd_ < 0) throw std::runtime_error("cannot serve " + path_);
    acceptThread_ = std::thread([this] {
        for (int stream = 0;; ++stream) {
            const int fd = ql260sock::acceptStream(listenFd_);
            if (fd < 0) return;
            std::lock_guard guard(lock_);
            if (stopping_) {
                ::close(fd);
                return;
            }
            streams_.push_back(fd);
            workers_.emplace_back([this, fd, stream] { serve(fd, stream); });
        }
    });
}

FakeSocketDriver::~FakeSocketDriver() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
        for (int fd : streams_) ::shutdown(fd, SHUT_RDWR);
    }
    changed_.notify_all();
    ::shutdown(listenFd_, SHUT_RDWR);
    acceptThread_.join();
    for (std::thread& worker : workers_) worker.join();
    for (int fd : streams_) ::close(fd);
    ::close(listenFd_);
    ::unlink(path_.c_str());
}

std::vector<RawRequest> FakeSocketDriver::requests() {
    std::lock_guard guard(lock_);
    return requests_;
}

bool FakeSocketDriver::waitForRequests(std::size_t count) {
    std::unique_lock guard(lock_);
    return changed_.wait_for(guard, std::chrono::seconds(5), [&] { return requests_.size() >= count; });
}

int FakeSocketDriver::openStreams() {
    std::lock_guard guard(lock_);
    return openStreams_;
}

void FakeSocketDriver::serve(int fd, int stream) {
    {
        std::lock_guard guard(lock_);
        ++openStreams_;
    }
    struct Closed {
        FakeSocketDriver* self;
        ~Closed() {
            std::lock_guard guard(self->lock_);
            --self->openStreams_;
        }
    } closed{this};
    for (;;) {
        RawRequest request;
        request.stream = stream;
        ql260sock::RequestHeader header;
        if (!ql260sock::recvRequestHeader(fd, header)) return;
        request.controlCode = header.controlCode;
        request.inSize = header.inSize;
        request.outSize = header.outSize;
        request.input.resize(header.inSize);
        if (!ql260sock::recvAll(fd, request.input.data(), request.input.size())) return;
        FakeReply reply = handler_(request);
        {
            std::unique_lock guard(lock_);
            requests_.push_back(request);
            const uint32_t function = request.function();
            if (function == QL260_FUNC_ABORT_PIPE || function == QL260_FUNC_RESET_PIPE) ++aborts_;
            changed_.notify_all();
            if (reply.hang) {
                // The stream stays open and silent until the library closes it or the test ends.
                while (!stopping_ && !ql260sock::peerClosed(fd))
                    changed_.wait_for(guard, std::chrono::milliseconds(20));
                return;
            }
            if (reply.waitForAbort) {
                const int seen = aborts_;
                changed_.wait(guard, [&] { return aborts_ != seen || stopping_; });
                reply = FakeReply{false, {}, false, false};
            }
        }
        if (reply.closeStream) {
            ::shutdown(fd, SHUT_RDWR);
            return;
        }
        if (!ql260sock::sendReply(fd, reply.ok, reply.output.data(), static_cast<uint32_t>(reply.output.size())))
            return;
    }
}

namespace {

// Socket paths must fit a socket address (108 bytes), so the folders live under /tmp rather
// than in the deep build tree; they are removed when the test program ends.
struct FolderCleanup {
    std::vector<std::string> folders;
    ~FolderCleanup() {
        for (const std::string& folder : folders) std::filesystem::remove_all(folder);
    }
};
FolderCleanup cleanup;

}  // namespace

std::string freshDeviceFolder(const std::string& name) {
    std::string pattern = "/tmp/ql260-" + name.substr(0, 24) + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a device folder");
    cleanup.folders.push_back(pattern);
    ::setenv("QL260_DEVICE_DIR", pattern.c_str(), 1);
    return pattern;
}
