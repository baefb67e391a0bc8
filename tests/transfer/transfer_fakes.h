#pragma once
// Stand-ins for the dialog and the USB device, so the transfer runs without windows or hardware.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "data/received_data.h"
#include "transfer/transfer_ui.h"
#include "transfer/usb_device_access.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    fendal::data::MsgIcon icon;
};

// The dialog: records what the transfer shows and does to it; the end can be waited for.
class ScriptedTransferUi : public fendal::transfer::TransferUi {
public:
    void message(const std::string& text, const std::string& caption, fendal::data::MsgIcon icon) override {
        std::lock_guard<std::mutex> guard(lock_);
        messages.push_back({text, caption, icon});
    }
    void enableControls(bool ok, bool portType, bool portNumber) override {
        std::lock_guard<std::mutex> guard(lock_);
        controls = {ok, portType, portNumber};
    }
    void setCaption(const std::string& text) override {
        std::lock_guard<std::mutex> guard(lock_);
        caption = text;
    }
    void startEndTimer() override { ended(endTimers); }
    void endWithOk() override { ended(endsWithOk); }
    void progress(int received, int expected) override {
        std::lock_guard<std::mutex> guard(lock_);
        lastProgress = {received, expected};
        ended_.notify_all();
    }

    // Waits until the transfer has asked to end the dialog.
    bool waitForEnd(std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> guard(lock_);
        return ended_.wait_for(guard, limit, [&] { return endTimers + endsWithOk > 0; });
    }
    // Waits until at least `bytes` data bytes have arrived.
    bool waitForProgress(int bytes) {
        std::unique_lock<std::mutex> guard(lock_);
        return ended_.wait_for(guard, std::chrono::seconds(10), [&] { return lastProgress.first >= bytes; });
    }
    std::vector<ShownMessage> shown() {
        std::lock_guard<std::mutex> guard(lock_);
        return messages;
    }
    std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const auto& m : shown()) out.push_back(m.text);
        return out;
    }

    std::vector<ShownMessage> messages;
    std::vector<bool> controls;
    std::string caption;
    int endTimers = 0;
    int endsWithOk = 0;
    std::pair<int, int> lastProgress{-1, -1};

private:
    void ended(int& counter) {
        std::lock_guard<std::mutex> guard(lock_);
        ++counter;
        ended_.notify_all();
    }
    std::mutex lock_;
    std::condition_variable ended_;
};

// The instrument behind the USB library, in process: answers the count, block and end
// requests from demonstration records, with the faults a test asks for.
class FakeUsbDevice : public fendal::transfer::UsbDeviceAccess {
public:
    explicit FakeUsbDevice(int count) {
        for (int i = 0; i < count; ++i) records.push_back(fendal::data::demoRecord(i));
    }

    bool openDevice(uint32_t) override {
        std::lock_guard<std::mutex> guard(lock_);
        if (failOpen) return false;
        open = true;
        return true;
    }
    const char* deviceName(uint32_t) override { return noName ? nullptr : "/dev/fake-ql260"; }
    bool writeData(uint32_t, unsigned char* buffer, uint32_t& length) override {
        std::lock_guard<std::mutex> guard(lock_);
        writes.emplace_back(buffer, buffer + length);
        if (failWriteAt >= 0 && static_cast<int>(writes.size()) > failWriteAt) {
            length = 0;
            return false;
        }
        answers_.push_back(answer(writes.back()));
        if (writes.back().size() == 1) answers_.back().resize(countLength);
        return true;
    }
    bool readData(uint32_t, unsigned char* buffer, uint32_t& length) override {
        std::unique_lock<std::mutex> guard(lock_);
        ++reads;
        if (failReadAt >= 0 && reads > failReadAt) {
            length = 0;
            return false;
        }
        if (stallAt >= 0 && reads > stallAt) {
            // A silent instrument: only an abort ends the read.
            stalled = true;
            changed_.notify_all();
            changed_.wait(guard, [&] { return abortedReads > 0; });
            length = 0;
            return false;
        }
        if (answers_.empty()) {
            length = 0;
            return false;
        }
        const auto bytes = answers_.front();
        answers_.pop_front();
        length = std::min<uint32_t>(length, static_cast<uint32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.begin() + length, buffer);
        return true;
    }
    bool abortWrite(uint32_t) override {
        std::lock_guard<std::mutex> guard(lock_);
        ++abortedWrites;
        return true;
    }
    bool abortRead(uint32_t) override {
        std::lock_guard<std::mutex> guard(lock_);
        ++abortedReads;
        changed_.notify_all();
        return true;
    }
    void closeDevice(uint32_t) override {
        std::lock_guard<std::mutex> guard(lock_);
        open = false;
        ++closes;
    }
    intptr_t openPath(const std::string& path) override {
        std::lock_guard<std::mutex> guard(lock_);
        if (failPathAt >= 0 && pathsOpened >= failPathAt) return kInvalidHandle;
        openedPath = path;
        ++pathsOpened;
        return 10 + pathsOpened;
    }
    void closePath(intptr_t) override {
        std::lock_guard<std::mutex> guard(lock_);
        ++pathsClosed;
    }

    bool waitUntilStalled() {
        std::unique_lock<std::mutex> guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(5), [&] { return stalled; });
    }

    std::vector<fendal::data::ReceivedRecord> records;
    bool failOpen = false;
    bool noName = false;
    int failPathAt = -1;          // the n-th path open (from 0) fails
    int failWriteAt = -1;         // writes after this many fail
    int failReadAt = -1;          // reads after this many fail
    int stallAt = -1;             // reads after this many never answer
    std::size_t countLength = 2;  // bytes of the count reply

    bool open = false;
    bool stalled = false;
    std::vector<std::vector<unsigned char>> writes;
    int reads = 0;
    int abortedWrites = 0;
    int abortedReads = 0;
    int closes = 0;
    int pathsOpened = 0;
    int pathsClosed = 0;
    std::string openedPath;

private:
    std::vector<unsigned char> answer(const std::vector<unsigned char>& req) {
        if (req.size() == 1) {
            const auto count = records.size();
            return {static_cast<unsigned char>(count >> 8), static_cast<unsigned char>(count)};
        }
        if (req.size() == 2) {
            const std::size_t block = req[0] * 255u + req[1];
            std::vector<unsigned char> out(32, 0);
            // Blocks hold the record bytes back to back, as the instrument streams them.
            for (std::size_t i = 0; i < 32; ++i) {
                const std::size_t at = block * 32 + i;
                if (at / 6 >= records.size()) break;
                unsigned char rec[6];
                fendal::data::encodeReceivedRecord(records[at / 6], rec);
                out[i] = rec[at % 6];
            }
            return out;
        }
        return {};
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<std::vector<unsigned char>> answers_;
};

inline std::vector<unsigned char> fileBytes(const std::string& path) {
    std::vector<unsigned char> out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    return out;
}
