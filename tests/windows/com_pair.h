#pragma once
// The far end of a serial line for the Windows tests: two COM ports joined like a null-modem
// cable by scripts/wine-com-pairs.py (under Wine each COMn is a link to a pseudo-terminal).
// The program opens the near port; the test plays the instrument on the far one. Each pair
// serves one ComPair per run; pairs are claimed with a file made exclusively, so test
// programs running side by side never share one.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

// Wine shares serial ports that Windows keeps to one opener.
inline bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class ComPair {
public:
    ComPair() {
        const char* pairs = std::getenv("FENDAL_COM_PAIRS");  // "FIRST:COUNT"
        const char* claims = std::getenv("FENDAL_COM_CLAIMS");
        int first = 0;
        int count = 0;
        if (!pairs || !claims || std::sscanf(pairs, "%d:%d", &first, &count) != 2) {
            ADD_FAILURE() << "no COM port pairs: run the Windows tests through scripts/test-windows.sh";
            return;
        }
        for (int k = 0; k < count; ++k) {
            const std::string claim = std::string(claims) + "\\pair-" + std::to_string(k);
            HANDLE h = CreateFileA(claim.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            CloseHandle(h);
            near_ = first + 2 * k;
            // A link the relay is just putting back (Wine's device manager may have replaced it).
            for (int attempt = 0; attempt < 40 && far_ == INVALID_HANDLE_VALUE; ++attempt) {
                far_ = CreateFileA(portPath(near_ + 1).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr);
                if (far_ == INVALID_HANDLE_VALUE) std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (far_ == INVALID_HANDLE_VALUE) break;
            // Reads return at once with what has arrived.
            COMMTIMEOUTS timeouts{MAXDWORD, 0, 0, 0, 2000};
            SetCommTimeouts(far_, &timeouts);
            PurgeComm(far_, PURGE_RXCLEAR | PURGE_TXCLEAR);
            return;
        }
        ADD_FAILURE() << "no free COM port pair left";
    }
    ~ComPair() { closeMaster(); }
    ComPair(const ComPair&) = delete;
    ComPair& operator=(const ComPair&) = delete;

    // The port the program opens.
    std::string slavePath() const { return near_ ? portPath(near_) : std::string(); }

    bool send(const std::vector<unsigned char>& bytes) {
        DWORD done = 0;
        return WriteFile(far_, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) && done == bytes.size();
    }

    // What the program sent, waiting up to `ms` for the first byte.
    std::vector<unsigned char> receive(int ms) {
        std::vector<unsigned char> out;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < deadline) {
            unsigned char buf[256];
            DWORD n = 0;
            if (!ReadFile(far_, buf, sizeof buf, &n, nullptr)) break;
            if (n > 0) {
                out.insert(out.end(), buf, buf + n);
                deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return out;
    }

    void closeMaster() {
        if (far_ != INVALID_HANDLE_VALUE) CloseHandle(far_);
        far_ = INVALID_HANDLE_VALUE;
    }

private:
    static std::string portPath(int n) { return "\\\\.\\COM" + std::to_string(n); }

    int near_ = 0;
    HANDLE far_ = INVALID_HANDLE_VALUE;
};
