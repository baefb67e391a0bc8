#include "usblib/socket_protocol.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdlib>
#include <cstring>

#include "platform/byte_order.h"

namespace ql260sock {

namespace {

constexpr auto kConnectRetry = std::chrono::milliseconds(10);

// A call that timed out on a stream with time-outs: go on only when the caller says so.
bool retryAfterTimeout(const KeepWaiting& keepWaiting) {
    if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
    if (keepWaiting && keepWaiting()) return true;
    errno = ETIMEDOUT;
    return false;
}

// The socket address of a device path; false (ENAMETOOLONG) when the path does not fit one.
bool deviceAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void closeKeepingErrno(int fd) {
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

}  // namespace

std::string deviceFolder() {
    const char* dir = std::getenv("QL260_DEVICE_DIR");
    if (dir && *dir) return dir;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/ql260";
    return "/tmp/ql260-" + std::to_string(::getuid());
}

std::vector<std::string> listDevices(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        const std::size_t suffix = std::strlen(kSocketSuffix);
        while (const dirent* entry = ::readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > suffix && name.compare(name.size() - suffix, suffix, kSocketSuffix) == 0)
                names.push_back(std::move(name));
        }
        ::closedir(dir);
    }
    // std::string compares like memcmp: byte order, whatever the locale.
    std::sort(names.begin(), names.end());
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        std::string path = folder + "/" + name;
        if (path.size() <= kMaxDevicePath) paths.push_back(std::move(path));
    }
    return paths;
}

int connectDevice(const std::string& path, std::chrono::milliseconds bound) {
    sockaddr_un address;
    if (!deviceAddress(path, address)) return -1;
    // Without waiting: a device that has stopped accepting fills its queue of new streams, and
    // a blocking connect would then wait for ever.
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    int rc;
    while ((rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address))) != 0) {
        if (errno == EINTR) continue;
        if (errno == EISCONN) {  // an interrupted attempt that got through
            rc = 0;
            break;
        }
        if (errno == EINPROGRESS || errno == EALREADY) {
            pollfd p{fd, POLLOUT, 0};
            int error = ETIMEDOUT;
            socklen_t size = sizeof error;
            if (::poll(&p, 1, static_cast<int>(bound.count())) > 0)
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
            rc = error == 0 ? 0 : -1;
            errno = error;
            break;
        }
        if (errno != EAGAIN || std::chrono::steady_clock::now() >= deadline) {
            if (errno == EAGAIN) errno = ETIMEDOUT;
            break;
        }
        std::this_thread::sleep_for(kConnectRetry);
    }
    if (rc != 0) {
        closeKeepingErrno(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

int listenDevice(const std::string& path, int backlog) {
    sockaddr_un address;
    if (!deviceAddress(path, address)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, backlog) != 0) {
        closeKeepingErrno(fd);
        return -1;
    }
    return fd;
}

int acceptStream(int listenFd) {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0 || (errno != EINTR && errno != ECONNABORTED)) return fd;
    }
}

bool peerClosed(int fd) {
    pollfd p{fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

bool sendAll(int fd, const void* data, std::size_t size, const KeepWaiting& keepWaiting) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        // MSG_NOSIGNAL: a peer that went away is a failed request, not a dead process.
        ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || retryAfterTimeout(keepWaiting))) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool recvAll(int fd, void* data, std::size_t size, const KeepWaiting& keepWaiting) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        ssize_t n = ::recv(fd, p, size, 0);
        if (n < 0 && (errno == EINTR || retryAfterTimeout(keepWaiting))) continue;
        if (n == 0) errno = ECONNRESET;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool sendRequest(int fd, const RequestHeader& header, const void* input, const KeepWaiting& keepWaiting) {
    std::vector<unsigned char> frame(kRequestHeaderSize + header.inSize);
    fendal::platform::storeLe32(&frame[0], header.controlCode);
    fendal::platform::storeLe32(&frame[4], header.inSize);
    fendal::platform::storeLe32(&frame[8], header.outSize);
    if (header.inSize > 0) std::memcpy(&frame[kRequestHeaderSize], input, header.inSize);
    return sendAll(fd, frame.data(), frame.size(), keepWaiting);
}

bool recvRequestHeader(int fd, RequestHeader& header) {
    unsigned char raw[kRequestHeaderSize];
    if (!recvAll(fd, raw, sizeof raw)) return false;
    header.controlCode = fendal::platform::loadLe32(raw);
    header.inSize = fendal::platform::loadLe32(raw + 4);
    header.outSize = fendal::platform::loadLe32(raw + 8);
    return header.inSize <= kMaxPayload && header.outSize <= kMaxPayload;
}

bool sendReply(int fd, bool ok, const void* output, uint32_t size) {
    std::vector<unsigned char> frame(kReplyHeaderSize + size);
    fendal::platform::storeLe32(&frame[0], ok ? 1 : 0);
    fendal::platform::storeLe32(&frame[4], size);
    if (size > 0) std::memcpy(&frame[kReplyHeaderSize], output, size);
    return sendAll(fd, frame.data(), frame.size());
}

bool recvReplyHeader(int fd, ReplyHeader& header, const KeepWaiting& keepWaiting) {
    unsigned char raw[kReplyHeaderSize];
    if (!recvAll(fd, raw, sizeof raw, keepWaiting)) return false;
    header.ok = fendal::platform::loadLe32(raw);
    header.bytesReturned = fendal::platform::loadLe32(raw + 4);
    return true;
}

}  // namespace ql260sock
