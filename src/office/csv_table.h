#pragma once
// Comma-separated values as RFC 4180 has them: records end in CRLF, a field holding a comma, a
// quote or a line break stands in quotes with its quotes doubled. Reading also takes LF line
// ends and a UTF-8 byte order mark before the first record.
#include <cstddef>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fendal::office {

namespace csv {

// Appends one record with its CRLF, quoting the fields that need it.
void appendRecord(std::string& out, std::span<const std::string> fields);

// What one record may hold at most, so that a damaged or hostile file cannot take all memory.
struct Limits {
    std::size_t maxFieldBytes = 1 << 16;
    std::size_t maxFields = 64;
};

struct Record {
    int line = 0;  // the physical line (from 1) the record starts on
    std::vector<std::string> fields;
};

// Reads records one by one from a stream of bytes. Lines that are entirely empty hold no
// record and are passed over.
class Reader {
public:
    // Fills up to `size` bytes: how many it gave, 0 at the end, -1 when reading failed.
    using Source = std::function<std::ptrdiff_t(char* buffer, std::size_t size)>;

    Reader(Source source, Limits limits = {});
    static Reader fromText(std::string_view text, Limits limits = {});
    static Reader fromFile(std::FILE* file, Limits limits = {});

    enum class Result { Record, End, Error };
    Result next(Record& record);

    // After Error: the line the bad record starts on, and why it cannot be read.
    int errorLine() const { return errorLine_; }
    const std::string& error() const { return error_; }
    // Whether the error is the source's: the bytes could not be read.
    bool readFailed() const { return readFailed_; }

private:
    int peek();  // the next byte, or -1 at the end (or where reading failed)
    void skip() { ++pos_; }
    bool fill(std::size_t wanted);
    Result readRecord(Record& record, bool& blank);
    Result readQuoted(int startLine, std::string& field, bool& endOfRecord);
    Result readPlain(int startLine, std::string& field, bool& endOfRecord);
    bool lineEndFollows();  // takes a LF or CRLF, if one is next
    bool add(std::string& field, int c);
    Result fail(int line, std::string why);

    Source source_;
    Limits limits_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool atEnd_ = false;
    bool readFailed_ = false;
    bool started_ = false;  // the byte order mark has been looked for
    int line_ = 1;
    int errorLine_ = 0;
    std::string error_;
};

}  // namespace csv

}  // namespace fendal::office
