// Records written and read back as RFC 4180 has them, and records that cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "office/csv_table.h"

using namespace fendal;
using namespace fendal::office;

namespace {

using Fields = std::vector<std::string>;

std::vector<csv::Record> readAll(csv::Reader reader) {
    std::vector<csv::Record> records;
    csv::Record r;
    for (;;) {
        const auto result = reader.next(r);
        if (result == csv::Reader::Result::End) break;
        EXPECT_EQ(result, csv::Reader::Result::Record) << reader.errorLine() << ": " << reader.error();
        if (result != csv::Reader::Result::Record) break;
        records.push_back(r);
    }
    return records;
}

// A source that hands out one byte per read, so every look-ahead crosses a refill.
csv::Reader byteByByte(const std::string& text, csv::Limits limits = {}) {
    return csv::Reader(
        [text, pos = std::size_t{0}](char* buffer, std::size_t) mutable -> std::ptrdiff_t {
            if (pos == text.size()) return 0;
            buffer[0] = text[pos++];
            return 1;
        },
        limits);
}

struct Failure {
    int line;
    std::string error;
};

Failure firstFailure(csv::Reader reader) {
    csv::Record r;
    for (;;) {
        const auto result = reader.next(r);
        if (result == csv::Reader::Result::Error) return {reader.errorLine(), reader.error()};
        if (result == csv::Reader::Result::End) return {0, {}};
    }
}

TEST(CsvTable, QuotesOnlyWhatNeedsItAndEndsRecordsWithCrLf) {
    std::string out;
    csv::appendRecord(out, Fields{"plain", "a,b", "say \"hi\"", "two\r\nlines", "lf\nonly", "cr\ronly", ""});
    EXPECT_EQ(out, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\",\"lf\nonly\",\"cr\ronly\",\r\n");
    out.clear();
    csv::appendRecord(out, Fields{""});  // else it would read back as an empty line
    EXPECT_EQ(out, "\"\"\r\n");
}

TEST(CsvTable, EveryFieldComesBackAndEachRecordKnowsItsFirstLine) {
    const std::vector<Fields> records = {
        {"plain", "a,b", "say \"hi\"", "\"", "\"\"", ",", ""},
        {"two\r\nlines", "lf\nonly", "cr\ronly", "\r\n\r\n", " spaced ", "中文"},
        {""},
        {"", ""},
        {"last"},
    };
    std::string text;
    for (const auto& r : records) csv::appendRecord(text, r);
    for (auto reader : {csv::Reader::fromText(text), byteByByte(text)}) {
        const auto back = readAll(std::move(reader));
        ASSERT_EQ(back.size(), records.size());
        std::vector<int> lines;
        for (std::size_t i = 0; i < back.size(); ++i) {
            EXPECT_EQ(back[i].fields, records[i]) << i;
            lines.push_back(back[i].line);
        }
        // The second record spans five lines: its fields hold four line feeds.
        EXPECT_EQ(lines, (std::vector<int>{1, 2, 7, 8, 9}));
    }
}

TEST(CsvTable, TakesLfLineEndsAByteOrderMarkAndNoFinalLineEnd) {
    for (const std::string& text : {std::string("a,b\nc,d"),
                                    std::string("\xEF\xBB\xBF"
                                                "a,b\r\nc,d\r\n"),
                                    std::string("a,b\n\r\n\nc,d\n\n")}) {
        for (auto reader : {csv::Reader::fromText(text), byteByByte(text)}) {
            const auto back = readAll(std::move(reader));
            ASSERT_EQ(back.size(), 2u) << text;
            EXPECT_EQ(back[0].fields, (Fields{"a", "b"}));
            EXPECT_EQ(back[1].fields, (Fields{"c", "d"}));
        }
    }
    // Blank lines count, so a later record still names its own line.
    EXPECT_EQ(readAll(csv::Reader::fromText("a\n\n\nb\n"))[1].line, 4);
    // A mark anywhere else is text, and a text starting like one is not cut.
    EXPECT_EQ(readAll(csv::Reader::fromText("a\n\xEF\xBB\xBF"
                                            "b\n"))[1]
                  .fields[0],
              "\xEF\xBB\xBF"
              "b");
    EXPECT_EQ(readAll(csv::Reader::fromText("\xEF\xBD\x85"))[0].fields[0], "\xEF\xBD\x85");
    EXPECT_TRUE(readAll(csv::Reader::fromText("")).empty());
}

TEST(CsvTable, BadRecordsAreRefusedWithTheLineTheyStartOn) {
    struct Case {
        std::string text;
        int line;
        std::string error;
    };
    const Case cases[] = {
        {"a,b\r\nc,\"op\r\nen\r\n", 2, "a quoted field has no closing quote"},
        {"a\n\"x\"y,b\n", 2, "text after the closing quote of a field"},
        {"a\n\"x\"\rb\n", 2, "text after the closing quote of a field"},
        {"a\n\"two\nlines\" ,b\n", 2, "text after the closing quote of a field"},
        {"a\nb,x\"y\"\n", 2, "a quote inside a field that does not start with one"},
        {"a\n\n" + std::string(11, 'x') + "\n", 3, "a field longer than 10 bytes"},
        {"a\n\"" + std::string(11, 'x') + "\"\n", 2, "a field longer than 10 bytes"},
        {"a\n,,,\n", 2, "a record of more than 3 fields"},
    };
    const csv::Limits limits{.maxFieldBytes = 10, .maxFields = 3};
    for (const Case& c : cases) {
        for (auto reader : {csv::Reader::fromText(c.text, limits), byteByByte(c.text, limits)}) {
            const Failure f = firstFailure(std::move(reader));
            EXPECT_EQ(f.line, c.line) << c.text;
            EXPECT_EQ(f.error, c.error) << c.text;
        }
    }
    // The limits hold exactly: ten bytes and three fields are taken.
    EXPECT_EQ(readAll(csv::Reader::fromText(std::string(10, 'x') + ",,", limits)).size(), 1u);
}

TEST(CsvTable, AReadErrorIsNotTakenForTheEndOfTheFile) {
    int calls = 0;
    csv::Reader reader([&](char* buffer, std::size_t) -> std::ptrdiff_t {
        if (calls++ > 0) return -1;
        std::copy_n("a,b\nc,", 6, buffer);
        return 6;
    });
    csv::Record r;
    ASSERT_EQ(reader.next(r), csv::Reader::Result::Record);
    EXPECT_EQ(reader.next(r), csv::Reader::Result::Error);  // "c," was cut off, not the last record
    EXPECT_EQ(reader.errorLine(), 2);
    EXPECT_TRUE(reader.readFailed());
}

}  // namespace
