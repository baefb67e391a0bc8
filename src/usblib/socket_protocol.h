#pragma once
// The Linux socket driver that stands in for the USB chip's kernel-mode driver: each device is a
// Unix stream socket "<name>.sock" in the device folder. Every I/O-control request is one exchange
// on a stream:
//   request: u32 controlCode, u32 inSize, u32 outSize, then inSize bytes
//   reply:   u32 ok (1 or 0), u32 bytesReturned, then bytesReturned bytes (at most outSize)
// All integers little-endian. Shared by the library (client) and the virtual instrument (server).
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ql260sock {

inline constexpr std::size_t kRequestHeaderSize = 12;
inline constexpr std::size_t kReplyHeaderSize = 8;
// Far above any request the library makes; a larger size means the stream is out of step.
inline constexpr uint32_t kMaxPayload = 64 * 1024;
inline constexpr std::size_t kMaxDevicePath = 127;
inline constexpr const char kSocketSuffix[] = ".sock";

struct RequestHeader {
    uint32_t controlCode = 0;
    uint32_t inSize = 0;
    uint32_t outSize = 0;
};

struct ReplyHeader {
    uint32_t ok = 0;
    uint32_t bytesReturned = 0;
};

// $QL260_DEVICE_DIR, else $XDG_RUNTIME_DIR/ql260, else /tmp/ql260-<uid> (no trailing separator).
std::string deviceFolder();

// Full paths of the devices in `folder`: entries ending in ".sock", in byte order of their names,
// without those whose path is longer than kMaxDevicePath.
std::vector<std::string> listDevices(const std::string& folder);

// How long a connect waits for a device whose queue of new streams is full (it has stopped
// accepting).
inline constexpr std::chrono::milliseconds kConnectBound{1000};

// Connects a new stream to a device socket; -1 (errno set, ENAMETOOLONG for a path that fits
// no socket address) on failure. A device that does not take the stream within `bound` is
// given up (ETIMEDOUT).
int connectDevice(const std::string& path, std::chrono::milliseconds bound = kConnectBound);

// Creates the device socket at `path` and listens on it with room for `backlog` streams not yet
// accepted; -1 (errno set) on failure. An entry already at `path` is left alone (the bind fails).
int listenDevice(const std::string& path, int backlog);

// The next stream on a listening device socket, waiting for it; -1 once the socket has been
// shut down or fails. A stream given up before it was taken is passed over.
int acceptStream(int listenFd);

// Whether the other end of a stream has closed it or gone, without waiting: a device uses it to
// end a request it holds for a host that is no longer there.
bool peerClosed(int fd);

// On a stream with send and receive time-outs: asked each time the stream has been quiet for one
// time-out whether to go on waiting. Without one, a time-out fails the call.
using KeepWaiting = std::function<bool()>;

// Whole-buffer socket I/O that survives signals; false on error, end of stream or when
// `keepWaiting` says no (errno ETIMEDOUT).
bool sendAll(int fd, const void* data, std::size_t size, const KeepWaiting& keepWaiting = {});
bool recvAll(int fd, void* data, std::size_t size, const KeepWaiting& keepWaiting = {});

bool sendRequest(int fd, const RequestHeader& header, const void* input, const KeepWaiting& keepWaiting = {});
bool recvRequestHeader(int fd, RequestHeader& header);
bool sendReply(int fd, bool ok, const void* output, uint32_t size);
bool recvReplyHeader(int fd, ReplyHeader& header, const KeepWaiting& keepWaiting = {});

}  // namespace ql260sock
