#pragma once
// Where a time chart's points go: the scale and the runs of points of each
// series, computed from the history alone so it can be checked without drawing.
#include <cstdint>
#include <vector>

#include "store/history.h"

namespace ovra {

enum class ChartScale : int {
    percent = 0, // fixed 0..100
    rate = 1,    // bytes per second, automatic with a floor of 10 KB/s
    other = 2,   // degrees Celsius, automatic with a floor of 50
};

// One float field of Sample; nullptr for "no series".
using SampleField = float Sample::*;

struct ChartPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ChartPoint&) const = default;
};

// The plot area in pixels: points lie from right - 1 - width to right - 1 and
// from bottom - height to bottom.
struct PlotArea {
    int right = 0;
    int bottom = 0;
    int width = 0;
    int height = 0;
};

struct ChartPlan {
    double maximum = 0;   // the value at the top of the plot
    bool hasData = false; // any present value inside the window
    // Runs of consecutive present values, each of at least two points; a missing
    // value splits a line.
    std::vector<std::vector<ChartPoint>> runs[2];
};

// The samples of the last `minutes` minutes before `now` (FILETIME), oldest first.
ChartPlan planChart(const HistoryStore& history, SampleField first, SampleField second,
                    ChartScale scale, uint32_t minutes, uint64_t now, const PlotArea& area);

} // namespace ovra
