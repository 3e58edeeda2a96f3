// The in-memory history: a fixed ring of the last 1800 samples.
#include <gtest/gtest.h>

#include "store/history.h"

using namespace ovra;

namespace {

Sample sampleAt(uint64_t time, float cpu = 1.0f) {
    Sample sample;
    sample.time = time;
    sample.cpuPercent = cpu;
    return sample;
}

} // namespace

TEST(History, StartsEmptyAndKeepsOrderOldestFirst) {
    HistoryStore store;
    EXPECT_EQ(store.count, 0u);
    EXPECT_FALSE(hasValue(store.buffer.front().temperature));
    for (uint64_t t = 1; t <= 3; ++t)
        historyAppend(store, sampleAt(t));
    ASSERT_EQ(store.count, 3u);
    EXPECT_EQ(historyAt(store, 0).time, 1u);
    EXPECT_EQ(historyAt(store, 2).time, 3u);
}

TEST(History, OverwritesOldestOnceFull) {
    HistoryStore store;
    const void* storage = store.buffer.data();
    for (uint64_t t = 1; t <= 1801; ++t)
        historyAppend(store, sampleAt(t));
    EXPECT_EQ(store.count, 1800u);
    EXPECT_EQ(historyAt(store, 0).time, 2u) << "the first sample appended is gone";
    EXPECT_EQ(historyAt(store, 1799).time, 1801u);
    EXPECT_EQ(store.buffer.data(), storage) << "the ring is never reallocated";

    // Wrapping many times over keeps the same invariants.
    for (uint64_t t = 1802; t <= 5000; ++t)
        historyAppend(store, sampleAt(t));
    EXPECT_EQ(historyAt(store, 0).time, 5000u - 1799u);
    EXPECT_EQ(historyAt(store, 1799).time, 5000u);
}

TEST(History, TimeWindowIsInclusiveAtExactlyNMinutes) {
    HistoryStore store;
    const uint64_t now = 1'000'000'000'000ull;
    const uint64_t fiveMinutes = 5 * fileTimeTicksPerMinute;
    historyAppend(store, sampleAt(now - fiveMinutes - 1)); // just outside
    historyAppend(store, sampleAt(now - fiveMinutes));     // exactly on the edge
    historyAppend(store, sampleAt(now));
    EXPECT_FALSE(inTimeWindow(historyAt(store, 0), now, 5));
    EXPECT_TRUE(inTimeWindow(historyAt(store, 1), now, 5));
    EXPECT_EQ(historyCountInWindow(store, now, 5), 2u);
    EXPECT_EQ(historyCountInWindow(store, now, 60), 3u);
}

TEST(History, WindowFollowsTimeNotSampleCount) {
    // Ten minutes at 2 s, then a 5-minute window: about 150 samples.
    HistoryStore store;
    const uint64_t start = 500'000'000'000ull, step = 20'000'000; // 2 s in 100-ns units
    for (uint64_t i = 0; i < 300; ++i)
        historyAppend(store, sampleAt(start + i * step));
    const uint64_t now = start + 299 * step;
    EXPECT_EQ(historyCountInWindow(store, now, 5), 151u);

    // A pause in ticks shows as a gap: nothing from before it falls in the window.
    historyAppend(store, sampleAt(now + 20 * fileTimeTicksPerMinute));
    EXPECT_EQ(historyCountInWindow(store, now + 20 * fileTimeTicksPerMinute, 5), 1u);
}

TEST(History, ClearingForgetsEverySample) {
    HistoryStore store;
    for (uint64_t t = 1; t <= 10; ++t)
        historyAppend(store, sampleAt(t));
    historyClearRing(store);
    EXPECT_EQ(store.count, 0u);
    EXPECT_EQ(historyCountInWindow(store, 10, 60), 0u);
    historyAppend(store, sampleAt(42));
    EXPECT_EQ(store.count, 1u);
    EXPECT_EQ(historyAt(store, 0).time, 42u);
}
