#pragma once
// The .fsy file layout: a 225-byte header (signature, version, current count, received count,
// remark), then the current records, then the received records, 440 bytes each, little-endian.
#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "data/crack_data_file.h"

namespace fendal::platform {
class SafeFileWriter;
}

namespace fendal::data {

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

struct HeaderCounts {
    int32_t pointCount = 0;
    int32_t receivedCount = 0;
};

// Sets the fixed signature and version in the entry, then writes the header with the given counts.
bool writeHeader(CrackDataFile& entry, platform::SafeFileWriter* out);
// Reads and validates a header. On a bad signature nothing after it is read; on a bad version
// only signature and version are. Counts go to `counts`, the remark into the entry.
bool readHeader(CrackDataFile& entry, BlockReader& in, HeaderCounts& counts);

void writePoint(const MeasurePoint& record, platform::SafeFileWriter& out);
void readPoint(MeasurePoint& record, BlockReader& in);

// Reads a whole file into a fresh entry. False when the file cannot be opened (it is missing,
// not a regular file, ...) or memory runs out, with the reason in `error` (if given); the entry
// then stays empty. Bad headers and counts out of range give a file without points.
bool readCrackFile(const std::string& path, CrackDataFile& entry, std::error_code* error = nullptr);

// The same from a file already open; `fullPath` becomes the entry's path where the file names one.
bool readCrackData(std::FILE* file, const std::string& fullPath, CrackDataFile& entry, std::error_code& error);

// Writes the entry to entry.path through the safe writer (whole or not at all, never through a
// planted link). A list longer than kMaxFileCount is refused: the file could not be read back.
// False with the reason in `error` (if given).
bool writeCrackFile(CrackDataFile& entry, std::error_code* error = nullptr);

}  // namespace fendal::data
