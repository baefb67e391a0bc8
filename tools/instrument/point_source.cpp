#include "point_source.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "data/crack_file_io.h"

namespace fendal::instrument {

namespace {

uint16_t twoBytes(long long value) { return static_cast<uint16_t>(std::clamp<long long>(value, 0, 65535)); }

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - n + i])) != suffix[i]) return false;
    return true;
}

}  // namespace

data::ReceivedRecord recordFromPoint(const data::MeasurePoint& point, int fallbackNumber) {
    data::ReceivedRecord record;
    const std::size_t length = strnlen(point.number, sizeof point.number);
    std::size_t i = 0;
    while (i < length && point.number[i] == ' ') ++i;
    long long number = 0;
    bool digits = false;
    for (; i < length && std::isdigit(static_cast<unsigned char>(point.number[i])); ++i) {
        number = std::min<long long>(number * 10 + (point.number[i] - '0'), 65535);
        digits = true;
    }
    record.number = twoBytes(digits ? number : fallbackNumber);
    record.velocity = twoBytes(point.velocity);
    record.depth = twoBytes(point.depth);
    return record;
}

std::vector<data::ReceivedRecord> loadRecords(const Options& options, std::string& error) {
    std::vector<data::ReceivedRecord> records;
    if (options.fromFile.empty()) {
        for (int i = 0; i < options.points; ++i) records.push_back(data::demoRecord(i));
        return records;
    }
    std::vector<data::MeasurePoint> points;
    if (endsWith(options.fromFile, ".tem")) {
        data::ReceivedData data = data::readReceivedDataFile(options.fromFile);
        if (data.status == data::ReceivedData::Status::CannotOpen) {
            error = "cannot open " + options.fromFile;
            return {};
        }
        if (data.status == data::ReceivedData::Status::BadLength) {
            error = "not a received-data file: " + options.fromFile;
            return {};
        }
        points = std::move(data.points);
    } else if (endsWith(options.fromFile, ".fsy")) {
        data::CrackDataFile file;
        if (!data::readCrackFile(options.fromFile, file)) {
            error = "cannot open " + options.fromFile;
            return {};
        }
        points = std::move(file.points);
    } else {
        error = "unknown file type (expected .tem or .fsy): " + options.fromFile;
        return {};
    }
    if (points.size() > 65535) {
        error = "more than 65535 points in " + options.fromFile;
        return {};
    }
    for (std::size_t i = 0; i < points.size(); ++i)
        records.push_back(recordFromPoint(points[i], static_cast<int>(i) + 1));
    return records;
}

}  // namespace fendal::instrument
