// The one picture the reports draw, as inline SVG: rows of ranges on a shared
// axis. A row has one span per series, each a whisker (its widest range), a
// box (its interval) and a mark (its middle), which is enough for timing
// distributions, ratios with their intervals, before/now comparisons and
// plain bars (a box from 0).
//
// Written by hand because no packaged C++ library draws SVG charts and the
// checker must draw without Python on a CI machine; it is one file, emits
// only a handful of SVG elements and escapes every label.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace checks::runner {

struct ChartSpan {
    int series = 0;  // colour and legend entry
    // Not finite: left out (a span may be a box alone, or a mark alone).
    double whiskerLow = 0, boxLow = 0, mid = 0, boxHigh = 0, whiskerHigh = 0;
};

struct ChartRow {
    std::string label;  // plain text
    std::vector<ChartSpan> spans;
};

struct RangeChart {
    std::vector<std::string> series;  // the legend, by series number
    std::vector<ChartRow> rows;
    bool logScale = false;
    std::optional<double> marker;   // a vertical line, such as ratio 1
    std::string lowSide, highSide;  // words under the axis's left and right ends
    std::string axisTitle;
    std::string (*tickText)(double) = nullptr;  // "%g" when null
};

// The chart as an <svg> element; an empty string when no row has a value.
std::string DrawRangeChart(const RangeChart& chart);

}  // namespace checks::runner
