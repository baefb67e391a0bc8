#include "office/point_csv.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <set>
#include <string_view>

#include "data/crack_data_file.h"
#include "office/csv_table.h"
#include "platform/regular_file.h"
#include "platform/safe_file_writer.h"
#include "platform/text.h"

namespace fendal::office {

namespace {

enum Column { kFile, kOrdinal, kNumber, kVelocity, kDepth, kNote, kColumns };

// The longest field a CSV of ours can hold is a path shown with every byte escaped.
constexpr csv::Limits kLimits{.maxFieldBytes = 1 << 16, .maxFields = 64};
constexpr std::size_t kShownValueBytes = 32;

// ASCII is the same in GBK and UTF-8: most numbers and many notes need no converter.
bool isAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::optional<std::string> toUtf8(const std::string& gbk) {
    return isAscii(gbk) ? std::optional<std::string>(gbk) : platform::text::gbkToUtf8Exact(gbk);
}

std::optional<std::string> toGbk(const std::string& utf8) {
    return isAscii(utf8) ? std::optional<std::string>(utf8) : platform::text::utf8ToGbk(utf8);
}

std::vector<std::string> headerFields() { return {kPointCsvHeader.begin(), kPointCsvHeader.end()}; }

// A value in a message, unless it is too long to help or holds control characters, which a
// terminal would act on.
std::string quoted(const std::string& value) {
    const bool printable = std::none_of(value.begin(), value.end(),
                                        [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
    return printable && value.size() <= kShownValueBytes ? " \"" + value + "\"" : std::string();
}

bool refuse(CsvRefusal& refusal, int line, std::string reason) {
    refusal.line = line;
    refusal.reason = std::move(reason);
    return false;
}

// A whole decimal number within lo..hi, as the records and the list hold numbers.
bool wholeNumber(const std::string& value, int64_t lo, int64_t hi, int32_t& out, const char* column, std::string& why) {
    const std::string_view digits = std::string_view(value).substr(value.starts_with('-') ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        why = platform::text::format("%s%s is not a whole number", column, quoted(value).c_str());
        return false;
    }
    int64_t n = 0;
    const std::errc ec = std::from_chars(value.data(), value.data() + value.size(), n).ec;
    if (ec == std::errc::result_out_of_range || n < lo || n > hi) {
        why = platform::text::format("%s%s lies outside %lld..%lld", column, quoted(value).c_str(),
                                     static_cast<long long>(lo), static_cast<long long>(hi));
        return false;
    }
    out = static_cast<int32_t>(n);
    return true;
}

// A UTF-8 text into a fixed GBK field, whole or not at all.
template <std::size_t N>
bool gbkField(const std::string& value, char (&field)[N], const char* column, std::string& why) {
    if (value.find('\0') != std::string::npos) {
        why = platform::text::format("%s holds a NUL character, which would cut it short", column);
        return false;
    }
    const std::optional<std::string> gbk = toGbk(value);
    if (!gbk) {
        why = platform::text::format("%s holds a character that GBK cannot hold", column);
        return false;
    }
    if (!platform::text::setField(field, *gbk)) {
        why = platform::text::format("%s takes %zu bytes in GBK, more than the %zu its field holds", column,
                                     gbk->size(), N - 1);
        return false;
    }
    return true;
}

bool rowToPoint(const csv::Record& row, data::MeasurePoint& point, std::string& why) {
    int32_t ordinal = 0;
    return wholeNumber(row.fields[kOrdinal], 1, data::kMaxFileCount, ordinal, kPointCsvHeader[kOrdinal], why) &&
           gbkField(row.fields[kNumber], point.number, kPointCsvHeader[kNumber], why) &&
           wholeNumber(row.fields[kVelocity], INT32_MIN, INT32_MAX, point.velocity, kPointCsvHeader[kVelocity], why) &&
           wholeNumber(row.fields[kDepth], INT32_MIN, INT32_MAX, point.depth, kPointCsvHeader[kDepth], why) &&
           gbkField(row.fields[kNote], point.note, kPointCsvHeader[kNote], why);
}

bool allUtf8(const csv::Record& record) {
    for (const std::string& field : record.fields)
        if (!platform::text::isUtf8(field)) return false;
    return true;
}

}  // namespace

bool groupToCsv(const data::FileGroup& group, std::string& out, CsvTextFault& fault) {
    out.clear();
    const std::vector<std::string> header = headerFields();
    csv::appendRecord(out, header);
    std::vector<std::string> row(kColumns);
    for (std::size_t f = 0; f < group.files.size(); ++f) {
        const data::CrackDataFile& file = group.files[f];
        row[kFile] = platform::text::displayPath(file.path);
        for (std::size_t k = 0; k < file.points.size(); ++k) {
            const data::MeasurePoint& p = file.points[k];
            // A damaged text would come back as replacement characters: refused, never changed.
            const std::optional<std::string> number = toUtf8(platform::text::fieldText(p.number));
            const std::optional<std::string> note = toUtf8(platform::text::fieldText(p.note));
            if (!number || !note) {
                fault = {static_cast<int>(f), static_cast<int>(k),
                         number ? kPointCsvHeader[kNote] : kPointCsvHeader[kNumber]};
                return false;
            }
            row[kOrdinal] = platform::text::format("%zu", k + 1);
            row[kNumber] = *number;
            row[kVelocity] = platform::text::format("%d", p.velocity);
            row[kDepth] = platform::text::format("%d", p.depth);
            row[kNote] = *note;
            csv::appendRecord(out, row);
        }
    }
    return true;
}

bool writeGroupCsv(const data::FileGroup& group, const std::string& path, CsvExportFailure& failure) {
    failure = {};
    std::string out;
    if (!groupToCsv(group, out, failure.text)) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(out.data());
    return platform::writeFileSafely(path, {bytes, out.size()}, failure.error);
}

bool csvToPoints(csv::Reader& reader, CsvPoints& out, CsvRefusal& refusal) {
    out = {};
    refusal = {};
    CsvPoints taken;
    std::set<std::string> files;
    csv::Record record;
    bool headerSeen = false;
    for (;;) {
        const csv::Reader::Result result = reader.next(record);
        if (result == csv::Reader::Result::Error) {
            if (reader.readFailed()) refusal.error = std::make_error_code(std::errc::io_error);
            return refuse(refusal, reader.errorLine(), reader.error());
        }
        if (result == csv::Reader::Result::End) break;
        if (!allUtf8(record)) return refuse(refusal, record.line, "the text is not UTF-8");
        if (!headerSeen) {
            if (record.fields != headerFields())
                return refuse(refusal, record.line,
                              "the first row is not the header 文件,序号,编号,声速(m/s),深度(mm),备注");
            headerSeen = true;
            continue;
        }
        if (record.fields.size() != kColumns)
            return refuse(refusal, record.line,
                          platform::text::format("%zu fields where the header has %d", record.fields.size(), kColumns));
        if (taken.points.size() == static_cast<std::size_t>(data::kMaxFileCount))
            return refuse(refusal, record.line,
                          platform::text::format("more than %d points, which a file cannot hold", data::kMaxFileCount));
        data::MeasurePoint point{};
        std::string why;
        if (!rowToPoint(record, point, why)) return refuse(refusal, record.line, why);
        taken.points.push_back(point);
        files.insert(record.fields[kFile]);
    }
    if (!headerSeen) return refuse(refusal, 1, "the header 文件,序号,编号,声速(m/s),深度(mm),备注 is missing");
    taken.fileCount = static_cast<int>(files.size());
    out = std::move(taken);
    return true;
}

bool readPointCsv(const std::string& path, CsvPoints& out, CsvRefusal& refusal) {
    out = {};
    refusal = {};
    const platform::UniqueFile file = platform::openRegularFile(path, refusal.error);
    if (!file) return false;
    csv::Reader reader = csv::Reader::fromFile(file.get(), kLimits);
    return csvToPoints(reader, out, refusal);
}

}  // namespace fendal::office
