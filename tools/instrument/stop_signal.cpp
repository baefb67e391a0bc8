#include "stop_signal.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>

namespace fendal::instrument {

namespace {

int wakePipe[2] = {-1, -1};
std::atomic<int> stopFlag{0};  // lock-free, so safe in a signal handler

void onSignal(int) {
    stopFlag = 1;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(wakePipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

int installStopSignals() {
    if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return wakePipe[0];
}

bool stopRequested() { return stopFlag != 0; }

void requestStop() { onSignal(0); }

bool waitForStop(int timeoutMs) {
    pollfd p{wakePipe[0], POLLIN, 0};
    while (!stopRequested()) {
        int rc = ::poll(&p, 1, timeoutMs);
        if (rc == 0) return false;
        if (rc < 0 && errno != EINTR) return false;
    }
    return true;
}

}  // namespace fendal::instrument
