// Every reader of outside data gets a few thousand mutated files in the normal test suite (the
// sanitizer build runs it too): valid files with bytes flipped, counts and lengths set to
// edge values, cut short or lengthened.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

#include "data/crack_file_io.h"
#include "data/received_data.h"
#include "office/point_block.h"
#include "print/print_settings_file.h"
#include "reader_checks.h"
#include "support/sample_points.h"
#include "support/temp_folder.h"

using namespace fendal;
using namespace fendal::data;
using namespace fendal::office;
using namespace fendal::print;

namespace {

using Bytes = std::vector<unsigned char>;

class Mutator {
public:
    explicit Mutator(unsigned seed) : random_(seed) {}

    // One or a few random changes; `countAt` lists offsets of little-endian int32 counts.
    Bytes mutate(Bytes b, const std::vector<std::size_t>& countAt) {
        const int changes = 1 + pick(3);
        for (int c = 0; c < changes; ++c) {
            switch (pick(5)) {
            case 0:
                if (!b.empty()) b[pick(b.size())] ^= static_cast<unsigned char>(1 + pick(255));
                break;
            case 1:
                if (!countAt.empty()) {
                    // Mostly small, sometimes the limits and past them.
                    static const int32_t edges[] = {0, 1,  2,      3,      -1,     -6,      5,
                                                    7, 13, 100000, 120006, 120001, INT_MAX, INT_MIN};
                    int32_t v = pick(40) == 0 ? 99999 : edges[pick(std::size(edges))];
                    std::size_t at = countAt[pick(countAt.size())];
                    if (at + 4 <= b.size()) std::memcpy(&b[at], &v, 4);
                }
                break;
            case 2: b.resize(pick(b.size() + 1)); break;
            case 3: b.resize(b.size() + pick(600), static_cast<unsigned char>(pick(256))); break;
            default:
                if (!b.empty()) {
                    const std::size_t at = pick(b.size());  // a run of text without terminator
                    std::memset(&b[at], 'x', std::min<std::size_t>(b.size() - at, 1 + pick(300)));
                }
            }
        }
        return b;
    }

private:
    std::size_t pick(std::size_t n) { return n ? std::uniform_int_distribution<std::size_t>(0, n - 1)(random_) : 0; }
    std::mt19937 random_;
};

class MutatedFiles : public ::testing::Test {
protected:
    // Writes each mutation to a file and hands its path to `check`.
    template <class Check>
    void run(const Bytes& seed, const std::vector<std::size_t>& countAt, int rounds, Check check) {
        Mutator mutator(12345);
        const std::string path = dir.file("mutated");
        for (int i = 0; i < rounds; ++i) {
            const Bytes input = mutator.mutate(seed, countAt);
            TempFolder::writeAll(path, input);
            ASSERT_TRUE(check(path, input)) << "round " << i << ", " << input.size() << " bytes";
        }
    }
    TempFolder dir;
};

TEST_F(MutatedFiles, CrackDataFileReader) {
    CrackDataFile f = sampleFile(3, dir.file("seed.fsy"));
    f.points.pop_back();
    ASSERT_TRUE(writeCrackFile(f));
    run(TempFolder::readAll(f.path), {17, 21}, 1500, [](const std::string& path, const Bytes& in) {
        return reader_checks::crackFile(path) && reader_checks::crackFileBytes(in.data(), in.size());
    });
}

TEST_F(MutatedFiles, ReceivedDataImport) {
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < 12; ++i) records.push_back(demoRecord(i));
    ASSERT_TRUE(writeReceivedDataFile(dir.file("seed.tem"), records));
    run(TempFolder::readAll(dir.file("seed.tem")), {0}, 2000, [](const std::string& path, const Bytes& in) {
        return reader_checks::receivedDataFile(path) && reader_checks::receivedDataBytes(in.data(), in.size());
    });
}

TEST_F(MutatedFiles, PrintSettingsReader) {
    PrintSettings s;
    s.headerText = "页眉";
    s.footerText = "footer";
    PrintSettingsImage image;
    ASSERT_TRUE(encodePrintSettings(s, image));
    run(Bytes(image.begin(), image.end()), {430, 434, 438}, 2000, [](const std::string& path, const Bytes& in) {
        return reader_checks::printSettingsFile(path) && reader_checks::printSettingsBytes(in.data(), in.size());
    });
}

TEST_F(MutatedFiles, ClipboardBlock) {
    const PointBlock block = encodePointBlock(samplePoint(4, "裂缝"));
    Mutator mutator(99);
    for (int i = 0; i < 3000; ++i) {
        const Bytes input = mutator.mutate(Bytes(block.begin(), block.end()), {32, 40});
        ASSERT_TRUE(reader_checks::pointBlockBytes(input.data(), input.size())) << "round " << i;
    }
}

}  // namespace
