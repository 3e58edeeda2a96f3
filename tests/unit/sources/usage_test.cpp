// Use and rates from Windows' counters: processors, processes, network adapters.
#include "sources/cpu.h"
#include "sources/network.h"
#include "sources/processes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ovra {
namespace {

// The records of every group in turn, processor p (counted over all groups)
// having busy = kernel + user = 2000 * round and idle = (2000 - 20 p) * round: from
// one round to the next it reads exactly p percent.
std::vector<int64_t> records(size_t processors, int64_t round) {
    std::vector<int64_t> times; // six 64-bit fields a record
    for (int64_t p = 0; p < int64_t(processors); ++p)
        times.insert(times.end(), {(2000 - 20 * p) * round, 1500 * round, 500 * round, 0, 0, 0});
    return times;
}
const unsigned char* bytes(const std::vector<int64_t>& times) {
    return reinterpret_cast<const unsigned char*>(times.data());
}

TEST(Cpu, EveryGroupOfALargeMachineAndTotalUse) {
    CpuInfo cpu;
    cpu.groupProcessors = {64, 8};
    const uint32_t full[] = {64 * 48, 8 * 48}, shortAnswer[] = {64 * 48, 7 * 48 + 20};
    cpuApplyProcessorRecords(cpu, bytes(records(72, 1)), full); // the baseline
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    cpuApplyProcessorRecords(cpu, bytes(records(72, 2)), full);
    ASSERT_TRUE(cpu.perProcessorStatus.ok && cpu.perProcessorUsage.size() == 72u);
    for (size_t p : {0u, 1u, 63u, 64u, 71u})
        EXPECT_NEAR(cpu.perProcessorUsage[p], double(p), 1e-9) << p;
    cpuApplyProcessorFailure(cpu, static_cast<int32_t>(0xC0000022)); // one group failed
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::WindowsApi);
    EXPECT_NE(cpu.perProcessorStatus.reason().find(L"(0xC0000022)"), std::wstring::npos);
    cpuApplyProcessorRecords(cpu, bytes(records(72, 3)), shortAnswer); // whole records only
    EXPECT_TRUE(cpu.previousProcessorTimes.size() == 71u &&
                cpu.previousProcessorTimes[70].idle == uint64_t(2000 - 20 * 70) * 3);

    cpuApplySystemTimes(cpu, true, CpuTimes{1000, 5000, 3000});
    EXPECT_EQ(cpu.usage.limitation, Limitation::Measuring);
    cpuApplySystemTimes(cpu, true, CpuTimes{1250, 5600, 3400}); // 1000 passed, 250 idle
    cpuApplySystemTimes(cpu, true, CpuTimes{1250, 5600, 3400}); // no time passed
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75.0);
    cpuApplySystemTimes(cpu, false, CpuTimes{});
    EXPECT_EQ(cpu.usage.limitation, Limitation::WindowsApi);
}

constexpr uint64_t second = 10'000'000; // 100-ns units

ProcessSample process(uint32_t pid, uint64_t seconds, uint64_t workingSet, uint64_t created = 1) {
    return ProcessSample{pid, L"p.exe", true, true, created, seconds * second, true, workingSet};
}

std::vector<uint32_t> order(const ProcessList& list) {
    std::vector<uint32_t> pids;
    for (const ProcessRow& row : list.rows)
        pids.push_back(row.pid);
    return pids;
}

// A share of all processors between two snapshots, at most 100; a reused id
// (another creation time) or a process that would not open has none.
TEST(Processes, UseBetweenSnapshotsAndBothOrders) {
    ProcessList list;
    const ProcessSample denied{4, L"", false, false, 0, 0, false, 0};
    processApplySnapshot(list,
                         {process(0, 0, 0), denied, process(10, 0, 300), process(50, 0, 100),
                          process(20, 0, 100), process(30, 0, 200), process(40, 0, 50)},
                         1000 * second, 4);
    EXPECT_EQ(order(list), (std::vector<uint32_t>{10, 30, 20, 50, 40, 4})); // none measured yet
    processApplySnapshot(list,
                         {denied, process(10, 1, 300), process(20, 4, 100), process(30, 9, 200, 2),
                          process(40, 99, 50)},
                         1002 * second, 4);
    EXPECT_EQ(order(list), (std::vector<uint32_t>{40, 20, 10, 30, 4}));
    const std::vector<double> percents{list.rows[0].cpuPercent, list.rows[1].cpuPercent,
                                       list.rows[2].cpuPercent};
    EXPECT_EQ(percents, (std::vector<double>{100, 50, 12.5}));
    EXPECT_FALSE(list.rows[3].cpuValid || list.rows[4].accessible);
    list.sortBy = 1;
    processSort(list);
    EXPECT_EQ(order(list), (std::vector<uint32_t>{10, 30, 20, 40, 4}));
}

NetworkRow row(uint64_t luid, uint64_t in, uint64_t out, bool up = true, uint32_t type = 6) {
    NetworkRow r;
    r.luid = luid, r.type = type, r.operationalUp = up, r.hardwareInterface = true;
    r.inOctets = in, r.outOctets = out;
    return r;
}

// Update after update: the rows, the tick count, the totals and rates expected.
TEST(Network, FirstSampleCounterWrapAbsenceAndPhysicalAdaptersOnly) {
    NetworkRow filter = row(9, 5000, 5000), loopback = row(8, 0, 0, true, 24);
    filter.filterInterface = true;
    const struct {
        std::vector<NetworkRow> rows;
        uint64_t nowMs, received, sent;
        double download, upload;
    } steps[] = {
        // clang-format off
        {{row(1, 10'000'000, 3'000'000), row(2, 100, 100, false), filter}, 5000, 0, 0, 0, 0},
        {{row(1, 12'000'000, 3'500'000), row(2, 100, 100, false), loopback}, 5500,
         2'000'000, 500'000, 4'000'000, 1'000'000},
        {{row(1, 1000, 3'700'000), row(2, 400, 700)}, 6500, 2'000'000, 700'000, 0, 200'000},
        {{row(2, 1400, 900)}, 7500, 2'001'000, 700'200, 1000, 200},
        {{row(1, 3000, 3'700'000), row(2, 1400, 900)}, 8500, 2'003'000, 700'200, 0, 0},
        {{row(1, 5000, 3'800'000, true, 71), row(2, 1400, 900)}, 10500,
         2'005'000, 800'200, 1000, 50'000},
        // clang-format on
    };
    NetworkInfo network;
    for (const auto& step : steps) {
        networkApply(network, step.rows, step.nowMs);
        EXPECT_TRUE(network.receivedSinceOpen == step.received &&
                    network.sentSinceOpen == step.sent && network.downloadRate == step.download &&
                    network.uploadRate == step.upload && network.ratesValid == (step.nowMs > 5000))
            << step.nowMs;
    }
    EXPECT_TRUE(network.adapters.size() == 2 && network.adapters[0].wifi); // listed once up
    networkFail(network, 5); // a failed read keeps everything measured before
    EXPECT_NE(network.status.reason().find(L"(0x00000005)"), std::wstring::npos);
    EXPECT_TRUE(network.receivedSinceOpen == 2'005'000 && network.lastTick == 10500);
}

} // namespace
} // namespace ovra
