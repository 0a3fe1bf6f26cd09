#include "runner/svg_chart.h"

#include "runner/html_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace checks::runner {
namespace {

constexpr double kWidth = 760, kLabelWidth = 170, kRight = 20, kTop = 26, kBottom = 52;
constexpr double kSpanHeight = 11, kRowGap = 8;
constexpr const char* kColours[] = {"#1f5fbf", "#e08a00", "#7a7a7a", "#2a9d5b"};

std::string Num(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string DefaultTick(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

const char* Colour(int series)
{
    return kColours[static_cast<std::size_t>(series) % std::size(kColours)];
}

// Round steps (1, 2, 2.5, 5 times a power of ten) about count to a range.
std::vector<double> LinearTicks(double low, double high, int count)
{
    const double raw = (high - low) / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (factor * power >= raw) {
            step = factor * power;
            break;
        }
    std::vector<double> ticks;
    for (double t = std::ceil(low / step) * step; t <= high + step * 1e-9; t += step)
        ticks.push_back(std::abs(t) < step * 1e-9 ? 0 : t);
    return ticks;
}

class Axis {
public:
    Axis(double low, double high, bool log) : m_log(log)
    {
        if (log) {
            low = std::log10(low);
            high = std::log10(high);
        }
        const double pad = (high - low) * 0.06 + (high == low ? 0.5 : 0);
        m_low = log ? low - pad : std::min(0.0, low - pad);
        m_high = high + pad;
    }
    double X(double value) const
    {
        const double v = m_log ? std::log10(value) : value;
        return kLabelWidth + (v - m_low) / (m_high - m_low) * (kWidth - kLabelWidth - kRight);
    }
    bool Holds(double value) const { return std::isfinite(value) && (!m_log || value > 0); }
    std::vector<double> Ticks() const
    {
        if (!m_log)
            return LinearTicks(m_low, m_high, 6);
        // Powers of ten and their 2 and 5 times over several decades; within
        // about one, also 1.5, 3 and 7 times; within a few per cent, round
        // steps of the values themselves.
        const double low = std::pow(10.0, m_low), high = std::pow(10.0, m_high);
        const double decades = m_high - m_low;
        std::vector<double> ticks;
        for (int e = static_cast<int>(std::floor(m_low)); e <= static_cast<int>(std::ceil(m_high)); ++e)
            for (const double f : {1.0, 1.5, 2.0, 3.0, 5.0, 7.0}) {
                const bool wanted = f == 1.0 || ((f == 2.0 || f == 5.0) && decades < 4) || decades < 1.2;
                const double t = f * std::pow(10.0, e);
                if (wanted && t >= low && t <= high)
                    ticks.push_back(t);
            }
        return ticks.size() >= 3 ? ticks : LinearTicks(low, high, 5);
    }

private:
    bool m_log;
    double m_low = 0, m_high = 1;
};

void Extend(double value, bool log, double& low, double& high)
{
    if (!std::isfinite(value) || (log && value <= 0))
        return;
    low = std::min(low, value);
    high = std::max(high, value);
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& style)
{
    return "<line x1=\"" + Num(x1) + "\" y1=\"" + Num(y1) + "\" x2=\"" + Num(x2) + "\" y2=\"" + Num(y2) + "\" " +
           style + "/>";
}

std::string Text(double x, double y, const std::string& anchor, const std::string& text, const std::string& extra = "")
{
    return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" text-anchor=\"" + anchor + "\"" + extra + ">" +
           HtmlText(text) + "</text>";
}

}  // namespace

std::string DrawRangeChart(const RangeChart& chart)
{
    double low = INFINITY, high = -INFINITY;
    for (const ChartRow& row : chart.rows)
        for (const ChartSpan& s : row.spans)
            for (const double v : {s.whiskerLow, s.boxLow, s.mid, s.boxHigh, s.whiskerHigh})
                Extend(v, chart.logScale, low, high);
    if (!(low <= high))
        return {};
    if (chart.marker)
        Extend(*chart.marker, chart.logScale, low, high);
    const Axis axis(low, high, chart.logScale);
    auto tick = chart.tickText ? chart.tickText : &DefaultTick;

    double plotHeight = 0;
    for (const ChartRow& row : chart.rows)
        plotHeight += static_cast<double>(std::max<std::size_t>(1, row.spans.size())) * kSpanHeight + kRowGap;
    const double height = kTop + plotHeight + kBottom;
    const double bottom = kTop + plotHeight;

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" role=\"img\" width=\"" + Num(kWidth) + "\" height=\"" +
                      Num(height) + "\" viewBox=\"0 0 " + Num(kWidth) + " " + Num(height) +
                      "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    // Legend.
    double legendX = kLabelWidth;
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        svg += "<rect x=\"" + Num(legendX) + "\" y=\"6\" width=\"12\" height=\"10\" fill=\"" +
               Colour(static_cast<int>(i)) + "\" fill-opacity=\"0.45\" stroke=\"" + Colour(static_cast<int>(i)) +
               "\"/>" + Text(legendX + 16, 15, "start", chart.series[i]) + "\n";
        legendX += 24 + 7 * static_cast<double>(chart.series[i].size());
    }
    // Grid and ticks.
    for (const double t : axis.Ticks()) {
        const double x = axis.X(t);
        svg += Line(x, kTop, x, bottom, "stroke=\"#e4e4e4\"") + Text(x, bottom + 14, "middle", tick(t)) + "\n";
    }
    svg += Line(kLabelWidth, bottom, kWidth - kRight, bottom, "stroke=\"#888\"") + "\n";
    if (chart.marker && axis.Holds(*chart.marker)) {
        const double x = axis.X(*chart.marker);
        svg += Line(x, kTop - 4, x, bottom, "stroke=\"#333\" stroke-dasharray=\"4 3\"") + "\n";
    }
    if (!chart.lowSide.empty())
        svg += Text(kLabelWidth, bottom + 30, "start", "\u2190 " + chart.lowSide, " font-weight=\"bold\"") + "\n";
    if (!chart.highSide.empty())
        svg += Text(kWidth - kRight, bottom + 30, "end", chart.highSide + " \u2192", " font-weight=\"bold\"") + "\n";
    if (!chart.axisTitle.empty())
        svg += Text((kLabelWidth + kWidth - kRight) / 2, bottom + 44, "middle", chart.axisTitle) + "\n";

    // Rows.
    double y = kTop + kRowGap / 2;
    for (const ChartRow& row : chart.rows) {
        const double rowHeight = static_cast<double>(std::max<std::size_t>(1, row.spans.size())) * kSpanHeight;
        svg += Text(kLabelWidth - 8, y + rowHeight / 2 + 4, "end", row.label) + "\n";
        for (std::size_t i = 0; i < row.spans.size(); ++i) {
            const ChartSpan& s = row.spans[i];
            const char* colour = Colour(s.series);
            const double mid = y + kSpanHeight * (static_cast<double>(i) + 0.5);
            if (axis.Holds(s.whiskerLow) && axis.Holds(s.whiskerHigh))
                svg += Line(axis.X(s.whiskerLow), mid, axis.X(s.whiskerHigh), mid,
                            std::string("stroke=\"") + colour + "\"");
            const bool box = axis.Holds(s.boxLow) && axis.Holds(s.boxHigh);
            if (box) {
                const double x1 = axis.X(s.boxLow), x2 = axis.X(s.boxHigh);
                svg += "<rect x=\"" + Num(std::min(x1, x2)) + "\" y=\"" + Num(mid - 4) + "\" width=\"" +
                       Num(std::max(1.5, std::abs(x2 - x1))) + "\" height=\"8\" fill=\"" + colour +
                       "\" fill-opacity=\"0.45\" stroke=\"" + colour + "\"/>";
            }
            // A mark on a box is a dark bar across it; a mark alone is a dot
            // in its series' colour, so series apart on one row read apart.
            if (axis.Holds(s.mid) && box)
                svg += Line(axis.X(s.mid), mid - 5, axis.X(s.mid), mid + 5, "stroke=\"#111\" stroke-width=\"2\"");
            else if (axis.Holds(s.mid))
                svg += "<circle cx=\"" + Num(axis.X(s.mid)) + "\" cy=\"" + Num(mid) + "\" r=\"4\" fill=\"" + colour +
                       "\" stroke=\"#111\" stroke-width=\"0.8\"/>";
            svg += "\n";
        }
        y += rowHeight + kRowGap;
    }
    return svg + "</svg>";
}

}  // namespace checks::runner
