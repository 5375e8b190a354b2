#pragma once

// Prints the usual console report and keeps every benchmark's CPU time, so a benchmark
// can print ratios between runs measured in the same process.
#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace velmora {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            Times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // a's time over b's; 0 when either is missing.
    double Ratio(const std::string& a, const std::string& b) const {
        const auto x = Times.find(a);
        const auto y = Times.find(b);
        return x == Times.end() || y == Times.end() || y->second <= 0 ? 0 : x->second / y->second;
    }
    std::map<std::string, double> Times;
};

} // namespace velmora
