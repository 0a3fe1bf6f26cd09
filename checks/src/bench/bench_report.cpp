#include "bench/bench_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace bench {
namespace {

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Padded(const std::string& text, std::size_t width, bool right = false)
{
    // Count characters, not bytes, so "µs" lines up.
    std::size_t shown = 0;
    for (const unsigned char c : text)
        shown += (c & 0xC0) != 0x80;
    const std::string pad(shown < width ? width - shown : 0, ' ');
    return right ? pad + text : text + pad;
}

std::string CyclesPerByte(const Measurement& m)
{
    if (!m.ours.cycles || !m.bytes)
        return "";
    return Format("%.2f", m.ours.cycles->median / static_cast<double>(m.bytes));
}

std::string RatioText(const Summary& ratio)
{
    return Format("%.3f", ratio.median) + " [" + Format("%.3f", ratio.low) + ", " + Format("%.3f", ratio.high) + "]";
}

}  // namespace

// Per-second rate of the median: MB/s for byte operations, ops/s otherwise.
std::string Rate(const Measurement& m)
{
    const double perSecond = 1e9 / m.ours.wall.median;
    if (m.bytes)
        return Format("%.1f MB/s", perSecond * static_cast<double>(m.bytes) / 1e6);
    return Format(perSecond >= 100 ? "%.0f op/s" : "%.2f op/s", perSecond);
}

std::optional<double> GeometricMeanRatio(const BenchRun& run)
{
    double logSum = 0;
    int count = 0;
    for (const Measurement& m : run.measurements)
        if (m.failure.empty() && m.ratio && m.ratio->median > 0 && std::isfinite(m.ratio->median)) {
            logSum += std::log(m.ratio->median);
            ++count;
        }
    if (!count)
        return std::nullopt;
    return std::exp(logSum / count);
}

std::string GeometricMeanLine(const BenchRun& run)
{
    const auto mean = GeometricMeanRatio(run);
    if (!mean)
        return {};
    int count = 0;
    for (const Measurement& m : run.measurements)
        count += m.failure.empty() && m.ratio.has_value();
    return "geometric mean of " + std::to_string(count) + " ratios: " + Format("%.3f", *mean) +
           (*mean < 1   ? " (ours faster)"
            : *mean > 1 ? " (ours slower)"
                        : "") +
           "\n";
}

namespace {

// The lines under a table: what its '*' means when a row has one (starNote),
// then the geometric mean of the ratios.
std::string TableEnd(const BenchRun& run, const char* starNote)
{
    const bool uncovered = std::ranges::any_of(
        run.measurements, [](const Measurement& m) { return m.failure.empty() && m.ours.wall.coverage < 0.95; });
    return (uncovered ? std::string(starNote) : std::string()) + GeometricMeanLine(run);
}

}  // namespace

std::string Table(const BenchRun& run)
{
    const bool ratios = run.settings.vsOpenSsl;
    std::string out;
    if (ratios)
        out += "ratio = ours / OpenSSL, below 1 is faster\n";
    out += Padded("operation", 15) + Padded("median", 10, true) + Padded("95% CI", 19, true) +
           Padded("rate", 13, true) + (ratios ? Padded("ratio [95% CI]", 22, true) : "") + "\n";
    for (const Measurement& m : run.measurements) {
        if (!m.failure.empty()) {
            out += Padded(m.name, 15) + "  FAILED: " + m.failure + "\n";
            continue;
        }
        const Summary& w = m.ours.wall;
        out += Padded(m.name, 15) + Padded(Duration(w.median), 10, true) +
               Padded(Duration(w.low) + "–" + Duration(w.high) + (w.coverage < 0.95 ? "*" : ""), 19, true) +
               Padded(Rate(m), 13, true) + (ratios && m.ratio ? Padded(RatioText(*m.ratio), 22, true) : "") + "\n";
    }
    return out + TableEnd(run, "* fewer than 6 samples: min – max, covering the median less than 95 %\n");
}

std::string Duration(double ns)
{
    if (ns < 1e3)
        return Format(ns < 10 ? "%.2f ns" : ns < 100 ? "%.1f ns" : "%.0f ns", ns);
    if (ns < 1e6)
        return Format(ns < 1e4 ? "%.2f µs" : ns < 1e5 ? "%.1f µs" : "%.0f µs", ns / 1e3);
    if (ns < 1e9)
        return Format(ns < 1e7 ? "%.2f ms" : ns < 1e8 ? "%.1f ms" : "%.0f ms", ns / 1e6);
    return Format("%.2f s", ns / 1e9);
}

std::string EnvironmentLines(const BenchRun& run)
{
    const Environment& e = run.environment;
    std::string out;
    out += "component: " + run.component + "\n";
    out += "cpu:       " + e.cpuModel + " (" + std::to_string(e.cpus) + " online; " + e.cpuFlags + ")\n";
    out += "governor:  " + (e.governor.empty() ? std::string("not readable") : e.governor) + "\n";
    out += "kernel:    " + e.kernel + "; " + e.openssl + "\n";
    out += "load:      " + Format("%.2f", e.load1) + " " + Format("%.2f", e.load5) + " " + Format("%.2f", e.load15) +
           " at the start (1, 5, 15 min)\n";
    out +=
        "clock:     CLOCK_MONOTONIC, steps of " + Duration(e.clockResolutionNs) + "; cycles: " + e.cycleCounter + "\n";
    out += "pinned:    " + (e.pinnedCpu < 0 ? std::string("no") : "to CPU " + std::to_string(e.pinnedCpu)) + "\n";
    out += "samples:   up to " + std::to_string(run.settings.samples) + " per operation within " +
           Format("%.1f", run.settings.seconds) + " s" + (run.settings.vsOpenSsl ? ", alternated with OpenSSL" : "") +
           "\n";
    return out;
}

std::string WideTable(const BenchRun& run)
{
    const bool ratios = run.settings.vsOpenSsl;
    std::string out = std::string(ratios ? "ratio = ours / OpenSSL, below 1 is faster\n" : "") +
                      Padded("operation", 17) + Padded("n", 5, true) + Padded("median", 11, true) +
                      Padded("95% CI of the median", 24, true) + Padded("min", 10, true) + Padded("p90", 10, true) +
                      Padded("p99", 10, true) + Padded("rate", 14, true) + Padded("cyc/B", 7, true) +
                      Padded("cpu/wall", 9, true);
    if (ratios)
        out += Padded("ours/OpenSSL [95% CI]", 27, true);
    out += "\n";
    for (const Measurement& m : run.measurements) {
        if (!m.failure.empty()) {
            out += Padded(m.name, 17) + "  FAILED: " + m.failure + "\n";
            continue;
        }
        const Summary& w = m.ours.wall;
        out += Padded(m.name, 17) + Padded(std::to_string(w.count), 5, true) + Padded(Duration(w.median), 11, true) +
               Padded(Duration(w.low) + " – " + Duration(w.high) + (w.coverage < 0.95 ? "*" : ""), 24, true) +
               Padded(Duration(w.min), 10, true) + Padded(Duration(w.p90), 10, true) +
               Padded(Duration(w.p99), 10, true) + Padded(Rate(m), 14, true) + Padded(CyclesPerByte(m), 7, true) +
               Padded(Format("%.2f", m.ours.cpu.median / w.median), 9, true);
        if (ratios && m.ratio)
            out += Padded(RatioText(*m.ratio), 27, true);
        out += "\n";
    }
    return out +
           TableEnd(run,
                    "* fewer than 6 samples: the interval is min – max and covers the median with less than 95 %\n");
}

std::string ComparisonLines(const BenchRun& run)
{
    if (run.baselinePath.empty())
        return {};
    std::string out = "against " + run.baselinePath + ":\n";
    if (run.comparisons.empty())
        out += "  no operation of this run is in it\n";
    for (const Comparison& c : run.comparisons) {
        const char* verdict = c.change == Comparison::Change::Slower   ? "SLOWER"
                              : c.change == Comparison::Change::Faster ? "faster"
                                                                       : "same within the intervals";
        out += "  " + Padded(c.name, 17) + Padded(Duration(c.before.median), 10, true) + " [" + Duration(c.before.low) +
               " – " + Duration(c.before.high) + "] -> " + Duration(c.now.median) + " [" + Duration(c.now.low) + " – " +
               Duration(c.now.high) + "]  " + Format("x%.3f", c.now.median / c.before.median) + "  " + verdict + "\n";
    }
    return out;
}

}  // namespace bench
