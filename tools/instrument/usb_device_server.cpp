#include "usb_device_server.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "platform/byte_order.h"
#include "usb_descriptors.h"
#include "usblib/ql260.h"
#include "usblib/socket_protocol.h"

namespace fendal::instrument {

namespace {

using platform::loadLe32;
using platform::storeLe32;

// How often a waiting read looks whether its stream still has a host at the other end.
constexpr auto kPeerCheck = std::chrono::milliseconds(50);

std::vector<unsigned char> header(uint32_t function, uint32_t length) {
    std::vector<unsigned char> bytes(QL260_REQUEST_HEADER);
    storeLe32(&bytes[0], function);
    storeLe32(&bytes[4], length);
    return bytes;
}

}  // namespace

UsbDeviceServer::UsbDeviceServer(std::string path, UsbSession session, std::function<void()> onComplete)
    : path_(std::move(path)), onComplete_(std::move(onComplete)), session_(std::move(session)) {}

UsbDeviceServer::~UsbDeviceServer() { stop(); }

bool UsbDeviceServer::start(std::string& error) {
    // A socket left by an instrument that died is replaced; a live one is not taken over.
    const int probe = ql260sock::connectDevice(path_);
    if (probe >= 0) {
        ::close(probe);
        error = "device already served: " + path_;
        return false;
    }
    // A socket address holds fewer bytes than a device name may have, so this covers both.
    static_assert(sizeof(sockaddr_un::sun_path) <= ql260sock::kMaxDevicePath);
    if (errno == ENAMETOOLONG) {
        error = "socket path too long: " + path_;
        return false;
    }
    ::unlink(path_.c_str());
    listenFd_ = ql260sock::listenDevice(path_, 16);
    if (listenFd_ < 0) {
        error = "cannot create " + path_ + ": " + std::strerror(errno);
        return false;
    }
    acceptThread_ = std::thread([this] { acceptLoop(); });
    return true;
}

void UsbDeviceServer::stop() {
    if (listenFd_ < 0) return;
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
        for (auto& [fd, broken] : streams_) ::shutdown(fd, SHUT_RDWR);
    }
    changed_.notify_all();
    ::shutdown(listenFd_, SHUT_RDWR);  // wakes accept()
    acceptThread_.join();
    ::close(listenFd_);
    listenFd_ = -1;
    ::unlink(path_.c_str());
    std::vector<Worker> workers;
    {
        std::lock_guard guard(lock_);
        workers.swap(workers_);
    }
    for (Worker& worker : workers) worker.thread.join();
}

void UsbDeviceServer::acceptLoop() {
    for (;;) {
        const int fd = ql260sock::acceptStream(listenFd_);
        if (fd < 0) return;
        std::lock_guard guard(lock_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        // Streams that have ended are reaped here, so a long session does not pile up threads.
        std::erase_if(workers_, [](Worker& worker) {
            if (!worker.done->load()) return false;
            worker.thread.join();
            return true;
        });
        streams_[fd] = false;
        auto done = std::make_shared<std::atomic<bool>>(false);
        workers_.push_back({std::thread([this, fd, done] {
                                serve(fd);
                                done->store(true);
                            }),
                            done});
    }
}

void UsbDeviceServer::serve(int fd) {
    for (;;) {
        ql260sock::RequestHeader request;
        if (!ql260sock::recvRequestHeader(fd, request)) break;
        std::vector<unsigned char> input(request.inSize);
        if (!ql260sock::recvAll(fd, input.data(), input.size())) break;
        Reply reply = handle(fd, request.controlCode, input, request.outSize);
        if (reply.drop) break;
        const uint32_t size = std::min<uint32_t>(static_cast<uint32_t>(reply.bytes.size()), request.outSize);
        if (!ql260sock::sendReply(fd, reply.ok, reply.bytes.data(), size)) break;
        if (reply.breakStreams) breakStreams();
        if (reply.complete && onComplete_) onComplete_();
    }
    std::lock_guard guard(lock_);
    streams_.erase(fd);
    ::close(fd);
}

UsbDeviceServer::Reply UsbDeviceServer::handle(int fd, uint32_t controlCode, const std::vector<unsigned char>& input,
                                               uint32_t outSize) {
    Reply reply;
    bool frozen;
    {
        std::lock_guard guard(lock_);
        frozen = session_.frozen();
    }
    if (frozen) {
        waitWhileFrozen(fd);
        reply.drop = true;
        return reply;
    }
    if (controlCode != QL260_IOCTL_REQUEST || input.size() < QL260_REQUEST_HEADER) return reply;
    const uint32_t function = loadLe32(&input[0]);
    const uint32_t length = loadLe32(&input[4]);
    const unsigned char* data = input.data() + QL260_REQUEST_HEADER;
    const std::size_t dataSize = input.size() - QL260_REQUEST_HEADER;
    switch (function) {
    case QL260_FUNC_WRITE_DATA: {
        const std::size_t size = std::min<std::size_t>(length, dataSize);
        std::lock_guard guard(lock_);
        reply.ok = session_.write(data, size);
        reply.complete = reply.ok && session_.complete();
        reply.bytes = header(function, reply.ok ? static_cast<uint32_t>(size) : 0);
        changed_.notify_all();
        return reply;
    }
    case QL260_FUNC_WRITE_AUX:
        reply.ok = true;
        reply.bytes = header(function, static_cast<uint32_t>(std::min<std::size_t>(length, dataSize)));
        return reply;
    case QL260_FUNC_READ_DATA: return readData(fd, function, std::min<uint32_t>(length, outSize > 8 ? outSize - 8 : 0));
    case QL260_FUNC_READ_INTER: return readInter(fd, function);
    case QL260_FUNC_CONTROL: {
        std::vector<unsigned char> descriptor;
        if (dataSize < 8 || !answerControl(data, descriptor)) return reply;
        const uint32_t room = outSize > 8 ? outSize - 8 : 0;
        if (descriptor.size() > room) descriptor.resize(room);
        reply.ok = true;
        reply.bytes = header(function, static_cast<uint32_t>(descriptor.size()));
        reply.bytes.insert(reply.bytes.end(), descriptor.begin(), descriptor.end());
        return reply;
    }
    case QL260_FUNC_ABORT_PIPE:
    case QL260_FUNC_RESET_PIPE:
        if (dataSize < 4) return reply;
        return pipeRequest(function, loadLe32(data));
    default: return reply;
    }
}

bool UsbDeviceServer::streamGone(int fd) const {
    auto it = streams_.find(fd);
    return stopping_ || it == streams_.end() || it->second || ql260sock::peerClosed(fd);
}

void UsbDeviceServer::waitWhileFrozen(int fd) {
    std::unique_lock guard(lock_);
    while (!streamGone(fd)) changed_.wait_for(guard, kPeerCheck);
}

UsbDeviceServer::Reply UsbDeviceServer::readData(int fd, uint32_t function, uint32_t wanted) {
    Reply reply;
    std::unique_lock guard(lock_);
    const uint64_t aborts = readAborts_;
    for (;;) {
        if (streamGone(fd)) {
            reply.drop = true;
            return reply;
        }
        if (readAborts_ != aborts) return reply;  // aborted: the read fails
        if (std::optional<Answer> answer = session_.takeAnswer()) {
            reply.breakStreams = session_.breakDue();
            if (!answer->ok) return reply;
            const uint32_t size = std::min<uint32_t>(wanted, static_cast<uint32_t>(answer->bytes.size()));
            reply.ok = true;
            reply.bytes = header(function, size);
            reply.bytes.insert(reply.bytes.end(), answer->bytes.begin(), answer->bytes.begin() + size);
            return reply;
        }
        changed_.wait_for(guard, kPeerCheck);
    }
}

UsbDeviceServer::Reply UsbDeviceServer::readInter(int fd, uint32_t) {
    // The instrument raises no interrupts: the read waits for its abort.
    Reply reply;
    std::unique_lock guard(lock_);
    const uint64_t aborts = interAborts_;
    while (interAborts_ == aborts) {
        if (streamGone(fd)) {
            reply.drop = true;
            return reply;
        }
        changed_.wait_for(guard, kPeerCheck);
    }
    return reply;
}

UsbDeviceServer::Reply UsbDeviceServer::pipeRequest(uint32_t function, uint32_t pipe) {
    Reply reply;
    {
        std::lock_guard guard(lock_);
        if (pipe == QL260_PIPE_READ) {
            ++readAborts_;
            if (function == QL260_FUNC_RESET_PIPE) session_.dropAnswer();
        } else if (pipe == QL260_PIPE_INTER) {
            ++interAborts_;
        } else if (pipe != QL260_PIPE_WRITE && pipe != QL260_PIPE_AUX) {
            return reply;
        }
        // Writes complete at once, so their pipes never have anything pending.
    }
    changed_.notify_all();
    reply.ok = true;
    reply.bytes = header(function, 4);
    return reply;
}

void UsbDeviceServer::breakStreams() {
    std::lock_guard guard(lock_);
    for (auto& [fd, broken] : streams_) {
        broken = true;
        ::shutdown(fd, SHUT_RDWR);
    }
    changed_.notify_all();
}

}  // namespace fendal::instrument
