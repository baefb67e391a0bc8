// Random groups out and back, and damaged CSVs in: whatever the bytes, a CSV is either taken
// whole with points that fit their records, or refused with a line it has and nothing taken,
// and the answer does not depend on how the bytes arrive.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>

#include "office/csv_table.h"
#include "office/point_csv.h"
#include "platform/text.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;

namespace {

class Random {
public:
    explicit Random(unsigned seed) : engine_(seed) {}
    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    int32_t int32() {
        static const int32_t edges[] = {0, 1, -1, INT32_MAX, INT32_MIN, 99999, 100000};
        return below(4) == 0 ? edges[below(7)] : static_cast<int32_t>(engine_());
    }
    // GBK text of at most `max` bytes: ASCII (line breaks, quotes and commas among it) and
    // two-byte characters.
    std::string gbk(std::size_t max) {
        static const char* const pieces[] = {"a",        "7",        ",",        "\"",       "\r",
                                             "\n",       " ",        "\t",       "\xC1\xD1", "\xB7\xEC",
                                             "\xA1\xA1", "\x81\x40", "\xFE\x4F", "\xA3\xAC"};
        std::string s;
        const std::size_t wanted = static_cast<std::size_t>(below(static_cast<int>(max) + 1));
        while (true) {
            const std::string piece = pieces[below(std::size(pieces))];
            if (s.size() + piece.size() > wanted) return s;
            s += piece;
        }
    }
    std::string pathBytes() {
        std::string s = "/d/";
        for (int i = below(12); i > 0; --i) s += static_cast<char>(1 + below(255));
        return s;
    }

private:
    std::mt19937 engine_;
};

bool read(csv::Reader reader, CsvPoints& out, CsvRefusal& refusal) { return csvToPoints(reader, out, refusal); }

csv::Reader byteByByte(const std::string& text) {
    return csv::Reader([text, pos = std::size_t{0}](char* buffer, std::size_t) mutable -> std::ptrdiff_t {
        if (pos == text.size()) return 0;
        buffer[0] = text[pos++];
        return 1;
    });
}

TEST(PointCsvRandom, RandomGroupsComeBackPointForPoint) {
    Random random(20261209);
    for (int round = 0; round < 300; ++round) {
        FileGroup group;
        std::vector<MeasurePoint> all;
        for (int f = random.below(4); f > 0; --f) {
            CrackDataFile file;
            file.path = random.pathBytes();
            for (int k = random.below(12); k > 0; --k) {
                MeasurePoint p{};
                ASSERT_TRUE(platform::text::setField(p.number, random.gbk(31)));
                ASSERT_TRUE(platform::text::setField(p.note, random.gbk(199)));
                p.velocity = random.int32();
                p.depth = random.int32();
                file.points.push_back(p);
                all.push_back(p);
            }
            group.files.push_back(file);
        }
        std::string text;
        CsvTextFault fault;
        ASSERT_TRUE(groupToCsv(group, text, fault));
        ASSERT_TRUE(platform::text::isUtf8(text)) << round;
        CsvPoints back;
        CsvRefusal refusal;
        ASSERT_TRUE(read(csv::Reader::fromText(text), back, refusal))
            << round << ": " << refusal.line << " " << refusal.reason;
        ASSERT_EQ(back.points.size(), all.size()) << round;
        for (std::size_t i = 0; i < all.size(); ++i)
            ASSERT_EQ(0, std::memcmp(&back.points[i], &all[i], sizeof(MeasurePoint))) << round << "/" << i;
    }
}

TEST(PointCsvRandom, DamagedCsvsAreTakenWholeOrRefusedWithALineTheyHave) {
    const std::string seed =
        "文件,序号,编号,声速(m/s),深度(mm),备注\r\n"
        "/a.fsy,1,0001,3000,120,\"say \"\"a,b\"\"\r\nnext\"\r\n"
        "/a.fsy,2,裂缝,-5,0,\r\n"
        "\"/b,c.fsy\",1,,2147483647,-2147483648,note\n";
    const char inserts[] = {'"', ',', '\r', '\n', '\0', '\xE8', '\xC1', '-', '9', ' '};
    Random random(4181);
    int taken = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string text = seed;
        for (int changes = 1 + random.below(3); changes > 0; --changes) {
            const std::size_t at = static_cast<std::size_t>(random.below(static_cast<int>(text.size()) + 1));
            switch (random.below(4)) {
            case 0: text.insert(at, 1, inserts[random.below(std::size(inserts))]); break;
            case 1:
                if (at < text.size()) text.erase(at, 1);
                break;
            case 2:
                if (at < text.size()) text[at] = inserts[random.below(std::size(inserts))];
                break;
            default: text.resize(at);
            }
        }
        CsvPoints out, out2;
        CsvRefusal refusal, refusal2;
        const bool ok = read(csv::Reader::fromText(text), out, refusal);
        ASSERT_EQ(read(byteByByte(text), out2, refusal2), ok) << round;
        ASSERT_EQ(refusal.line, refusal2.line) << round;
        ASSERT_EQ(out.points.size(), out2.points.size()) << round;
        if (ok) {
            ++taken;
            for (const MeasurePoint& p : out.points) {
                ASSERT_NE(std::memchr(p.number, 0, sizeof p.number), nullptr) << round;
                ASSERT_NE(std::memchr(p.note, 0, sizeof p.note), nullptr) << round;
            }
        } else {
            const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            ASSERT_GE(refusal.line, 1) << round;
            ASSERT_LE(refusal.line, lines) << round;
            ASSERT_FALSE(refusal.reason.empty()) << round;
            ASSERT_TRUE(out.points.empty()) << round;
        }
    }
    EXPECT_GT(taken, 100);  // the damage does not always break the file
}

}  // namespace
