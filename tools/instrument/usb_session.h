#pragma once
// What the instrument answers over USB: the host writes a count request (00), block requests
// (b / 255, b % 255) and the end request (00 00 00); each request but the end leaves one answer
// for the next bulk read. Faults shape the answers. No I/O here.
#include <cstdint>
#include <optional>
#include <vector>

#include "data/received_data.h"
#include "instrument_options.h"

namespace fendal::instrument {

inline constexpr int kBlockSize = 32;

struct Answer {
    bool ok = true;      // false: the read fails
    bool block = false;  // a block rather than the count
    std::vector<unsigned char> bytes;
};

class UsbSession {
public:
    UsbSession(std::vector<data::ReceivedRecord> records, Faults faults);

    // A bulk write from the host; false when the write fails.
    bool write(const unsigned char* data, std::size_t size);
    // The answer for the next bulk read; none while the instrument has nothing to say.
    std::optional<Answer> takeAnswer();
    // A reset of the read pipe drops an answer not yet read.
    void dropAnswer() { answer_.reset(); }

    // After the answer just taken, the connection is to be broken (once per transfer).
    bool breakDue();
    // The end request of a transfer has arrived.
    bool complete() const { return complete_; }
    // The device has hung: from now on it answers no request at all, aborts neither.
    bool frozen() const { return frozen_; }

    int announcedCount() const;

private:
    std::vector<unsigned char> blockBytes(int block) const;

    std::vector<unsigned char> data_;  // the records as the instrument sends them
    Faults faults_;
    std::optional<Answer> answer_;
    int blocksSent_ = 0;
    bool breakPending_ = false;
    bool broken_ = false;
    bool complete_ = false;
    bool frozen_ = false;
};

}  // namespace fendal::instrument
