// Where chart points go and how the scale is chosen.
#include <gtest/gtest.h>

#include <cmath>

#include "canvas.h"
#include "sources/clock.h"
#include "ui/chart.h"

using namespace ovra;
using ovra::test::Canvas;

namespace {

constexpr uint64_t now = 133'000'000'000'000'000ull;
constexpr uint64_t second = 10'000'000;
const PlotArea area{1001, 200, 1000, 100}; // x from 0 (oldest) to 1000 (now)

HistoryStore historyOf(std::initializer_list<std::pair<uint64_t, float>> agesAndValues,
                       float Sample::*field = &Sample::cpuPercent) {
    HistoryStore history;
    for (const auto& [age, value] : agesAndValues) {
        Sample sample;
        sample.time = now - age;
        sample.*field = value;
        history.buffer[history.head] = sample;
        history.head = (history.head + 1) % historyCapacity;
        ++history.count;
    }
    return history;
}

} // namespace

TEST(ChartPlan, PercentScaleIsFixedAtOneHundred) {
    const HistoryStore history = historyOf({{60 * second, 250.0f}, {0, 50.0f}});
    const ChartPlan plan =
        planChart(history, &Sample::cpuPercent, nullptr, ChartScale::percent, 2, now, area);
    EXPECT_EQ(plan.maximum, 100.0);
    ASSERT_EQ(plan.runs[0].size(), 1u);
    EXPECT_EQ(plan.runs[0][0][0].y, 100) << "values above the scale stay at the top";
    EXPECT_EQ(plan.runs[0][0][1].y, 150);
    EXPECT_EQ(plan.runs[0][0][0].x, 1000 - 500);
    EXPECT_EQ(plan.runs[0][0][1].x, 1000);
}

TEST(ChartPlan, RateScaleHasAFloorAndHeadroom) {
    const HistoryStore low =
        historyOf({{2 * second, 8000.0f}, {0, 8904.0f}}, &Sample::downloadRate);
    EXPECT_EQ(
        planChart(low, &Sample::downloadRate, nullptr, ChartScale::rate, 5, now, area).maximum,
        10240.0);
    HistoryStore both = historyOf({{2 * second, 100000.0f}, {0, 5.0f}}, &Sample::downloadRate);
    both.buffer[1].uploadRate = 20.0f; // the second series counts for the scale too
    EXPECT_NEAR(
        planChart(both, &Sample::uploadRate, &Sample::downloadRate, ChartScale::rate, 5, now, area)
            .maximum,
        115000.0, 0.01);
    const HistoryStore hot = historyOf({{0, 60.0f}}, &Sample::temperature);
    EXPECT_NEAR(
        planChart(hot, &Sample::temperature, nullptr, ChartScale::other, 5, now, area).maximum,
        69.0, 0.001);
}

TEST(ChartPlan, MissingValuesSplitLinesAndLonePointsVanish) {
    const float nan = missingValue;
    const HistoryStore history = historyOf({{10 * second, 10.0f},
                                            {8 * second, 20.0f},
                                            {6 * second, nan},
                                            {4 * second, 30.0f},
                                            {2 * second, nan},
                                            {0, 40.0f},
                                            {0, 45.0f}});
    const ChartPlan plan =
        planChart(history, &Sample::cpuPercent, nullptr, ChartScale::percent, 1, now, area);
    ASSERT_EQ(plan.runs[0].size(), 2u) << "the lone 30 between two gaps draws nothing";
    EXPECT_EQ(plan.runs[0][0].size(), 2u);
    EXPECT_EQ(plan.runs[0][1].size(), 2u);
    EXPECT_EQ(plan.runs[0][1][0].y, 160);
    EXPECT_TRUE(plan.runs[1].empty());
}

TEST(ChartPlan, WindowIncludesItsBoundaryAndSamplesFromTheFuture) {
    const uint64_t minute = 60 * second;
    HistoryStore history = historyOf({{5 * minute + 1, 90.0f}, {5 * minute, 10.0f}, {0, 20.0f}});
    // After the clock stepped back, a sample can carry a time later than now.
    history.buffer[2].time = now + 30 * second;
    const ChartPlan plan =
        planChart(history, &Sample::cpuPercent, nullptr, ChartScale::percent, 5, now, area);
    ASSERT_EQ(plan.runs[0].size(), 1u);
    ASSERT_EQ(plan.runs[0][0].size(), 2u) << "one tick too old is outside";
    EXPECT_EQ(plan.runs[0][0][0].x, 0) << "exactly five minutes old sits at the left edge";
    EXPECT_EQ(plan.runs[0][0][1].x, 1000) << "a sample from the future sits at the right edge";
}

TEST(ChartPlan, NoValueInTheWindowMeansNoData) {
    const HistoryStore history = historyOf({{20 * 60 * second, 50.0f}, {0, missingValue}});
    const ChartPlan plan =
        planChart(history, &Sample::cpuPercent, nullptr, ChartScale::percent, 15, now, area);
    EXPECT_FALSE(plan.hasData);
    EXPECT_FALSE(
        planChart(HistoryStore{}, &Sample::cpuPercent, nullptr, ChartScale::rate, 5, now, area)
            .hasData);
}

TEST(Chart, EmptyHistoryShowsPanelLabelsAndNoData) {
    Canvas canvas(600, 300);
    HistoryStore history;
    drawChart(canvas.ui, history, RECT{20, 20, 520, 180}, &Sample::cpuPercent,
              canvas.palette[Role::series1], nullptr, 0, ChartScale::percent, 2);
    EXPECT_NE(canvas.text(L"100%"), nullptr);
    const TextRun* span = canvas.text(L"2 menit terakhir");
    ASSERT_NE(span, nullptr);
    EXPECT_EQ(span->rect.right, 520 - 8);
    EXPECT_NE(canvas.text(L"Belum ada data"), nullptr);
    const Colour panel = lerpColour(canvas.palette[Role::card], canvas.palette[Role::track], 0.45);
    EXPECT_EQ(canvas.pixel(300, 60), panel);
}

TEST(Chart, DrawsTheFirstSeriesWithAFilledArea) {
    Canvas canvas(600, 300);
    HistoryStore history;
    const uint64_t current = systemTimeNow();
    for (int i = 0; i < 60; ++i) {
        Sample sample;
        sample.time = current - uint64_t(60 - i) * 2 * second;
        sample.ramPercent = 50.0f;
        history.buffer[history.head++] = sample;
        ++history.count;
    }
    drawChart(canvas.ui, history, RECT{0, 0, 600, 218}, &Sample::ramPercent, RGB(255, 0, 0),
              nullptr, 0, ChartScale::percent, 5);
    // Plot from y 14 to 214; 50 % is at 114. Below the line: the tint; above: the panel.
    const Colour panel = lerpColour(canvas.palette[Role::card], canvas.palette[Role::track], 0.45);
    EXPECT_EQ(canvas.pixel(500, 170), lerpColour(panel, RGB(255, 0, 0), 0.18));
    EXPECT_EQ(canvas.pixel(500, 80), panel);
    EXPECT_EQ(canvas.pixel(500, 114), RGB(255, 0, 0));
    EXPECT_EQ(canvas.pixel(100, 170), panel) << "no samples that old";
    EXPECT_EQ(canvas.text(L"Belum ada data"), nullptr);
}
