#include "bench/measure.h"

#include <algorithm>
#include <cmath>

namespace bench {
namespace {

// A sample shorter than this many clock steps would carry the clock's own
// granularity into the figure.
constexpr double kStepsPerSample = 1000;
// Below this many samples the median has no 95 % interval; operations
// bounded by time still take them unless a single call is that slow.
constexpr std::size_t kMinimumSamples = 6;
constexpr std::size_t kLargestBatch = std::size_t(1) << 30;

using Calls = std::function<std::string(std::size_t)>;

struct Side {
    const Calls* calls = nullptr;
    std::size_t batch = 1;
    std::vector<double> wall, cpu, cycles;
};

// One sample of batch calls; "" or the failing call.
std::string Sample(Side& side, const MeasureSettings& settings)
{
    Reading before, after;
    before.cpu = CpuNanoseconds();
    before.cycles = settings.cycles ? settings.cycles->Now() : 0;
    before.wall = WallNanoseconds();
    std::string failure = (*side.calls)(side.batch);
    after.wall = WallNanoseconds();
    after.cycles = settings.cycles ? settings.cycles->Now() : 0;
    after.cpu = CpuNanoseconds();
    if (!failure.empty())
        return failure;
    const double batch = static_cast<double>(side.batch);
    side.wall.push_back(static_cast<double>(after.wall - before.wall) / batch);
    side.cpu.push_back(static_cast<double>(after.cpu - before.cpu) / batch);
    if (settings.cycles)
        side.cycles.push_back(static_cast<double>(after.cycles - before.cycles) / batch);
    return {};
}

// Doubles the batch until one takes target nanoseconds; the calls made on
// the way are the warm-up.
std::string Calibrate(Side& side, double targetNs)
{
    side.batch = 1;
    for (;;) {
        const std::uint64_t start = WallNanoseconds();
        if (std::string failure = (*side.calls)(side.batch); !failure.empty())
            return failure;
        const double took = static_cast<double>(WallNanoseconds() - start);
        if (took >= targetNs || side.batch >= kLargestBatch)
            break;
        // Straight to about the target once a batch is long enough to judge.
        const double scale = took > targetNs / 64 ? targetNs / took : 2.0;
        side.batch = std::min(kLargestBatch, std::max(side.batch + 1, static_cast<std::size_t>(side.batch * scale)));
    }
    return {};
}

// The samples after which the component's last answer is checked again:
// the first, every one whose number is a power of two, and (by the caller)
// the last. A few checks, all outside the timed calls.
bool CheckedAfter(std::size_t sample)
{
    const std::size_t number = sample + 1;
    return (number & (number - 1)) == 0;
}

SideFigures Figures(const Side& side)
{
    SideFigures figures;
    figures.batch = side.batch;
    figures.wall = Summarize(side.wall);
    figures.cpu = Summarize(side.cpu);
    if (!side.cycles.empty())
        figures.cycles = Summarize(side.cycles);
    return figures;
}

}  // namespace

Measurement Measure(const Operation& op, const MeasureSettings& settings, const ProgressLine& progress)
{
    const std::uint64_t started = WallNanoseconds();
    Measurement m;
    m.name = op.name;
    m.description = op.description;
    m.referenceName = op.referenceName;
    m.bytes = op.bytes;
    m.onePerSample = op.onePerSample;
    auto finish = [&]() -> Measurement {
        m.seconds = static_cast<double>(WallNanoseconds() - started) / 1e9;
        return std::move(m);
    };

    progress(op.name + ": checking the answer");
    if (m.failure = op.prepare(); !m.failure.empty())
        return finish();

    std::vector<Side> sides(settings.vsOpenSsl ? 2 : 1);
    sides[0].calls = &op.ours;
    if (settings.vsOpenSsl)
        sides[1].calls = &op.reference;
    const double targetNs = std::max(settings.seconds * 1e9 / static_cast<double>(settings.samples * sides.size()),
                                     kStepsPerSample * settings.resolutionNs);
    progress(op.name + ": warming up");
    for (Side& side : sides) {
        // One key per sample: a single call warms up, and the batch stays 1.
        const std::string failure = op.onePerSample ? (*side.calls)(1) : Calibrate(side, targetNs);
        if (!failure.empty()) {
            m.failure = (&side == &sides[0] ? "" : "the reference: ") + failure;
            return finish();
        }
    }
    // A wrong answer at any point discards the operation: figures of wrong
    // work would compare nothing.
    const auto answerWrong = [&](const std::string& when) {
        if (std::string wrong = op.verify ? op.verify() : std::string(); !wrong.empty()) {
            m.failure = "a timed call's answer (" + when + ") is wrong: " + wrong;
            return true;
        }
        return false;
    };
    if (answerWrong("after the warm-up"))
        return finish();

    const std::uint64_t sampling = WallNanoseconds();
    const double budgetNs = settings.seconds * op.budgetScale * 1e9;
    for (std::size_t i = 0; i < settings.samples; ++i) {
        const double elapsed = static_cast<double>(WallNanoseconds() - sampling);
        // Over time: stop once the median has its interval, or at once when
        // even that would take more than three times the budget.
        if (i > 0 && elapsed >= budgetNs &&
            (i >= kMinimumSamples || elapsed * kMinimumSamples / static_cast<double>(i) > 3 * budgetNs))
            break;
        progress(op.name + ": sample " + std::to_string(i + 1) + " of " + std::to_string(settings.samples));
        // Alternate which side goes first, so neither always follows the other.
        for (std::size_t k = 0; k < sides.size(); ++k) {
            Side& side = sides[(i + k) % sides.size()];
            if (std::string failure = Sample(side, settings); !failure.empty()) {
                m.failure = (&side == &sides[0] ? "" : "the reference: ") + failure;
                return finish();
            }
        }
        if (CheckedAfter(i) && answerWrong("sample " + std::to_string(i + 1)))
            return finish();
    }
    if (answerWrong("the last sample"))
        return finish();

    m.ours = Figures(sides[0]);
    if (settings.vsOpenSsl) {
        m.reference = Figures(sides[1]);
        if (op.onePerSample) {
            m.ratio = MedianRatio(sides[0].wall, sides[1].wall);
            return finish();
        }
        std::vector<double> ratios;
        for (std::size_t i = 0; i < sides[0].wall.size(); ++i)
            ratios.push_back(sides[0].wall[i] / std::max(sides[1].wall[i], 1e-9));
        m.ratio = Summarize(ratios);
    }
    return finish();
}

}  // namespace bench
