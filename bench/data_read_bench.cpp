// Reading a crack data file of 2 x 99999 records against reading the same bytes into fresh
// memory, which any reader has to do: decoding should cost little beyond that.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "data/crack_file_io.h"
#include "platform/text.h"
#include "ratio_main.h"

namespace {

const std::string& bigFile() {
    static std::string path = [] {
        auto p = (std::filesystem::temp_directory_path() / "fendal-bench-big.fsy").string();
        CrackDataFile f;
        f.path = p;
        for (int i = 0; i < kMaxFileCount; ++i) {
            MeasurePoint m{};
            text::setField(m.number, text::format("%04d", i));
            m.velocity = 3000 + i % 1000;
            m.depth = i % 400;
            f.points.push_back(m);
        }
        f.receivedPoints = f.points;
        writeCrackFile(f);
        return p;
    }();
    return path;
}

void BM_RawRead(benchmark::State& state) {
    const auto size = std::filesystem::file_size(bigFile());
    for (auto _ : state) {
        std::vector<char> buf(size);
        std::FILE* f = std::fopen(bigFile().c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buf.data(), 1, buf.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void BM_ReadCrackFile(benchmark::State& state) {
    for (auto _ : state) {
        CrackDataFile f;
        readCrackFile(bigFile(), f);
        benchmark::DoNotOptimize(f.points.data());
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(std::filesystem::file_size(bigFile())));
}

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCrackFile)->Unit(benchmark::kMillisecond);

}  // namespace

// Reports the ratio of the decoding read to the raw read, measured in this run.
int main(int argc, char** argv) {
    int rc = runWithRatio(argc, argv, "BM_ReadCrackFile", "BM_RawRead", "readCrackFile / raw read");
    std::remove(bigFile().c_str());
    return rc;
}
