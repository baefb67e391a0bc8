#include "office/csv_table.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/text.h"

namespace fendal::office {

namespace csv {
namespace {

constexpr std::size_t kBlock = 1 << 16;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

bool needsQuotes(std::string_view field) { return field.find_first_of(",\"\r\n") != std::string_view::npos; }

}  // namespace

void appendRecord(std::string& out, std::span<const std::string> fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        const std::string& field = fields[i];
        // A record of one empty field would read back as an empty line, which holds none.
        if (needsQuotes(field) || (fields.size() == 1 && field.empty())) {
            out += '"';
            for (char c : field) {
                if (c == '"') out += '"';
                out += c;
            }
            out += '"';
        } else {
            out += field;
        }
    }
    out += "\r\n";
}

Reader::Reader(Source source, Limits limits) : source_(std::move(source)), limits_(limits) {}

Reader Reader::fromText(std::string_view text, Limits limits) {
    return Reader(
        [text](char* buffer, std::size_t size) mutable -> std::ptrdiff_t {
            const std::size_t n = std::min(size, text.size());
            std::memcpy(buffer, text.data(), n);
            text.remove_prefix(n);
            return static_cast<std::ptrdiff_t>(n);
        },
        limits);
}

Reader Reader::fromFile(std::FILE* file, Limits limits) {
    return Reader(
        [file](char* buffer, std::size_t size) -> std::ptrdiff_t {
            const std::size_t n = std::fread(buffer, 1, size, file);
            if (n == 0 && std::ferror(file)) return -1;
            return static_cast<std::ptrdiff_t>(n);
        },
        limits);
}

// Makes `wanted` bytes ready at pos_, fewer only at the end.
bool Reader::fill(std::size_t wanted) {
    while (len_ - pos_ < wanted && !atEnd_) {
        if (pos_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + pos_, len_ - pos_);
            len_ -= pos_;
            pos_ = 0;
        }
        buffer_.resize(len_ + kBlock);
        const std::ptrdiff_t n = source_(buffer_.data() + len_, kBlock);
        if (n <= 0) {
            atEnd_ = true;
            readFailed_ = n < 0;
        } else {
            len_ += static_cast<std::size_t>(n);
        }
    }
    return len_ - pos_ >= wanted;
}

int Reader::peek() {
    if (pos_ == len_ && !fill(1)) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
}

bool Reader::lineEndFollows() {
    if (peek() == '\r' && fill(2) && buffer_[pos_ + 1] == '\n') skip();
    if (peek() != '\n') return false;
    skip();
    ++line_;
    return true;
}

bool Reader::add(std::string& field, int c) {
    if (field.size() >= limits_.maxFieldBytes) return false;
    field += static_cast<char>(c);
    return true;
}

Reader::Result Reader::fail(int line, std::string why) {
    errorLine_ = line;
    error_ = std::move(why);
    return Result::Error;
}

Reader::Result Reader::next(Record& record) {
    if (!started_) {
        started_ = true;
        if (fill(3) && std::memcmp(buffer_.data(), kByteOrderMark, 3) == 0) pos_ += 3;
    }
    for (;;) {
        bool blank = false;
        const Result result = readRecord(record, blank);
        if (result == Result::Record && readFailed_) return fail(record.line, "the file cannot be read to its end");
        if (result == Result::End && readFailed_) return fail(line_, "the file cannot be read to its end");
        if (result != Result::Record || !blank) return result;
        // An empty line holds no record.
    }
}

Reader::Result Reader::readRecord(Record& record, bool& blank) {
    record.fields.clear();
    record.line = line_;
    if (peek() == -1) return Result::End;
    bool quotedSeen = false;
    for (bool endOfRecord = false; !endOfRecord;) {
        if (record.fields.size() == limits_.maxFields)
            return fail(record.line, platform::text::format("a record of more than %zu fields", limits_.maxFields));
        std::string field;
        const bool quoted = peek() == '"';
        quotedSeen = quotedSeen || quoted;
        const Result result = quoted ? readQuoted(record.line, field, endOfRecord)
                                     : readPlain(record.line, field, endOfRecord);
        if (result == Result::Error) return result;
        record.fields.push_back(std::move(field));
    }
    // "" alone on a line is a record of one empty field, not an empty line.
    blank = !quotedSeen && record.fields.size() == 1 && record.fields[0].empty();
    return Result::Record;
}

Reader::Result Reader::readQuoted(int startLine, std::string& field, bool& endOfRecord) {
    skip();  // the opening quote
    for (;;) {
        const int c = peek();
        if (c == -1) return fail(startLine, "a quoted field has no closing quote");
        skip();
        if (c == '"') {
            if (peek() != '"') break;
            skip();  // a doubled quote stands for one
        } else if (c == '\n') {
            ++line_;
        }
        if (!add(field, c))
            return fail(startLine, platform::text::format("a field longer than %zu bytes", limits_.maxFieldBytes));
    }
    const int c = peek();
    if (c == ',') {
        skip();
    } else if (c == -1 || lineEndFollows()) {
        endOfRecord = true;
    } else {
        return fail(startLine, "text after the closing quote of a field");
    }
    return Result::Record;
}

Reader::Result Reader::readPlain(int startLine, std::string& field, bool& endOfRecord) {
    for (;;) {
        const int c = peek();
        if (c == -1 || lineEndFollows()) {
            endOfRecord = true;
            return Result::Record;
        }
        skip();
        if (c == ',') return Result::Record;
        if (c == '"') return fail(startLine, "a quote inside a field that does not start with one");
        if (!add(field, c))
            return fail(startLine, platform::text::format("a field longer than %zu bytes", limits_.maxFieldBytes));
    }
}

}  // namespace csv

}  // namespace fendal::office
