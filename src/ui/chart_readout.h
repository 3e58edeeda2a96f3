#pragma once
// What a time chart tells beyond its lines: the marks of its time axis and, under
// the pointer, the nearest sample with its time and values.
#include <string>
#include <vector>

#include "ui/chart_plan.h"

namespace ovra {

// A mark on the time axis: its x and its label ("−5 mnt").
struct TimeMark {
    int x = 0;
    std::wstring label;
};

// Whole minutes back from the right edge: every minute on a 5-minute chart, every
// 5 on one up to 15 minutes, else every 15.
std::vector<TimeMark> chartTimeMarks(uint32_t minutes, const PlotArea& area);

// The sample of the window with a value of either series whose x is nearest to
// `pointerX`; the later one on a tie. Not found: index is -1.
struct NearestSample {
    long long index = -1; // in the history, oldest first
    int x = 0;
    bool operator==(const NearestSample&) const = default;
};
NearestSample nearestSample(const HistoryStore& history, SampleField first, SampleField second,
                            uint32_t minutes, uint64_t now, const PlotArea& area, int pointerX);

// The value of a sample in the chart's format: "12%", "1,20 MB/s", "45,0 °C"; a
// missing value as "—".
std::wstring chartValueText(float value, ChartScale scale);

// The readout of one sample: its local time, then each series' value (named when
// there are two), one per line.
std::wstring chartReadout(const Sample& sample, SampleField first, SampleField second,
                          ChartScale scale, const std::wstring& localTime);

} // namespace ovra
