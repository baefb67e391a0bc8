#pragma once
// A PDF file with cross-reference tables, as far as putting some of its objects right needs:
// its objects by number, and new versions of them appended as an incremental update, which
// leaves every byte already written as it is.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_file.h"

namespace fendal::print {

class PdfFile {
public:
    struct Object {
        long long number = 0;
        long long generation = 0;
        long long offset = 0;
        long long room = 0;  // bytes up to whatever the file holds next
    };

    // Opens the file for reading and updating and reads its cross-reference tables and trailer.
    // False with `error` when it is not a regular file, cannot be opened for both, or does not
    // end in a cross-reference table.
    bool open(const std::string& path, std::string& error);

    // In-use objects, in file order.
    const std::vector<Object>& objects() const { return objects_; }
    const Object* find(long long number) const;

    // What an object holds between "n g obj" and "endobj"; nullopt when it cannot be read or
    // is not that object. Only objects of at most `maxRoom` bytes are read.
    std::optional<std::string> body(const Object& object, long long maxRoom = 1 << 26) const;
    // The data of a stream object's body (dictionary, "stream", data, "endstream") with a
    // direct or indirect /Length; nullopt when the body is not an unfiltered stream.
    std::optional<std::string> streamData(const std::string& stored) const;

    // New bodies for existing objects, appended with their own cross-reference section. The
    // file is not read any more afterwards.
    bool appendUpdate(const std::map<long long, std::string>& bodies, std::string& error);

private:
    bool readAt(long long offset, long long size, std::string& out) const;
    bool readSection(long long offset, std::map<long long, Object>& entries, std::string& trailer, std::string& error);

    std::string path_;
    platform::UniqueFile file_;
    long long size_ = 0;
    long long lastSection_ = 0;
    std::string trailer_;  // the newest trailer dictionary
    std::vector<Object> objects_;
    std::map<long long, std::size_t> byNumber_;
};

}  // namespace fendal::print
