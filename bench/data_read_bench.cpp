// Crack data files of 99999 current + 99999 received points read and written against plain reads
// and writes of the same bytes, and the import of 20000 received points.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "data/crack_file_io.h"
#include "data/fendal_doc.h"
#include "data/received_data.h"
#include "platform/text.h"
#include "ratio_main.h"

using namespace fendal;
using namespace fendal::data;

namespace {

namespace fs = std::filesystem;

fs::path benchDir() {
    static fs::path dir = [] {
        auto d = fs::temp_directory_path() / "fendal-data-bench";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

const CrackDataFile& bigGroupFile() {
    static CrackDataFile f = [] {
        CrackDataFile file;
        file.path = (benchDir() / "big.fsy").string();
        for (int i = 0; i < kMaxFileCount; ++i) {
            MeasurePoint m{};
            platform::text::setField(m.number, platform::text::format("%04d", i));
            m.velocity = 3000 + i % 1000;
            m.depth = i % 400;
            file.points.push_back(m);
        }
        file.receivedPoints = file.points;
        writeCrackFile(file);
        return file;
    }();
    return f;
}

std::size_t bigSize() { return fs::file_size(bigGroupFile().path); }

void readPlain(std::vector<char>& buf) {
    std::FILE* f = std::fopen(bigGroupFile().path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), f));
    std::fclose(f);
}

// One plain read into memory that is already there.
void BM_PlainRead(benchmark::State& state) {
    std::vector<char> buf(bigSize());
    for (auto _ : state) readPlain(buf);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buf.size()));
}

// One plain read into fresh memory, which a reader of a new file must allocate anyway.
void BM_PlainReadFresh(benchmark::State& state) {
    for (auto _ : state) {
        std::vector<char> buf(bigSize());
        readPlain(buf);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bigSize()));
}

void BM_ReadCrackFile(benchmark::State& state) {
    for (auto _ : state) {
        CrackDataFile f;
        readCrackFile(bigGroupFile().path, f);
        benchmark::DoNotOptimize(f.points.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bigSize()));
}

// One plain write of the same bytes, flushed to disk as a save is.
void BM_PlainWrite(benchmark::State& state) {
    std::vector<char> buf(bigSize(), 'x');
    std::string path = (benchDir() / "plain.bin").string();
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        benchmark::DoNotOptimize(::write(fd, buf.data(), buf.size()));
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(buf.size()));
}

void BM_WriteCrackFile(benchmark::State& state) {
    CrackDataFile f = bigGroupFile();
    f.path = (benchDir() / "written.fsy").string();
    for (auto _ : state) writeCrackFile(f);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bigSize()));
}

struct SilentUi : DocUi {
    MsgAnswer messageBox(const std::string&, const std::string&, MsgButtons, MsgIcon) override { return MsgAnswer::Ok; }
    std::optional<std::vector<std::string>> chooseOpenFiles(const FileDialogOptions&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileDialogOptions&) override { return {}; }
    bool chooseGroupSave(GroupSaveRequest&) override { return false; }
    void addToRecentFiles(const std::string&) override {}
};

void BM_Import20000(benchmark::State& state) {
    std::string path = (benchDir() / "received.tem").string();
    std::vector<ReceivedRecord> records;
    for (int i = 0; i < kMaxReceivedPoints; ++i) records.push_back(demoRecord(i));
    writeReceivedDataFile(path, records);
    SilentUi ui;
    CFendalDoc doc(ui);
    for (auto _ : state) benchmark::DoNotOptimize(doc.importReceivedData(path));
    state.SetItemsProcessed(state.iterations() * kMaxReceivedPoints);
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCrackFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCrackFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import20000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    int rc = runWithRatios(
        argc, argv,
        {{"BM_ReadCrackFile", "BM_PlainRead", "readCrackFile / one plain read"},
         {"BM_ReadCrackFile", "BM_PlainReadFresh", "readCrackFile / one plain read into fresh memory"},
         {"BM_WriteCrackFile", "BM_PlainWrite", "writeCrackFile / one plain write"}});
    std::error_code ec;
    fs::remove_all(benchDir(), ec);
    return rc;
}
