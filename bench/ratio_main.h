#pragma once
// A benchmark main that runs every benchmark, then prints the ratio of benchmarks' times to
// baseline benchmarks' times measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

struct BenchRatio {
    std::string subject;
    std::string baseline;
    std::string label;
};

inline int runWithRatios(int argc, char** argv, const std::vector<BenchRatio>& ratios) {
    benchmark::Initialize(&argc, argv);
    struct Collect : benchmark::ConsoleReporter {
        std::map<std::string, double> times;
        void ReportRuns(const std::vector<Run>& runs) override {
            ConsoleReporter::ReportRuns(runs);
            for (const auto& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
        }
    } reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& r : ratios) {
        auto s = reporter.times.find(r.subject);
        auto b = reporter.times.find(r.baseline);
        if (s != reporter.times.end() && b != reporter.times.end() && b->second > 0)
            std::printf("ratio %s: %.2f\n", r.label.c_str(), s->second / b->second);
    }
    benchmark::Shutdown();
    return 0;
}

inline int runWithRatio(int argc, char** argv, const std::string& subject, const std::string& baseline,
                        const char* label) {
    return runWithRatios(argc, argv, {{subject, baseline, label}});
}
