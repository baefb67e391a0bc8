#pragma once
// The .fsy file layout: a 225-byte header (signature, version, current count, received count,
// remark), then the current records, then the received records, 440 bytes each, little-endian.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/crack_data_file.h"

inline constexpr std::size_t kHeaderSize = 225;
inline constexpr std::size_t kRecordSize = 440;

// Buffered reading in large blocks, so that decoding field by field costs no system call.
// A read past the end copies what there is and leaves the rest of the destination as it was.
class BlockReader {
public:
    explicit BlockReader(std::FILE* file);
    std::size_t read(void* dst, std::size_t size);

private:
    bool refill();
    std::FILE* file_;
    std::vector<unsigned char> buf_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
};

class BlockWriter {
public:
    explicit BlockWriter(std::FILE* file);
    ~BlockWriter();
    bool write(const void* src, std::size_t size);
    bool flush();  // false when any write so far failed

private:
    std::FILE* file_;
    std::vector<unsigned char> buf_;
    bool ok_ = true;
};

struct HeaderCounts {
    int32_t pointCount = 0;
    int32_t receivedCount = 0;
};

// Sets the fixed signature and version in the entry, then writes the header with the given counts.
bool writeHeader(CrackDataFile& entry, BlockWriter* out);
// Reads and validates a header. On a bad signature nothing after it is read; on a bad version
// only signature and version are. Counts go to `counts`, the remark into the entry.
bool readHeader(CrackDataFile& entry, BlockReader& in, HeaderCounts& counts);

void writePoint(const MeasurePoint& record, BlockWriter& out);
void readPoint(MeasurePoint& record, BlockReader& in);

// Reads a whole file into a fresh entry. False only when the file cannot be opened (the entry
// stays empty); bad headers and counts out of range give a file without points.
bool readCrackFile(const std::string& path, CrackDataFile& entry);

// Writes the entry to entry.path. The data goes to a temporary file beside the target, which
// replaces the target only once it is completely written, so a failure never leaves half a file.
bool writeCrackFile(CrackDataFile& entry);

// Whether the path could be written, without changing anything on disk.
bool canWriteFile(const std::string& path);
