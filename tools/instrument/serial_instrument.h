#pragma once
// The instrument on a serial line: after the host has opened the line it sends, unasked, the
// lead-in bytes 0x55, the record count (high byte first) and the 6-byte records.
#include <string>
#include <vector>

#include "data/received_data.h"
#include "instrument_options.h"

namespace fendal::instrument {

inline constexpr int kLeadInBytes = 3;

// The bytes the instrument sends, and how many of them come before the break or stall fault.
struct SerialStream {
    std::vector<unsigned char> bytes;
    std::size_t stopAt = 0;
};
SerialStream serialStream(const std::vector<data::ReceivedRecord>& records, const Faults& faults);

// Runs the serial instrument of the options: prints READY, sends, returns the exit status.
int runSerial(const Options& options, const std::vector<data::ReceivedRecord>& records);

}  // namespace fendal::instrument
