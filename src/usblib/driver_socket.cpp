// Linux backend: the socket driver. A device handle stands for two streams on the device's socket:
// the data stream for every request and a second stream for aborts and resets, so that those never
// queue behind a read that is still pending.
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "usblib/driver.h"
#include "usblib/socket_protocol.h"

namespace ql260 {
namespace {

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

struct SocketDevice {
    Stream data;
    Stream control;
};

bool travelsOnControlStream(const void* buffer, uint32_t inSize) {
    if (inSize < 4) return false;
    uint32_t function = ql260sock::getU32(static_cast<const unsigned char*>(buffer));
    return function == QL260_FUNC_ABORT_PIPE || function == QL260_FUNC_RESET_PIPE;
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

    QL260_HANDLE open(const std::string& path, bool /*overlapped*/) override {
        // Every request blocks its own stream only, so an overlapped handle needs nothing more.
        auto device = std::make_shared<SocketDevice>();
        device->data.fd = ql260sock::connectDevice(path);
        if (device->data.fd < 0) return QL260_INVALID_HANDLE;
        device->control.fd = ql260sock::connectDevice(path);
        if (device->control.fd < 0) return QL260_INVALID_HANDLE;
        std::lock_guard guard(tableLock_);
        // Handle values are never reused, so a stale handle fails instead of reaching a newer device.
        uintptr_t id = nextHandle_;
        nextHandle_ += 4;
        devices_[id] = std::move(device);
        return reinterpret_cast<QL260_HANDLE>(id);
    }

    bool ioControl(QL260_HANDLE handle, uint32_t controlCode, void* buffer, uint32_t inSize,
                   uint32_t outSize, uint32_t& bytesReturned) override {
        bytesReturned = 0;
        std::shared_ptr<SocketDevice> device = find(handle);
        if (!device) {
            errno = EBADF;
            return false;
        }
        Stream& stream = travelsOnControlStream(buffer, inSize) ? device->control : device->data;
        std::lock_guard guard(stream.lock);
        if (!ql260sock::sendRequest(stream.fd, {controlCode, inSize, outSize}, buffer)) {
            stream.breakOff();
            return false;
        }
        ql260sock::ReplyHeader reply;
        if (!ql260sock::recvReplyHeader(stream.fd, reply)) {
            stream.breakOff();
            return false;
        }
        if (reply.bytesReturned > outSize) {
            // The stream is out of step; nothing more on it can be trusted.
            stream.breakOff();
            errno = EPROTO;
            return false;
        }
        if (!ql260sock::recvAll(stream.fd, buffer, reply.bytesReturned)) {
            stream.breakOff();
            return false;
        }
        bytesReturned = reply.bytesReturned;
        if (reply.ok != 1) {
            errno = EIO;
            return false;
        }
        return true;
    }

    bool close(QL260_HANDLE handle) override {
        std::shared_ptr<SocketDevice> device;
        {
            std::lock_guard guard(tableLock_);
            auto it = devices_.find(reinterpret_cast<uintptr_t>(handle));
            if (it == devices_.end()) {
                errno = EBADF;
                return false;
            }
            device = std::move(it->second);
            devices_.erase(it);
        }
        // Requests still pending on other threads fail; the sockets close with the last user.
        device->data.breakOff();
        device->control.breakOff();
        return true;
    }

private:
    std::shared_ptr<SocketDevice> find(QL260_HANDLE handle) {
        std::lock_guard guard(tableLock_);
        auto it = devices_.find(reinterpret_cast<uintptr_t>(handle));
        return it == devices_.end() ? nullptr : it->second;
    }

    std::mutex tableLock_;
    std::map<uintptr_t, std::shared_ptr<SocketDevice>> devices_;
    uintptr_t nextHandle_ = 4;
};

}  // namespace

Driver& driver() {
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
