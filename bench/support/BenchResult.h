#pragma once

// One measured figure beside its peer, as bench/run reads it: a line
//   velmora-bench <figure> <value> <peer value>
// with a value of "missing" for a side that did not run, and a peer of "none" for a figure
// held against a fixed limit. bench/run knows each figure's
// meaning, peer and target; the benchmark only measures. A ratio is never made up for a
// missing side: it has no value, and the figure fails.
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace velmora {

inline std::optional<double> RatioOf(std::optional<double> a, std::optional<double> b) {
    if (!a || !b || !std::isfinite(*a) || !std::isfinite(*b) || *b <= 0)
        return std::nullopt;
    return *a / *b;
}

// "1.23" (with ADecimals places), or "missing".
inline std::string Shown(std::optional<double> value, int ADecimals = 2) {
    if (!value || !std::isfinite(*value))
        return "missing";
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", ADecimals, *value);
    return text;
}

// A value to nine significant digits for bench/run, or "missing".
inline std::string Exact(std::optional<double> value) {
    if (!value || !std::isfinite(*value))
        return "missing";
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", *value);
    return text;
}

// Counts the figures reported with a side missing, so that the program can say so in its
// exit status.
inline int GMissingSides = 0;

inline void ReportFigure(const char* figure, std::optional<double> value,
                         std::optional<double> peer) {
    const bool whole = value && peer && std::isfinite(*value) && std::isfinite(*peer);
    if (!whole)
        ++GMissingSides;
    std::printf("velmora-bench %s %s %s\n", figure, Exact(value).c_str(), Exact(peer).c_str());
    std::fflush(stdout);
}

// A figure measured against a fixed limit rather than a peer (the longest stall, in ms).
inline void ReportAbsolute(const char* figure, std::optional<double> value) {
    if (!value || !std::isfinite(*value))
        ++GMissingSides;
    std::printf("velmora-bench %s %s none\n", figure, Exact(value).c_str());
    std::fflush(stdout);
}

} // namespace velmora
