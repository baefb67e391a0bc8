#pragma once
// One virtual USB device on the socket driver: a listening Unix socket, one thread per stream.
// Requests from every stream meet in one UsbSession, and aborts and resets reach the reads
// pending on any stream of the device, as with a real driver.
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "usb_session.h"

namespace fendal::instrument {

class UsbDeviceServer {
public:
    UsbDeviceServer(std::string path, UsbSession session, std::function<void()> onComplete);
    ~UsbDeviceServer();
    UsbDeviceServer(const UsbDeviceServer&) = delete;
    UsbDeviceServer& operator=(const UsbDeviceServer&) = delete;

    // Creates the socket and starts accepting; false with a reason when that fails.
    bool start(std::string& error);
    // Ends every stream, removes the socket and waits for the threads.
    void stop();

    const std::string& path() const { return path_; }

private:
    struct Reply {
        bool ok = false;
        std::vector<unsigned char> bytes;
        bool breakStreams = false;
        bool complete = false;
        bool drop = false;  // the stream is gone: no reply
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void acceptLoop();
    void serve(int fd);
    Reply handle(int fd, uint32_t controlCode, const std::vector<unsigned char>& input, uint32_t outSize);
    Reply readData(int fd, uint32_t function, uint32_t wanted);
    Reply readInter(int fd, uint32_t function);
    Reply pipeRequest(uint32_t function, uint32_t pipe);
    // Under lock_: whether a read pending on `fd` must end.
    bool streamGone(int fd) const;
    // A request to a frozen device: no answer until the stream or the device goes.
    void waitWhileFrozen(int fd);
    void breakStreams();

    const std::string path_;
    std::function<void()> onComplete_;
    int listenFd_ = -1;
    std::thread acceptThread_;

    std::mutex lock_;
    std::condition_variable changed_;
    UsbSession session_;
    uint64_t readAborts_ = 0;      // bumped by every abort or reset of the read pipe
    uint64_t interAborts_ = 0;     // the same for the interrupt pipe
    std::map<int, bool> streams_;  // open streams, true once broken off
    std::vector<Worker> workers_;
    bool stopping_ = false;
};

}  // namespace fendal::instrument
