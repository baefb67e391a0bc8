#include "data/crack_file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <new>

#include "platform/byte_order.h"
#include "platform/file_path.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/text.h"

namespace fendal::data {

namespace {

constexpr std::size_t kBlockSize = 1 << 20;

void putI32(unsigned char* p, int32_t v) { platform::storeLe32(p, static_cast<uint32_t>(v)); }

int32_t getI32(const unsigned char* p) { return static_cast<int32_t>(platform::loadLe32(p)); }

bool validCount(int32_t n) { return n >= 1 && n <= kMaxFileCount; }

void report(std::error_code* out, std::error_code error) {
    if (out) *out = error;
}

}  // namespace

// --- BlockReader

BlockReader::BlockReader(std::FILE* file) : file_(file), buf_(kBlockSize) {}

bool BlockReader::refill() {
    pos_ = 0;
    len_ = file_ ? std::fread(buf_.data(), 1, buf_.size(), file_) : 0;
    return len_ > 0;
}

std::size_t BlockReader::read(void* dst, std::size_t size) {
    auto* out = static_cast<unsigned char*>(dst);
    std::size_t done = 0;
    while (done < size) {
        if (pos_ == len_ && !refill()) break;
        std::size_t n = std::min(size - done, len_ - pos_);
        std::memcpy(out + done, buf_.data() + pos_, n);
        pos_ += n;
        done += n;
    }
    return done;
}

// --- header and records

bool writeHeader(CrackDataFile& entry, platform::SafeFileWriter* out) {
    if (!out) return false;
    const HeaderCounts counts{entry.pointCount(), entry.receivedCount()};
    std::memset(entry.signature, 0, sizeof entry.signature);
    std::memcpy(entry.signature, kCrackSignature, sizeof kCrackSignature - 1);
    entry.version = kCrackVersion;

    unsigned char h[kHeaderSize] = {};
    std::memcpy(h, entry.signature, 15);
    platform::storeLe16(h + 15, static_cast<uint16_t>(entry.version));
    putI32(h + 17, counts.pointCount);
    putI32(h + 21, counts.receivedCount);
    std::memcpy(h + 25, entry.remark, sizeof entry.remark);
    out->write(h, sizeof h);
    return true;
}

bool readHeader(CrackDataFile& entry, BlockReader& in, HeaderCounts& counts) {
    std::memset(entry.signature, 0, sizeof entry.signature);
    in.read(entry.signature, 15);
    if (platform::text::trim(platform::text::fieldText(entry.signature)) != kCrackSignature) return false;

    unsigned char v[2] = {};
    in.read(v, 2);
    entry.version = static_cast<int16_t>(platform::loadLe16(v));
    if (entry.version != kCrackVersion) return false;

    unsigned char c[8] = {};
    in.read(c, 8);
    counts.pointCount = getI32(c);
    counts.receivedCount = getI32(c + 4);
    in.read(entry.remark, sizeof entry.remark);
    platform::text::terminateField(entry.remark);
    return true;
}

void writePoint(const MeasurePoint& record, platform::SafeFileWriter& out) {
    unsigned char r[kRecordSize];
    std::memcpy(r, record.number, 32);
    putI32(r + 32, record.velocity);
    putI32(r + 36, record.depth);
    std::memcpy(r + 40, record.note, 200);
    std::memcpy(r + 240, record.reserve, 200);
    out.write(r, sizeof r);
}

void readPoint(MeasurePoint& record, BlockReader& in) {
    unsigned char r[kRecordSize];
    std::size_t got = in.read(r, sizeof r);
    // A short read leaves the rest of the record as it was.
    auto field = [&](std::size_t off, std::size_t size, void* dst) {
        if (got > off) std::memcpy(dst, r + off, std::min(size, got - off));
    };
    field(0, 32, record.number);
    if (got >= 36) record.velocity = getI32(r + 32);
    if (got >= 40) record.depth = getI32(r + 36);
    field(40, 200, record.note);
    field(240, 200, record.reserve);
    platform::text::terminateField(record.number);
    platform::text::terminateField(record.note);
    platform::text::terminateField(record.reserve);
}

// --- whole files

bool readCrackData(std::FILE* file, const std::string& fullPath, CrackDataFile& entry, std::error_code& error) {
    error.clear();
    BlockReader in(file);
    HeaderCounts counts;
    if (!readHeader(entry, in, counts)) {
        entry.path = fullPath;
        return true;
    }
    auto usable = [](int32_t n) { return n == 0 || validCount(n); };
    // A file saved after every current point was deleted holds only received points (or the
    // reverse); it is read with the list it has so it can still be restored.
    if (!usable(counts.pointCount) || !usable(counts.receivedCount) ||
        (counts.pointCount == 0 && counts.receivedCount == 0)) {
        return true;
    }
    // A short file keeps the counts it claims, which can mean 90 MB: running out of memory
    // is an open failure, not the end of the program.
    try {
        entry.points.assign(static_cast<std::size_t>(counts.pointCount), MeasurePoint{});
        entry.receivedPoints.assign(static_cast<std::size_t>(counts.receivedCount), MeasurePoint{});
    } catch (const std::bad_alloc&) {
        entry = CrackDataFile{};
        error = platform::systemError(ENOMEM);
        return false;
    }
    entry.path = fullPath;
    for (auto& p : entry.points) readPoint(p, in);
    for (auto& p : entry.receivedPoints) readPoint(p, in);
    return true;
}

bool readCrackFile(const std::string& path, CrackDataFile& entry, std::error_code* error) {
    std::error_code e;
    platform::UniqueFile f = platform::openRegularFile(path, e);
    if (!f) {
        report(error, e);
        return false;
    }
    std::error_code ec;
    auto full = std::filesystem::absolute(platform::filePath(path), ec);
    const bool read = readCrackData(f.get(), ec ? path : full.string(), entry, e);
    report(error, e);
    return read;
}

bool writeCrackFile(CrackDataFile& entry, std::error_code* error) {
    if (entry.path.empty()) {
        report(error, platform::systemError(ENOENT));
        return false;
    }
    if (entry.pointCount() > kMaxFileCount || entry.receivedCount() > kMaxFileCount) {
        report(error, platform::systemError(EFBIG));
        return false;
    }
    platform::SafeFileWriter out(entry.path);
    writeHeader(entry, &out);
    for (const auto& p : entry.points) writePoint(p, out);
    for (const auto& p : entry.receivedPoints) writePoint(p, out);
    const bool written = out.commit();
    report(error, out.error());
    return written;
}

}  // namespace fendal::data
