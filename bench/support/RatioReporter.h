#pragma once

// Prints the usual console report and keeps every benchmark's CPU and wall time, so a
// benchmark can print ratios between runs measured in the same process. Wall time is what
// counts for work done in a child process or waiting on the disk.
#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace velmora {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            RealTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // a's time over b's; 0 when either is missing.
    double Ratio(const std::string& a, const std::string& b) const { return RatioIn(Times, a, b); }
    // The same over wall times.
    double RealRatio(const std::string& a, const std::string& b) const {
        return RatioIn(RealTimes, a, b);
    }
    std::map<std::string, double> Times;
    std::map<std::string, double> RealTimes;

private:
    static double RatioIn(const std::map<std::string, double>& times, const std::string& a,
                          const std::string& b) {
        const auto x = times.find(a);
        const auto y = times.find(b);
        return x == times.end() || y == times.end() || y->second <= 0 ? 0 : x->second / y->second;
    }
};

} // namespace velmora
