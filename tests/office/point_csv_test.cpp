// Points to CSV and back: every value a record holds returns exactly; a row that cannot become a
// point is refused with its line and nothing is taken.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <cstring>
#include <filesystem>

#include "office/csv_table.h"
#include "office/point_csv.h"
#include "platform/text.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

const std::string kHeader = "文件,序号,编号,声速(m/s),深度(mm),备注\r\n";

MeasurePoint point(const std::string& numberGbk, int32_t velocity, int32_t depth, const std::string& noteGbk) {
    MeasurePoint p{};
    EXPECT_TRUE(platform::text::setField(p.number, numberGbk));
    EXPECT_TRUE(platform::text::setField(p.note, noteGbk));
    p.velocity = velocity;
    p.depth = depth;
    return p;
}

std::string exported(const FileGroup& group) {
    std::string out;
    CsvTextFault fault;
    EXPECT_TRUE(groupToCsv(group, out, fault)) << fault.file << "/" << fault.point;
    return out;
}

bool imported(const std::string& text, CsvPoints& out, CsvRefusal& refusal) {
    csv::Reader reader = csv::Reader::fromText(text);
    return csvToPoints(reader, out, refusal);
}

std::vector<MeasurePoint> roundTrip(const FileGroup& group) {
    CsvPoints back;
    CsvRefusal refusal;
    EXPECT_TRUE(imported(exported(group), back, refusal)) << refusal.line << ": " << refusal.reason;
    return back.points;
}

// What a CSV carries of a point: everything but the reserved words and the hidden text.
void expectSameCsvFields(const std::vector<MeasurePoint>& a, const std::vector<MeasurePoint>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(a[i].number, b[i].number, sizeof a[i].number)) << i;
        EXPECT_EQ(a[i].velocity, b[i].velocity) << i;
        EXPECT_EQ(a[i].depth, b[i].depth) << i;
        EXPECT_EQ(0, std::memcmp(a[i].note, b[i].note, sizeof a[i].note)) << i;
    }
}

TEST(PointCsv, WritesTheHeaderThenOneRowPerPointWithItsFileAndPlace) {
    FileGroup group;
    group.files.push_back(sampleFile(2, "/data/桥梁 a.fsy"));
    group.files.push_back(CrackDataFile{});                      // a file without points has no rows
    group.files.push_back(sampleFile(1, "/data/\xC7\xC5.fsy"));  // a name in GBK bytes, as from Windows
    group.files.push_back(sampleFile(1, "/data/\xFF,x.fsy"));    // neither UTF-8 nor GBK
    group.files[0].points[1] = point("\xC1\xD1-1", -1, 0, "a,\"b\"\r\nc");
    EXPECT_EQ(exported(group), kHeader +
                                   "/data/桥梁 a.fsy,1,0001,3000,100,note 0\r\n"
                                   "/data/桥梁 a.fsy,2,裂-1,-1,0,\"a,\"\"b\"\"\r\nc\"\r\n"
                                   "/data/桥.fsy,1,0001,3000,100,note 0\r\n"
                                   "\"/data/\\xFF,x.fsy\",1,0001,3000,100,note 0\r\n");
}

TEST(PointCsv, EveryFieldAtItsLimitsComesBackExactly) {
    // 编号: 31 bytes of GBK (15 two-byte characters and one more byte); 备注: 199 bytes.
    std::string number31, note199;
    for (int i = 0; i < 15; ++i) number31 += "\xB2\xE2";  // 测
    number31 += "9";
    for (int i = 0; i < 99; ++i) note199 += "\xB7\xEC";  // 缝
    note199 += "!";
    std::string controls;  // every ASCII byte but NUL, quotes, commas and line breaks among them
    for (int c = 1; c < 128; ++c) controls += static_cast<char>(c);
    FileGroup group;
    group.files.push_back(CrackDataFile{});
    group.files[0].points = {point(number31, INT32_MAX, INT32_MIN, note199), point("", INT32_MIN, INT32_MAX, ""),
                             point("0", 0, 0, controls), point(" x ", 1, -1, "\r\n\r\r\n\n"), MeasurePoint{}};
    expectSameCsvFields(roundTrip(group), group.files[0].points);
}

TEST(PointCsv, EveryCharacterGbkHoldsComesBackExactly) {
    FileGroup group;
    group.files.push_back(CrackDataFile{});
    std::string note;
    auto flush = [&] {
        group.files[0].points.push_back(point("", 0, 0, note));
        note.clear();
    };
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
            if (!platform::text::gbkToUtf8Exact(c)) continue;
            ++characters;
            if (note.size() + 2 > 199) flush();
            note += c;
        }
    }
    flush();
    EXPECT_GT(characters, 21000);  // GB 2312 alone has 7445
    expectSameCsvFields(roundTrip(group), group.files[0].points);
}

TEST(PointCsv, AnExportOfTextThatIsNotGbkIsRefusedAndWritesNothing) {
    TempFolder dir;
    FileGroup group;
    group.files.push_back(sampleFile(2, "/a.fsy"));
    group.files.push_back(sampleFile(3, "/b.fsy"));
    group.files[1].points[2] = point("ok", 1, 1, "\xC1");  // a lead byte without its trail
    CsvExportFailure failure;
    EXPECT_FALSE(writeGroupCsv(group, dir.file("out.csv"), failure));
    EXPECT_EQ(failure.text.file, 1);
    EXPECT_EQ(failure.text.point, 2);
    EXPECT_STREQ(failure.text.field, "备注");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.csv")));

    group.files[1].points[2] = point("\xFF", 1, 1, "");
    EXPECT_FALSE(writeGroupCsv(group, dir.file("out.csv"), failure));
    EXPECT_STREQ(failure.text.field, "编号");

    // A folder that is not there: the system's reason.
    group.files[1].points[2] = point("ok", 1, 1, "");
    EXPECT_FALSE(writeGroupCsv(group, dir.file("none/out.csv"), failure));
    EXPECT_EQ(failure.text.field, nullptr);
    EXPECT_EQ(failure.error, std::errc::no_such_file_or_directory);
    ASSERT_TRUE(writeGroupCsv(group, dir.file("out.csv"), failure));
    const auto bytes = TempFolder::readAll(dir.file("out.csv"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), exported(group));
}

TEST(PointCsv, RowsOfSeveralFilesBecomeOneListInTheirOrder) {
    const std::string text = std::string("\xEF\xBB\xBF") + kHeader +
                             "b.fsy,1,B1,10,1,\n"
                             "a.fsy,1,A1,20,2,\n"
                             "b.fsy,7,B2,30,3,\n";
    CsvPoints out;
    CsvRefusal refusal;
    ASSERT_TRUE(imported(text, out, refusal)) << refusal.reason;
    EXPECT_EQ(out.fileCount, 2);
    ASSERT_EQ(out.points.size(), 3u);
    EXPECT_STREQ(out.points[0].number, "B1");
    EXPECT_STREQ(out.points[1].number, "A1");
    EXPECT_STREQ(out.points[2].number, "B2");  // 序号 does not reorder
    EXPECT_EQ(out.points[2].velocity, 30);

    ASSERT_TRUE(imported(kHeader, out, refusal));  // the header alone: a file without points
    EXPECT_TRUE(out.points.empty());
}

TEST(PointCsv, RowsThatCannotBecomePointsAreRefusedWithTheirLine) {
    struct Case {
        std::string text;
        int line;
        std::string reason;
    };
    const std::string ok = "f,1,N,1,1,note\r\n";
    const std::string longNumber(32, '9'), longNote(200, 'x');
    const Case cases[] = {
        {"", 1, "the header 文件,序号,编号,声速(m/s),深度(mm),备注 is missing"},
        {"\r\n\r\n", 1, "the header 文件,序号,编号,声速(m/s),深度(mm),备注 is missing"},
        {"文件,序号,编号,声速,深度(mm),备注\r\n" + ok, 1,
         "the first row is not the header 文件,序号,编号,声速(m/s),深度(mm),备注"},
        {ok, 1, "the first row is not the header 文件,序号,编号,声速(m/s),深度(mm),备注"},
        {kHeader + ok + "f,2,N,1,1\r\n", 3, "5 fields where the header has 6"},
        {kHeader + ok + "f,2,N,1,1,n,\r\n", 3, "7 fields where the header has 6"},
        {kHeader + ok + "f,1,N,fast,1,\r\n", 3, "声速(m/s) \"fast\" is not a whole number"},
        {kHeader + "f,1,N,1,,\r\n", 2, "深度(mm) \"\" is not a whole number"},
        {kHeader + "f,1,N,1, 1,\r\n", 2, "深度(mm) \" 1\" is not a whole number"},
        {kHeader + "f,1,N,+1,1,\r\n", 2, "声速(m/s) \"+1\" is not a whole number"},
        {kHeader + "f,1,N,1.5,1,\r\n", 2, "声速(m/s) \"1.5\" is not a whole number"},
        {kHeader + "f,1,N,-,1,\r\n", 2, "声速(m/s) \"-\" is not a whole number"},
        {kHeader + "f,x,N,1,1,\r\n", 2, "序号 \"x\" is not a whole number"},
        {kHeader + "f,\"\x1B]0;x\x07\",N,1,1,\r\n", 2, "序号 is not a whole number"},  // not sent to a terminal
        {kHeader + "f,1,N,2147483648,1,\r\n", 2, "声速(m/s) \"2147483648\" lies outside -2147483648..2147483647"},
        {kHeader + "f,1,N,1,-2147483649,\r\n", 2, "深度(mm) \"-2147483649\" lies outside -2147483648..2147483647"},
        {kHeader + "f,1,N,1,99999999999999999999999,\r\n", 2,
         "深度(mm) \"99999999999999999999999\" lies outside -2147483648..2147483647"},
        {kHeader + "f,0,N,1,1,\r\n", 2, "序号 \"0\" lies outside 1..99999"},
        {kHeader + "f,100000,N,1,1,\r\n", 2, "序号 \"100000\" lies outside 1..99999"},
        {kHeader + ok + "f,2,N,1,1,emoji 😀\r\n", 3, "备注 holds a character that GBK cannot hold"},
        {kHeader + "f,1,한,1,1,\r\n", 2, "编号 holds a character that GBK cannot hold"},
        {kHeader + "f,1," + longNumber + ",1,1,\r\n", 2,
         "编号 takes 32 bytes in GBK, more than the 31 its field holds"},
        {kHeader + "f,1,N,1,1," + longNote + "\r\n", 2,
         "备注 takes 200 bytes in GBK, more than the 199 its field holds"},
        {kHeader + "f,1,N,1,1,\"" + std::string(100, '\xE8') + "\"\r\n", 2, "the text is not UTF-8"},
        {kHeader + "f,1,N,1,1,\"a" + std::string(1, '\0') + "b\"\r\n", 2,
         "备注 holds a NUL character, which would cut it short"},
        {kHeader + ok + "f,2,N,1,1,\"a\r\nb\r\n" + ok, 3, "a quoted field has no closing quote"},
        {kHeader + "f,1,N,1,1,\"a\r\nb\"\r\nf,2,N,1,1,\xC1\xD1\r\n", 4, "the text is not UTF-8"},
        {std::string("文件,序号,编号,声速(m/s),深度(mm),\xB1\xB8\xD7\xA2\r\n"), 1, "the text is not UTF-8"},
    };
    for (const Case& c : cases) {
        CsvPoints out;
        out.points.push_back(MeasurePoint{});
        CsvRefusal refusal;
        EXPECT_FALSE(imported(c.text, out, refusal)) << c.text;
        EXPECT_EQ(refusal.line, c.line) << c.text;
        EXPECT_EQ(refusal.reason, c.reason) << c.text;
        EXPECT_TRUE(out.points.empty()) << c.text;  // nothing is taken
    }
}

TEST(PointCsv, AFileHoldsAtMost99999Points) {
    std::string text = kHeader;
    for (int i = 1; i <= kMaxFileCount; ++i) text += "f," + std::to_string(i) + ",N,1,1,\r\n";
    CsvPoints out;
    CsvRefusal refusal;
    ASSERT_TRUE(imported(text, out, refusal)) << refusal.reason;
    EXPECT_EQ(out.points.size(), 99999u);
    text += "f,1,N,1,1,\r\n";
    EXPECT_FALSE(imported(text, out, refusal));
    EXPECT_EQ(refusal.line, 100001);
    EXPECT_EQ(refusal.reason, "more than 99999 points, which a file cannot hold");
}

TEST(PointCsv, OnlyARegularFileIsRead) {
    TempFolder dir;
    CsvPoints out;
    CsvRefusal refusal;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readPointCsv(dir.file("fifo"), out, refusal));  // at once, without a writer
    EXPECT_TRUE(refusal.error);
    EXPECT_FALSE(readPointCsv(dir.path().string(), out, refusal));
    EXPECT_TRUE(refusal.error);
    EXPECT_FALSE(readPointCsv(dir.file("none.csv"), out, refusal));
    EXPECT_EQ(refusal.error, std::errc::no_such_file_or_directory);

    TempFolder::writeAll(dir.file("a.csv"), {});
    EXPECT_FALSE(readPointCsv(dir.file("a.csv"), out, refusal));
    EXPECT_FALSE(refusal.error);
    EXPECT_EQ(refusal.line, 1);
}

}  // namespace
