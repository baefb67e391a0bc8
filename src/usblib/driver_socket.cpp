// Linux backend: the socket driver. A device handle stands for two streams on the device's socket:
// the data stream for every request and a second stream for aborts and resets, so that those never
// queue behind a read that is still pending.
//
// A device that has stopped answering (frozen, or its process stopped) must not hold its callers
// for ever once they have given up: an abort or reset waits at most kAbortBound for its reply,
// and a transfer that was already pending on a pipe when that pipe was aborted or reset waits at
// most kAbortBound after it. A request given up that way fails and its stream is closed, since a
// reply that came later would be taken for the answer to the next request.
#include <pthread.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/byte_order.h"
#include "usblib/driver.h"
#include "usblib/handle_table.h"
#include "usblib/socket_protocol.h"

namespace ql260 {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kAbortBound = std::chrono::seconds(1);
// How often a waiting request looks at the clock.
constexpr auto kWaitSlice = std::chrono::milliseconds(50);

// One stream; its lock keeps exchanges from several threads from interleaving.
struct Stream {
    int fd = -1;
    std::mutex lock;

    ~Stream() {
        if (fd >= 0) ::close(fd);
    }
    // Ends a receive pending on another thread and makes every later request fail, while the
    // descriptor stays valid until the last user is done.
    void breakOff() {
        if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
    }
};

// The pipes that aborts and resets name; a data request's function code is its pipe's selector.
constexpr uint32_t kFirstPipe = QL260_PIPE_INTER;
constexpr uint32_t kLastPipe = QL260_PIPE_AUX;
static_assert(QL260_FUNC_READ_INTER == QL260_PIPE_INTER && QL260_FUNC_READ_DATA == QL260_PIPE_READ &&
              QL260_FUNC_WRITE_DATA == QL260_PIPE_WRITE && QL260_FUNC_WRITE_AUX == QL260_PIPE_AUX);

// When each pipe was last aborted or reset. Shared by every handle of one device path in this
// process, as aborts reach the whole device.
class PipeAborts {
public:
    PipeAborts() {
        for (auto& at : last_) at = Clock::time_point::min().time_since_epoch().count();
    }
    void sent(uint32_t pipe, Clock::time_point at) {
        if (pipe >= kFirstPipe && pipe <= kLastPipe) last_[pipe - kFirstPipe] = at.time_since_epoch().count();
    }
    // When `pipe` was aborted or reset after `started`, if it was.
    std::optional<Clock::time_point> abortedSince(uint32_t pipe, Clock::time_point started) const {
        if (pipe < kFirstPipe || pipe > kLastPipe) return std::nullopt;
        const Clock::time_point abort{Clock::duration(last_[pipe - kFirstPipe].load())};
        if (abort < started) return std::nullopt;
        return abort;
    }

private:
    std::atomic<Clock::rep> last_[kLastPipe - kFirstPipe + 1];
};

struct SocketDevice {
    Stream data;
    Stream control;
    std::shared_ptr<PipeAborts> aborts;
};

uint32_t fieldAt(const void* buffer, uint32_t inSize, uint32_t offset) {
    return inSize >= offset + 4 ? fendal::platform::loadLe32(static_cast<const unsigned char*>(buffer) + offset) : 0;
}

// A library stream wakes up every kWaitSlice while it waits, so that it can give up.
int connectStream(const std::string& path) {
    const int fd = ql260sock::connectDevice(path);
    if (fd < 0) return -1;
    timeval slice{0, static_cast<suseconds_t>(std::chrono::microseconds(kWaitSlice).count())};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &slice, sizeof slice);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &slice, sizeof slice);
    return fd;
}

class SocketDriver final : public Driver {
public:
    std::optional<std::string> devicePath(uint32_t index) override {
        std::vector<std::string> paths = ql260sock::listDevices(ql260sock::deviceFolder());
        if (index >= paths.size()) {
            errno = ENODEV;
            return std::nullopt;
        }
        return paths[index];
    }

    // Beside the socket: "<name>.sock.lock" is no device name, and the folder is the user's own.
    std::optional<std::string> lockFile(const std::string& path) override { return path + ".lock"; }

    QL260_HANDLE open(const std::string& path, bool /*overlapped*/) override {
        // Every request blocks its own stream only, so an overlapped handle needs nothing more.
        auto device = std::make_shared<SocketDevice>();
        device->data.fd = connectStream(path);
        if (device->data.fd < 0) return QL260_INVALID_HANDLE;
        device->control.fd = connectStream(path);
        if (device->control.fd < 0) return QL260_INVALID_HANDLE;
        device->aborts = abortsOf(path);
        return devices_.add(std::move(device));
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize, uint32_t outSize,
                   uint32_t& bytesReturned) override {
        bytesReturned = 0;
        const std::optional<std::shared_ptr<SocketDevice>> found = devices_.find(handle);
        if (!found) return false;
        SocketDevice* const device = found->get();
        const uint32_t function = fieldAt(buffer, inSize, 0);
        const bool pipeRequest = function == QL260_FUNC_ABORT_PIPE || function == QL260_FUNC_RESET_PIPE;
        Stream& stream = pipeRequest ? device->control : device->data;
        const Clock::time_point started = Clock::now();
        std::lock_guard guard(stream.lock);
        if (pipeRequest) device->aborts->sent(fieldAt(buffer, inSize, QL260_REQUEST_HEADER), Clock::now());
        // Counted from the first abort the request sees: the aborts that follow (a caller may
        // repeat them until its transfer ends) do not put the end off.
        std::optional<Clock::time_point> deadline;
        if (pipeRequest) deadline = started + kAbortBound;
        const ql260sock::KeepWaiting keepWaiting = [&] {
            if (!deadline) {
                const std::optional<Clock::time_point> abort = device->aborts->abortedSince(function, started);
                if (!abort) return true;
                deadline = *abort + kAbortBound;
            }
            return Clock::now() < *deadline;
        };
        auto fail = [&] {
            const int error = errno;
            stream.breakOff();
            // An abort without an answer: the device no longer answers anything on this handle.
            if (pipeRequest && error == ETIMEDOUT) device->data.breakOff();
            errno = error;
            return false;
        };
        if (!ql260sock::sendRequest(stream.fd, {controlCode, inSize, outSize}, buffer, keepWaiting)) return fail();
        ql260sock::ReplyHeader reply;
        if (!ql260sock::recvReplyHeader(stream.fd, reply, keepWaiting)) return fail();
        if (reply.bytesReturned > outSize) {
            // The stream is out of step; nothing more on it can be trusted.
            errno = EPROTO;
            return fail();
        }
        if (!ql260sock::recvAll(stream.fd, buffer, reply.bytesReturned, keepWaiting)) return fail();
        bytesReturned = reply.bytesReturned;
        if (reply.ok != 1) {
            errno = EIO;
            return false;
        }
        return true;
    }

    bool close(QL260_HANDLE handle) override {
        const auto removed = devices_.remove(handle);
        if (!removed) return false;
        // Requests still pending on other threads fail; the sockets close with the last user.
        removed->value->data.breakOff();
        removed->value->control.breakOff();
        return true;
    }

private:
    std::shared_ptr<PipeAborts> abortsOf(const std::string& path) {
        std::lock_guard guard(abortsLock_);
        std::shared_ptr<PipeAborts>& aborts = aborts_[path];
        if (!aborts) aborts = std::make_shared<PipeAborts>();
        return aborts;
    }

    HandleTable<std::shared_ptr<SocketDevice>> devices_;
    std::mutex abortsLock_;
    std::map<std::string, std::shared_ptr<PipeAborts>> aborts_;
};

}  // namespace

Driver& socketDriver() {
    // Never destroyed: a detached interrupt thread may still use it while the process exits.
    static SocketDriver* instance = new SocketDriver;
    return *instance;
}

void raiseCurrentThreadToTimeCritical() {
    // Needs a privilege most users lack; then the thread keeps the normal priority.
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

}  // namespace ql260
