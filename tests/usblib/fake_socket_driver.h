#pragma once
// A scriptable socket-driver device for tests: records every raw request the library sends
// (with the stream it came on) and answers through a handler.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct RawRequest {
    int stream = 0;  // accept order of the stream, from 0
    uint32_t controlCode = 0;
    uint32_t inSize = 0;
    uint32_t outSize = 0;
    std::vector<unsigned char> input;

    uint32_t function() const;
    uint32_t length() const;
    const unsigned char* data() const { return input.data() + 8; }
};

struct FakeReply {
    bool ok = true;
    std::vector<unsigned char> output;  // sent as is (bytesReturned = its size)
    bool waitForAbort = false;          // reply (failed) only once an abort or reset arrives
    bool closeStream = false;           // close the stream instead of replying
    bool hang = false;                  // never reply, to this or anything later: a hung device
};

// The reply a driver gives to a successful request: function, length field, then `data`.
FakeReply driverReply(uint32_t function, uint32_t length, const std::vector<unsigned char>& data = {});

class FakeSocketDriver {
public:
    using Handler = std::function<FakeReply(const RawRequest&)>;

    // Serves "<folder>/<name>" until destroyed.
    FakeSocketDriver(const std::string& folder, const std::string& name, Handler handler);
    ~FakeSocketDriver();

    std::vector<RawRequest> requests();
    // Streams the library still holds open.
    int openStreams();
    std::string path() const { return path_; }
    // Waits until `count` requests have arrived; false after a few seconds without.
    bool waitForRequests(std::size_t count);

private:
    void serve(int fd, int stream);

    std::string path_;
    Handler handler_;
    int listenFd_ = -1;
    std::thread acceptThread_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<RawRequest> requests_;
    std::vector<int> streams_;
    std::vector<std::thread> workers_;
    int aborts_ = 0;
    int openStreams_ = 0;
    bool stopping_ = false;
};

// A fresh device folder for one test, set as $QL260_DEVICE_DIR.
std::string freshDeviceFolder(const std::string& name);
