#include "reader_checks.h"

#include <cstdio>
#include <cstring>
#include <span>
#include <system_error>

#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "office/point_block.h"
#include "print/print_settings_file.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;
using namespace fendal::print;

namespace reader_checks {
namespace {

template <std::size_t N>
bool terminated(const char (&field)[N]) {
    return std::memchr(field, 0, N) != nullptr;
}

bool soundPoint(const MeasurePoint& p) { return terminated(p.number) && terminated(p.note) && terminated(p.reserve); }

bool soundCrackFile(const CrackDataFile& f) {
    if (f.pointCount() > kMaxFileCount || f.receivedCount() > kMaxFileCount || !terminated(f.remark)) return false;
    for (const auto& p : f.points)
        if (!soundPoint(p)) return false;
    for (const auto& p : f.receivedPoints)
        if (!soundPoint(p)) return false;
    return true;
}

bool soundReceivedData(const ReceivedData& d) {
    if (d.status != ReceivedData::Status::Ok) return d.points.empty();
    if (d.promised < 0 || d.promised > kMaxReceivedPoints || static_cast<int>(d.points.size()) > d.promised)
        return false;
    for (const auto& p : d.points) {
        if (std::strlen(p.number) > 5 || p.velocity < 0 || p.velocity > 0xFFFF || p.depth < 0 || p.depth > 0xFFFF ||
            p.note[0] != '\0')
            return false;
    }
    return true;
}

bool soundSettings(SettingsFileRead read, const PrintSettings& s) {
    if (read != SettingsFileRead::Read) return true;
    return s.headerText.size() < kPrintSettingsTextSize && s.footerText.size() < kPrintSettingsTextSize &&
           s.headerText.find('\0') == std::string::npos && s.footerText.find('\0') == std::string::npos;
}

// The bytes as an open file (fmemopen cannot take an empty buffer).
struct MemoryFile {
    MemoryFile(const uint8_t* data, std::size_t size)
        : file(size ? fmemopen(const_cast<uint8_t*>(data), size, "rb") : std::tmpfile()) {}
    ~MemoryFile() {
        if (file) std::fclose(file);
    }
    std::FILE* file;
};

}  // namespace

bool crackFileBytes(const uint8_t* data, std::size_t size) {
    MemoryFile in(data, size);
    if (!in.file) return true;
    CrackDataFile f;
    std::error_code error;
    const bool read = readCrackData(in.file, "/fuzz.fsy", f, error);
    if (!read) return error == std::errc::not_enough_memory && f.pointCount() == 0;
    return soundCrackFile(f) && (f.path.empty() || f.path == "/fuzz.fsy");
}

bool receivedDataBytes(const uint8_t* data, std::size_t size) {
    MemoryFile in(data, size);
    return !in.file || soundReceivedData(readReceivedData(in.file));
}

bool printSettingsBytes(const uint8_t* data, std::size_t size) {
    PrintSettings s;
    const SettingsFileRead read = decodePrintSettings(std::span(data, size), s);
    return read != SettingsFileRead::Missing && soundSettings(read, s);
}

bool pointBlockBytes(const uint8_t* data, std::size_t size) {
    const auto point = decodePointBlock(std::span(data, size));
    if (size != kPointBlockSize) return !point;
    // The reserve field is not text: it travels as it came.
    if (!point || !terminated(point->number) || !terminated(point->note)) return false;
    // Everything but the two terminators comes back as it was.
    PointBlock again = encodePointBlock(*point);
    for (std::size_t i = 0; i < size; ++i)
        if (i != 31 && i != 247 && again[i] != data[i]) return false;
    return true;
}

bool crackFile(const std::string& path) {
    CrackDataFile f;
    std::error_code error;
    if (!readCrackFile(path, f, &error)) return f.pointCount() == 0 && f.path.empty() && error;
    return soundCrackFile(f);
}

bool receivedDataFile(const std::string& path) { return soundReceivedData(readReceivedDataFile(path)); }

bool printSettingsFile(const std::string& path) {
    PrintSettings s;
    return soundSettings(readPrintSettingsFile(path, s), s);
}

}  // namespace reader_checks
