// Where a chart's points go, and how the palettes set text apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "sources/format.h"
#include "ui/chart_plan.h"
#include "ui/chart_readout.h"
#include "ui/palette.h"

using namespace ovra;

TEST(ChartPlan, ScalesPlacesAndSplitsBothSeries) {
    constexpr uint64_t now = 133'000'000'000'000'000ull, s = 10'000'000, minute = 60 * s;
    const float gap = missingValue;
    using enum ChartScale;
    using Runs = std::vector<std::vector<ChartPoint>>;
    using Samples = std::vector<std::tuple<uint64_t, float, float>>; // age, then both series
    // The scale, the window, the samples, the maximum (0: no data), the runs of both series.
    const std::tuple<ChartScale, uint32_t, Samples, double, Runs, Runs> rows[] = {
        // clang-format off
        {percent, 2, {{60 * s, 250, gap}, {0, 50, gap}}, 100, {{{500, 100}, {1000, 150}}}, {}},
        {percent, 1, {{6 * s, 10, gap}, {3 * s, 20, gap}, {2 * s, gap, gap}, {s, 30, gap}, {s, gap, 5},
                      {0, 40, 6}, {0, 45, gap}}, 100,
         {{{900, 190}, {950, 180}}, {{1000, 160}, {1000, 155}}}, {{{984, 195}, {1000, 194}}}},
        {rate, 5, {{3 * s, 8904, gap}, {0, 5, 100000}}, 115000, {{{990, 193}, {1000, 200}}}, {}},
        {rate, 5, {{0, 8000, 8904}}, 10240, {}, {}},
        {other, 5, {{0, 60, gap}}, 69, {}, {}},
        {percent, 5, {{5 * minute + 1, 90, gap}, {5 * minute, 10, gap}, {-30 * s, 20, gap}}, 100,
         {{{0, 190}, {1000, 180}}}, {}},
        {percent, 15, {{20 * minute, 50, gap}, {0, gap, gap}}, 0, {}, {}},
        // clang-format on
    };
    for (const auto& [scale, minutes, samples, maximum, first, second] : rows) {
        HistoryStore history;
        for (const auto& [age, a, b] : samples)
            history.buffer[history.head++] = {.time = now - age, .cpuPercent = a, .ramPercent = b};
        history.count = history.head;
        const ChartPlan plan = planChart(history, &Sample::cpuPercent, &Sample::ramPercent, scale,
                                         minutes, now, {1001, 200, 1000, 100});
        EXPECT_NEAR(plan.hasData ? plan.maximum : 0, maximum, 0.01) << minutes;
        EXPECT_EQ(plan.runs[0], first) << minutes << " " << maximum;
        EXPECT_EQ(plan.runs[1], second) << minutes << " " << maximum;
    }
}

TEST(ChartPlan, AColumnDrawsTheHighestAndLowestOfItsSamplesInTheirOrder) {
    constexpr uint64_t now = 133'000'000'000'000'000ull, second = 10'000'000;
    HistoryStore history; // a full ring, one sample a second, over 30 columns of a 30 min window
    for (uint64_t i = 0; i < historyCapacity; ++i)
        history.buffer[i] = {.time = now - (historyCapacity - 1 - i) * second,
                             .cpuPercent = float((i * 37 + i * i) % 101)};
    history.head = 0;
    history.count = historyCapacity;
    const ChartPlan plan =
        planChart(history, &Sample::cpuPercent, nullptr, ChartScale::percent, 30, now, {31, 100, 30, 100});
    ASSERT_EQ(plan.runs[0].size(), 1u);
    std::map<int, std::vector<int>> drawn, expected; // column: its y values
    for (const ChartPoint& p : plan.runs[0][0])
        drawn[p.x].push_back(p.y);
    for (uint64_t i = 0; i < historyCapacity; ++i) {
        const uint64_t age = (historyCapacity - 1 - i) * second;
        expected[30 - int(age / (60 * second))].push_back(
            100 - int(double(history.buffer[i].cpuPercent) / 100 * 100));
    }
    for (auto& [x, ys] : expected) { // 60 samples a column: the first extreme, then the other
        const auto top = std::min_element(ys.begin(), ys.end());
        const auto bottom = std::max_element(ys.begin(), ys.end());
        ys = top < bottom ? std::vector{*top, *bottom} : std::vector{*bottom, *top};
    }
    EXPECT_EQ(drawn, expected);
}

TEST(Palette, TextStandsOutFromWhatItIsDrawnOnInBothThemes) {
    const auto brightness = [](Colour c) {
        return 3 * (c & 0xFF) + 6 * (c >> 8 & 0xFF) + (c >> 16);
    };
    for (const Palette& p : {buildPalette(false), buildPalette(true)})
        for (const auto& [text, on, least] : {std::tuple{Role::text, Role::background, 1500},
                                              {Role::textSecondary, Role::card, 1000},
                                              {Role::textMuted, Role::card, 600},
                                              {Role::onAccent, Role::accent, 1000}})
            EXPECT_GE(std::abs(int(brightness(p[text])) - int(brightness(p[on]))), least);
    EXPECT_EQ(lerpColour(0x000000, 0xFFFFFF, 0.5), 0x808080u);
}

// Under the pointer: the nearest sample with either value (the later on a tie), its
// values in the chart's format, named when there are two; marks at whole minutes.
TEST(ChartReadout, NearestSampleItsValuesAndTheTimeMarks) {
    constexpr uint64_t now = 133'000'000'000'000'000ull, s = 10'000'000;
    HistoryStore history;
    for (const auto& [age, down, up] : {std::tuple{90 * s, 1536.f, missingValue},
                                        {60 * s, missingValue, missingValue},
                                        {30 * s, 5.f, 2e6f}})
        history.buffer[history.head++] = {
            .time = now - age, .downloadRate = down, .uploadRate = up};
    history.count = history.head;
    const PlotArea area{1001, 200, 1000, 100}; // 5 minutes: 300 s over 1000 pixels
    for (const auto& [pointer, index, x] : {std::tuple{0, 0, 700}, {780, 0, 700}, {800, 2, 900}})
        EXPECT_EQ(nearestSample(history, &Sample::downloadRate, &Sample::uploadRate, 5, now, area,
                                pointer),
                  (NearestSample{index, x}))
            << pointer;
    EXPECT_EQ(chartReadout(historyAt(history, 2), &Sample::downloadRate, &Sample::uploadRate,
                           ChartScale::rate, L"08:03:09"),
              L"08:03:09\nUnduh " + formatRate(5) + L"\nUnggah " + formatRate(2e6));
    EXPECT_EQ(chartValueText(45.26f, ChartScale::other), L"45,3 \u00B0C");
    EXPECT_EQ(chartValueText(missingValue, ChartScale::percent), L"\u2014");
    std::vector<std::pair<int, std::wstring>> marks;
    for (const TimeMark& mark : chartTimeMarks(15, area))
        marks.push_back({mark.x, mark.label});
    EXPECT_EQ(marks, (decltype(marks){{667, L"\u22125 mnt"}, {334, L"\u221210 mnt"}}));
}
