#pragma once

// Prints the usual console report and keeps every benchmark's CPU and wall time, so a
// benchmark can print ratios between runs measured in the same process. Wall time is what
// counts for work done in a child process or waiting on the disk. A benchmark that did not
// run (skipped, failed, filtered out) has no time, and a ratio involving it has no value.
#include "bench/support/BenchResult.h"

#include <benchmark/benchmark.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0)
                continue;
            Times[run.benchmark_name()] = run.GetAdjustedCPUTime();
            RealTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
            for (const auto& [counter, value] : run.counters)
                Counters[run.benchmark_name() + "/" + counter] = value.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // A benchmark's CPU time, in its unit; none when it did not run.
    std::optional<double> Time(const std::string& name) const { return Find(Times, name); }
    std::optional<double> RealTime(const std::string& name) const { return Find(RealTimes, name); }
    // A counter of a benchmark that ran ("HoverChange", "custom_paints").
    std::optional<double> Counter(const std::string& name, const std::string& counter) const {
        return Find(Counters, name + "/" + counter);
    }
    // a's time over b's; none when either is missing.
    std::optional<double> Ratio(const std::string& a, const std::string& b) const {
        return RatioOf(Time(a), Time(b));
    }
    // The same over wall times.
    std::optional<double> RealRatio(const std::string& a, const std::string& b) const {
        return RatioOf(RealTime(a), RealTime(b));
    }
    std::map<std::string, double> Times;
    std::map<std::string, double> RealTimes;
    std::map<std::string, double> Counters;

private:
    static std::optional<double> Find(const std::map<std::string, double>& times,
                                      const std::string& name) {
        const auto found = times.find(name);
        return found == times.end() ? std::nullopt : std::optional<double>(found->second);
    }
};

} // namespace velmora
