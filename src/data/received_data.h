#pragma once
// The received-data file that a transfer writes and the import reads:
// u32 little-endian byte count, then 6-byte records of big-endian u16 number, velocity, depth.
// A USB transfer may leave block padding after the last whole record.
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "data/crack_data_file.h"

namespace fendal::data {

inline constexpr int kMaxReceivedPoints = 20000;
inline constexpr int kReceivedRecordSize = 6;

// "<temp>QDR_TemDataFile.tem"; empty when there is no temporary folder.
std::string receivedDataPath();

struct ReceivedRecord {
    uint16_t number = 0;
    uint16_t velocity = 0;
    uint16_t depth = 0;
};

// The record as the instrument sends it (big-endian).
void encodeReceivedRecord(const ReceivedRecord& record, unsigned char out[6]);
ReceivedRecord decodeReceivedRecord(const unsigned char in[6]);

// Writes a whole received-data file (demonstration data, tests, the virtual instrument)
// through the safe writer; false with the reason in `error` (if given).
bool writeReceivedDataFile(const std::string& path, const std::vector<ReceivedRecord>& records,
                           std::error_code* error = nullptr);

struct ReceivedData {
    enum class Status {
        Ok,
        CannotOpen,  // the file cannot be opened, or is not a regular file (reason in `error`)
        BadLength,   // length field missing, negative or over the limit
    };
    Status status = Status::Ok;
    std::error_code error;
    int promised = 0;                  // byteCount / 6
    std::vector<MeasurePoint> points;  // the whole records present (fewer than promised if short)
    bool complete() const { return static_cast<int>(points.size()) == promised; }
};

// Reads the file named `path`; only a regular file is opened, so a FIFO cannot block it.
ReceivedData readReceivedDataFile(const std::string& path);
// The same from a file already open.
ReceivedData readReceivedData(std::FILE* file);

// The file an import makes: the received points as the current list and again as the received one.
CrackDataFile crackFileFromReceived(std::vector<MeasurePoint> points);

// The point an instrument record becomes: number "%04d", velocity, depth; note and reserve empty.
MeasurePoint pointFromReceived(const ReceivedRecord& record);

// Demonstration point `index` (from 0): number index+1 and plausible, varied values. The virtual
// instrument and the shipped demonstration file use these, so tests know what arrives.
ReceivedRecord demoRecord(int index);

}  // namespace fendal::data
