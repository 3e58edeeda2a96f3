#include "ui/chart_plan.h"

#include <algorithm>

namespace ovra {

namespace {

// The samples that fall into one pixel column become at most two points: the
// highest and the lowest, in the order they came, so every peak stays drawn.
struct ColumnExtremes {
    ChartPoint low, high; // low: the smallest value, so the largest y
    bool lowFirst = true, open = false;

    void add(std::vector<ChartPoint>& run, ChartPoint point) {
        if (open && point.x != low.x) flush(run);
        if (!open) {
            low = high = point;
            lowFirst = open = true;
            return;
        }
        if (point.y > low.y) {
            low = point;
            lowFirst = false;
        } else if (point.y < high.y) {
            high = point;
            lowFirst = true;
        }
    }
    void flush(std::vector<ChartPoint>& run) {
        if (!open) return;
        open = false;
        run.push_back(lowFirst ? low : high);
        if (low.y != high.y) run.push_back(lowFirst ? high : low);
    }
};

} // namespace

ChartPlan planChart(const HistoryStore& history, SampleField first, SampleField second,
                    ChartScale scale, uint32_t minutes, uint64_t now, const PlotArea& area) {
    const SampleField fields[2] = {first, second};
    ChartPlan plan;
    plan.maximum = scale == ChartScale::percent ? 100.0
                   : scale == ChartScale::rate  ? 10240.0
                                                : 50.0;
    for (uint64_t i = 0; i < history.count; ++i) {
        const Sample& sample = historyAt(history, i);
        if (!inTimeWindow(sample, now, minutes)) continue;
        for (SampleField field : fields) {
            if (!field || !hasValue(sample.*field)) continue;
            plan.hasData = true;
            if (scale != ChartScale::percent)
                plan.maximum = std::max(plan.maximum, double(sample.*field) * 1.15);
        }
    }
    if (!plan.hasData) return plan;

    const uint64_t window = uint64_t(minutes) * fileTimeTicksPerMinute;
    for (int s = 0; s < 2; ++s) {
        if (!fields[s]) continue;
        std::vector<ChartPoint> run;
        ColumnExtremes column;
        auto endRun = [&] {
            column.flush(run);
            if (run.size() >= 2) plan.runs[s].push_back(std::move(run));
            run.clear();
        };
        for (uint64_t i = 0; i < history.count; ++i) {
            const Sample& sample = historyAt(history, i);
            if (!inTimeWindow(sample, now, minutes)) continue;
            const float value = sample.*fields[s];
            if (!hasValue(value)) {
                endRun();
                continue;
            }
            // After the clock steps back a sample can be newer than now: it
            // belongs at the right edge, not beyond it.
            const uint64_t age = sample.time > now ? 0 : now - sample.time;
            const uint64_t offset = window ? age * uint64_t(std::max(area.width, 0)) / window : 0;
            const double level = std::clamp(double(value) / plan.maximum, 0.0, 1.0);
            column.add(run, ChartPoint{area.right - 1 - static_cast<int>(offset),
                                       area.bottom - static_cast<int>(level * area.height)});
        }
        endRun();
    }
    return plan;
}

} // namespace ovra
