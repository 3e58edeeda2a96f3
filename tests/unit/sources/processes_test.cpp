// The process list: processor use between snapshots, the two orders, clearing,
// and the real processes of this system.
#include "sources/processes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace ovra {
namespace {

constexpr uint64_t second = 10'000'000; // 100-ns units
constexpr uint64_t start = 133'000'000'000'000'000ull;

ProcessSample process(uint32_t pid, uint64_t processorTime, uint64_t workingSet,
                      uint64_t creationTime = 1000) {
    ProcessSample sample;
    sample.pid = pid;
    sample.name = L"p" + std::to_wstring(pid) + L".exe";
    sample.opened = sample.timesRead = sample.memoryRead = true;
    sample.creationTime = creationTime;
    sample.processorTime = processorTime;
    sample.workingSet = workingSet;
    return sample;
}

ProcessSample denied(uint32_t pid) {
    ProcessSample sample;
    sample.pid = pid;
    sample.name = L"protected.exe";
    return sample;
}

std::vector<uint32_t> order(const ProcessList& list) {
    std::vector<uint32_t> pids;
    for (const ProcessRow& row : list.rows)
        pids.push_back(row.pid);
    return pids;
}

const ProcessRow& row(const ProcessList& list, uint32_t pid) {
    return *std::find_if(list.rows.begin(), list.rows.end(),
                         [&](const ProcessRow& r) { return r.pid == pid; });
}

TEST(ProcessList, FirstUpdateHasNoProcessorUseAndOrdersByWorkingSet) {
    ProcessList list;
    processApplySnapshot(list,
                         {process(0, 0, 0), denied(4), process(30, 5 * second, 100),
                          process(20, 9 * second, 300), process(10, 0, 300)},
                         start, 8);
    EXPECT_EQ(list.count, 4u); // the idle process (id 0) is never listed
    EXPECT_EQ(order(list), (std::vector<uint32_t>{10, 20, 30, 4}));
    for (const ProcessRow& r : list.rows)
        EXPECT_FALSE(r.cpuValid);
    EXPECT_TRUE(row(list, 20).accessible);
    EXPECT_FALSE(row(list, 4).accessible);
    EXPECT_EQ(row(list, 4).name, L"protected.exe");
    EXPECT_EQ(row(list, 20).workingSet, 300u);
    EXPECT_EQ(list.lastTime, start);
}

TEST(ProcessList, UseIsAShareOfAllProcessorsCappedAt100) {
    ProcessList list;
    processApplySnapshot(list, {process(10, 0, 1), process(11, 0, 1), process(12, 0, 1)}, start, 8);
    // 2 s of wall time on 8 processors: 4 s of processor time is a quarter.
    processApplySnapshot(
        list, {process(10, 4 * second, 1), process(11, 17 * second, 1), process(12, 0, 1)},
        start + 2 * second, 8);
    EXPECT_TRUE(row(list, 10).cpuValid);
    EXPECT_DOUBLE_EQ(row(list, 10).cpuPercent, 25.0);
    EXPECT_DOUBLE_EQ(row(list, 11).cpuPercent, 100.0); // jitter beyond the capacity
    EXPECT_TRUE(row(list, 12).cpuValid);
    EXPECT_DOUBLE_EQ(row(list, 12).cpuPercent, 0.0);

    // Below one processor counts as one: 1 s of 2 s is half the machine.
    processApplySnapshot(list, {process(10, 5 * second, 1)}, start + 4 * second, 0);
    EXPECT_DOUBLE_EQ(row(list, 10).cpuPercent, 50.0);
}

TEST(ProcessList, AReusedIdOrAnUnreadProcessGetsNoValue) {
    ProcessList list;
    ProcessSample timesUnread = process(12, 0, 5);
    timesUnread.timesRead = false;
    processApplySnapshot(list, {process(10, 0, 1, 1000), process(11, 0, 1), timesUnread}, start, 1);
    ProcessSample memoryUnread = process(11, second, 1);
    memoryUnread.memoryRead = false;
    processApplySnapshot(list, {process(10, second, 1, 2000), memoryUnread, process(12, second, 5)},
                         start + 2 * second, 1);
    EXPECT_FALSE(row(list, 10).cpuValid); // another process with the same id
    EXPECT_TRUE(row(list, 10).accessible);
    EXPECT_FALSE(row(list, 11).accessible);
    EXPECT_EQ(row(list, 11).workingSet, 0u);
    EXPECT_FALSE(row(list, 12).cpuValid); // no times last time, so nothing to compare
    EXPECT_EQ(list.previousTimes.at(10).creationTime, 2000u);

    // The new process has a baseline now; the one that ended dropped out.
    processApplySnapshot(list, {process(10, 3 * second, 1, 2000)}, start + 4 * second, 1);
    EXPECT_DOUBLE_EQ(row(list, 10).cpuPercent, 100.0);
    EXPECT_EQ(list.previousTimes.size(), 1u);
}

TEST(ProcessList, BothOrdersPutInaccessibleRowsLastWithFixedTies) {
    ProcessList list;
    const std::vector<ProcessSample> first = {
        denied(9),         process(7, 0, 50), process(5, 0, 50),   process(3, 0, 80),
        process(8, 0, 10), denied(2),         process(6, 0, 40, 1)};
    processApplySnapshot(list, first, start, 1);
    std::vector<ProcessSample> next = {
        denied(9),           process(7, second / 10, 50), process(5, second / 10, 50),
        process(3, 0, 80),   process(8, second / 2, 10),  denied(2),
        process(6, 0, 40, 2)}; // reused id: not measured
    processApplySnapshot(list, next, start + second, 1);
    // By use: 8 (50 %), 5 and 7 (10 %, equal memory: smaller id), 3 (0 %), 6 (no value), denied.
    EXPECT_EQ(order(list), (std::vector<uint32_t>{8, 5, 7, 3, 6, 2, 9}));

    list.sortBy = 1; // re-sorts the rows already there, without a new snapshot
    processSort(list);
    EXPECT_EQ(order(list), (std::vector<uint32_t>{3, 5, 7, 6, 8, 2, 9}));
    list.sortBy = 0;
    processSort(list);
    EXPECT_EQ(order(list), (std::vector<uint32_t>{8, 5, 7, 3, 6, 2, 9}));
}

TEST(ProcessList, ClearingForgetsEverythingButTheOrder) {
    ProcessList list;
    list.sortBy = 1;
    processApplySnapshot(list, {process(10, 0, 1)}, start, 1);
    processClear(list);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_EQ(list.rows.capacity(), 0u);
    EXPECT_EQ(list.count, 0u);
    EXPECT_TRUE(list.previousTimes.empty());
    EXPECT_EQ(list.lastTime, 0u);
    EXPECT_EQ(list.sortBy, 1u);

    // Use is measured again only from the second update after a clear.
    processApplySnapshot(list, {process(10, second, 1)}, start + second, 1);
    EXPECT_FALSE(row(list, 10).cpuValid);
}

// The real snapshot of this system: this test program is in it, readable.
TEST(ProcessesOnThisSystem, ListsRunningProcessesWithWorkingSets) {
    ProcessList list;
    processUpdate(list, 1);
    ASSERT_GT(list.count, 1u);
    EXPECT_EQ(list.count, list.rows.size());
    const auto self = std::find_if(list.rows.begin(), list.rows.end(), [](const ProcessRow& r) {
        return r.pid == GetCurrentProcessId();
    });
    ASSERT_NE(self, list.rows.end());
    EXPECT_TRUE(self->accessible);
    EXPECT_GT(self->workingSet, 0u);
    EXPECT_EQ(self->name, L"ovra_unit_tests.exe");
    EXPECT_FALSE(self->cpuValid);

    Sleep(30); // the second update needs some wall time to compare against
    processUpdate(list, 1);
    const ProcessRow& again = row(list, GetCurrentProcessId());
    EXPECT_TRUE(again.cpuValid);
    EXPECT_GE(again.cpuPercent, 0.0);
    EXPECT_LE(again.cpuPercent, 100.0);
}

} // namespace
} // namespace ovra
