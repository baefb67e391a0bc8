#pragma once
// A pseudo-terminal for tests: the program opens the slave as its serial port, the test plays
// the other end of the line on the master.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        termios tio{};
        ::tcgetattr(master_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
        slavePath_ = ::ptsname(master_);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }

    bool send(const std::vector<unsigned char>& bytes) {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the program sent, waiting up to `ms` for the first byte.
    std::vector<unsigned char> receive(int ms) {
        std::vector<unsigned char> out;
        pollfd pfd{master_, POLLIN, 0};
        while (::poll(&pfd, 1, out.empty() ? ms : 50) > 0 && (pfd.revents & POLLIN)) {
            unsigned char buf[256];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            out.insert(out.end(), buf, buf + n);
        }
        return out;
    }

    // The line settings of the pair, as the program's side sees them.
    termios lineSettings() const {
        termios tio{};
        ::tcgetattr(master_, &tio);
        return tio;
    }
    void setLineSettings(const termios& tio) { ::tcsetattr(master_, TCSANOW, &tio); }

    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};
