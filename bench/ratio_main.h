#pragma once
// A benchmark main that runs every benchmark, then prints the ratio of one benchmark's time to a
// baseline benchmark's time measured in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

inline int runWithRatio(int argc, char** argv, const std::string& subject, const std::string& baseline,
                        const char* label) {
    benchmark::Initialize(&argc, argv);
    struct Collect : benchmark::ConsoleReporter {
        std::string subjectName, baselineName;
        double subject = 0, baseline = 0;
        void ReportRuns(const std::vector<Run>& runs) override {
            ConsoleReporter::ReportRuns(runs);
            for (const auto& r : runs) {
                if (r.benchmark_name() == subjectName) subject = r.GetAdjustedRealTime();
                if (r.benchmark_name() == baselineName) baseline = r.GetAdjustedRealTime();
            }
        }
    } reporter;
    reporter.subjectName = subject;
    reporter.baselineName = baseline;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (reporter.baseline > 0) std::printf("ratio %s: %.2f\n", label, reporter.subject / reporter.baseline);
    benchmark::Shutdown();
    return 0;
}
