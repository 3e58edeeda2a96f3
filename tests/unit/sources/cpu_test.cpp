#include "sources/cpu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "sources/pdh_query.h"

namespace ovra {
namespace {

// Times are in 100-ns units; kernel time includes idle time, as Windows reports it.
CpuTimes times(uint64_t idle, uint64_t kernel, uint64_t user) {
    return CpuTimes{idle, kernel, user};
}

const int32_t lengthMismatch = static_cast<int32_t>(0xC0000004);

TEST(CpuTotalUse, MeasuresFromTimeDeltas) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(1000, 3000, 1000));
    EXPECT_EQ(cpu.usage.limitation, Limitation::Measuring);

    // 100 units passed (75 kernel incl. 25 idle, 25 user): busy 75 of 100.
    cpuApplySystemTimes(cpu, true, times(1025, 3075, 1025));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);

    // No time passed: the last value stays, and the next interval starts here.
    cpuApplySystemTimes(cpu, true, times(1025, 3075, 1025));
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);
    cpuApplySystemTimes(cpu, true, times(1075, 3150, 1050));
    EXPECT_DOUBLE_EQ(cpu.usage.value, 50);

    // Idle grew more than the total: never negative.
    cpuApplySystemTimes(cpu, true, times(1300, 3200, 1050));
    EXPECT_EQ(cpu.usage.value, 0);
}

TEST(CpuTotalUse, FailedCallIsExplainedAndRecoveryUsesTheSampleBeforeIt) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, false, CpuTimes{});
    cpuApplySystemTimes(cpu, true, times(50, 80, 20));
    EXPECT_FALSE(cpu.usage.ok); // a failure before any sample still needs two good ones

    cpuApplySystemTimes(cpu, false, times(999, 999, 999));
    EXPECT_FALSE(cpu.usage.ok);
    EXPECT_EQ(cpu.usage.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.usage.reason, L"GetSystemTimes gagal.");

    cpuApplySystemTimes(cpu, true, times(75, 155, 45));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);
    EXPECT_TRUE(cpu.usage.reason.empty());
}

void applyProcessors(CpuInfo& cpu, const std::vector<CpuTimes>& now, int32_t status = 0) {
    cpuApplyProcessorTimes(cpu, status, now.data(), now.size());
}

TEST(CpuPerProcessor, BaselineThenValuesAndACountChangeTakesANewBaseline) {
    CpuInfo cpu;
    applyProcessors(cpu, {times(0, 0, 0), times(0, 0, 0)});
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::Measuring);
    EXPECT_TRUE(cpu.perProcessorUsage.empty());

    applyProcessors(cpu, {times(25, 100, 0), times(100, 100, 0)});
    ASSERT_TRUE(cpu.perProcessorStatus.ok);
    ASSERT_EQ(cpu.perProcessorUsage.size(), 2u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 75);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 0);

    // A third processor appears: the old values stay until the new baseline measures.
    applyProcessors(cpu, {times(60, 200, 0), times(110, 200, 0), times(500, 900, 100)});
    ASSERT_EQ(cpu.perProcessorUsage.size(), 2u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 0);

    applyProcessors(cpu, {times(160, 300, 0), times(110, 300, 0), times(525, 975, 125)});
    ASSERT_EQ(cpu.perProcessorUsage.size(), 3u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 0);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 100);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[2], 75);
}

TEST(CpuPerProcessor, FailedCallNamesItsStatusInHexAndKeepsOldValues) {
    CpuInfo cpu;
    applyProcessors(cpu, {times(0, 0, 0)});
    applyProcessors(cpu, {times(25, 100, 0)});
    applyProcessors(cpu, {times(999, 999, 999)}, lengthMismatch);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.reason, L"NtQuerySystemInformation gagal (0xC0000004).");
    ASSERT_EQ(cpu.perProcessorUsage.size(), 1u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 75);

    applyProcessors(cpu, {times(75, 200, 0)});
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 50);
}

TEST(CpuPerProcessor, FailedCallLeavesTotalUseWorking) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(0, 0, 0));
    cpuApplyProcessorTimes(cpu, lengthMismatch, nullptr, 0);
    cpuApplySystemTimes(cpu, true, times(400, 800, 200));
    cpuApplyProcessorTimes(cpu, lengthMismatch, nullptr, 0);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 60);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_TRUE(cpu.perProcessorUsage.empty());
}

// A fabricated machine of processor groups: each group answers its own records,
// whose idle time tells the group and the processor apart.
struct GroupedMachine {
    std::vector<uint32_t> sizes;
    std::vector<int32_t> statuses; // per group; 0 when absent
    uint64_t busy = 0;             // kernel time of every processor, grows per update
    std::vector<uint16_t> asked;

    int32_t answer(uint16_t group, unsigned char* buffer, uint32_t bytes, uint32_t& written) {
        asked.push_back(group);
        if (group < statuses.size() && statuses[group] < 0) return statuses[group];
        const uint32_t records = sizes.at(group);
        if (bytes < records * cpuProcessorRecordBytes) return lengthMismatch;
        for (uint32_t i = 0; i < records; ++i) {
            // Idle for (group * 100 + i) per mille of the time: a distinct use each.
            const int64_t fields[3] = {static_cast<int64_t>(busy * (group * 100 + i) / 1000),
                                       static_cast<int64_t>(busy), 0};
            std::memcpy(buffer + i * cpuProcessorRecordBytes, fields, sizeof fields);
        }
        written = records * static_cast<uint32_t>(cpuProcessorRecordBytes);
        return 0;
    }
};

void readGroups(CpuInfo& cpu, GroupedMachine& machine) {
    cpuReadProcessorGroups(
        cpu, [&machine](uint16_t group, unsigned char* buffer, uint32_t bytes, uint32_t& written) {
            return machine.answer(group, buffer, bytes, written);
        });
}

TEST(CpuPerProcessor, EveryGroupOfALargeMachineIsMeasuredInOrder) {
    GroupedMachine machine{{64, 8}, {}, 0, {}};
    CpuInfo cpu;
    cpu.groupProcessors = machine.sizes;
    readGroups(cpu, machine); // the baseline
    machine.busy = 100'000;
    readGroups(cpu, machine);
    EXPECT_EQ(machine.asked, (std::vector<uint16_t>{0, 1, 0, 1}));
    ASSERT_TRUE(cpu.perProcessorStatus.ok);
    ASSERT_EQ(cpu.perProcessorUsage.size(), 72u);
    EXPECT_NEAR(cpu.perProcessorUsage[0], 100, 1e-9);   // group 0, processor 0: never idle
    EXPECT_NEAR(cpu.perProcessorUsage[63], 93.7, 1e-9); // group 0, processor 63
    EXPECT_NEAR(cpu.perProcessorUsage[64], 90, 1e-9);   // group 1, processor 0
    EXPECT_NEAR(cpu.perProcessorUsage[71], 89.3, 1e-9); // group 1, processor 7
}

TEST(CpuPerProcessor, OneFailingGroupMakesTheWholeListUnavailable) {
    GroupedMachine machine{{64, 64}, {}, 0, {}};
    CpuInfo cpu;
    cpu.groupProcessors = machine.sizes;
    readGroups(cpu, machine);
    machine.busy = 100'000;
    readGroups(cpu, machine);
    ASSERT_EQ(cpu.perProcessorUsage.size(), 128u);

    machine.statuses = {0, static_cast<int32_t>(0xC0000003)};
    machine.busy = 200'000;
    readGroups(cpu, machine);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.reason, L"NtQuerySystemInformation gagal (0xC0000003).");
    EXPECT_EQ(cpu.perProcessorUsage.size(), 128u) << "the last full list stays";
}

TEST(CpuPerProcessor, UseStaysWithinZeroToHundred) {
    CpuInfo cpu;
    applyProcessors(cpu, std::vector<CpuTimes>(4, times(1000, 2000, 1000)));
    applyProcessors(cpu, {
                             times(1000, 2000, 1000), // no busy time at all
                             times(1200, 2100, 1000), // idle grew more than busy
                             times(900, 2100, 1000),  // idle went back
                             times(1000, 1900, 1000), // kernel went back
                         });
    EXPECT_EQ(cpu.perProcessorUsage, (std::vector<double>{0, 0, 100, 0}));
}

TEST(CpuPerProcessor, RecordsDecodeUpToTheCapacityAndIgnoreAPartialOne) {
    std::vector<unsigned char> buffer(2 * cpuProcessorRecordBytes + 20, 0xEE);
    const int64_t fields[2][3] = {{10, 20, 30}, {1LL << 40, 3LL << 40, 5}};
    for (size_t i = 0; i < 2; ++i)
        std::memcpy(buffer.data() + i * cpuProcessorRecordBytes, fields[i], sizeof fields[i]);
    CpuTimes decoded[3] = {};
    ASSERT_EQ(cpuTimesFromRecords(buffer.data(), buffer.size(), decoded, 3), 2u);
    EXPECT_EQ(decoded[0].kernel, 20u);
    EXPECT_EQ(decoded[0].user, 30u);
    EXPECT_EQ(decoded[1].idle, 1ULL << 40);
    EXPECT_EQ(cpuTimesFromRecords(buffer.data(), buffer.size(), decoded, 1), 1u);
}

int fakeCounter;

CpuInfo cpuWithCounter(bool baseKnown) {
    CpuInfo cpu;
    cpuApplyBaseFrequency(cpu, baseKnown, baseKnown ? 2000 : 0);
    cpu.performanceCounter = &fakeCounter;
    cpuApplyCounterSetup(cpu, true, 0);
    return cpu;
}

TEST(CpuFrequency, BaseComesFromThePowerCallOrIsExplained) {
    CpuInfo cpu;
    cpuApplyBaseFrequency(cpu, true, 2000);
    EXPECT_EQ(cpu.baseMhz.value, 2000);
    cpuApplyBaseFrequency(cpu, true, 0);
    EXPECT_FALSE(cpu.baseMhz.ok);
    EXPECT_EQ(cpu.baseMhz.reason, L"CallNtPowerInformation tidak memberi frekuensi.");
}

TEST(CpuFrequency, MeasuresUntilTheSecondCollectionThenScalesTheBase) {
    CpuInfo cpu = cpuWithCounter(true);
    cpuApplyEffectiveFrequency(cpu, true, 0, 1);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::Measuring);

    cpuApplyEffectiveFrequency(cpu, true, 120, 2); // turbo is not capped
    EXPECT_TRUE(cpu.effectiveMhz.ok);
    EXPECT_DOUBLE_EQ(cpu.effectiveMhz.value, 2400);

    // A zero or failed read after a good one is explained, not kept.
    cpuApplyEffectiveFrequency(cpu, true, 0, 3);
    EXPECT_FALSE(cpu.effectiveMhz.ok);
    EXPECT_EQ(cpu.effectiveMhz.reason, L"Penghitung performa prosesor tidak memberi nilai.");
}

TEST(CpuFrequency, MissingCounterOrBaseIsExplained) {
    CpuInfo cpu;
    cpuApplyBaseFrequency(cpu, true, 2000);
    cpuApplyCounterSetup(cpu, false, 0xC0000BB9);
    cpuApplyEffectiveFrequency(cpu, false, 0, 5);
    EXPECT_EQ(
        cpu.effectiveMhz.reason,
        L"Penghitung \"% Processor Performance\" tidak tersedia (penghitung kinerja tidak ada).");
    cpuApplyCounterSetup(cpu, false, pdhInvalidHandle);
    EXPECT_EQ(cpu.effectiveMhz.reason,
              L"Penghitung \"% Processor Performance\" tidak tersedia (PDH 0xC0000BBC).");

    // An unknown base outranks a working counter and is never measured.
    CpuInfo noBase = cpuWithCounter(false);
    cpuApplyEffectiveFrequency(noBase, true, 120, 2);
    EXPECT_FALSE(noBase.effectiveMhz.ok);
    EXPECT_EQ(noBase.effectiveMhz.reason, L"Frekuensi dasar tidak diketahui.");
}

TEST(CpuDescription, NameIsTrimmedOrReplaced) {
    EXPECT_EQ(cpuDisplayName(L"  Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz \t"),
              L"Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
    EXPECT_EQ(cpuDisplayName(L"   "), L"Prosesor tidak dikenal");
}

void putTopologyRecord(std::vector<unsigned char>& buffer, uint32_t relationship, uint32_t size) {
    const size_t at = buffer.size();
    buffer.resize(at + size, 0);
    std::memcpy(buffer.data() + at, &relationship, 4);
    std::memcpy(buffer.data() + at + 4, &size, 4);
}

TEST(CpuDescription, CoresAreCountedByWalkingRecordSizesAndBadSizesEndTheWalk) {
    std::vector<unsigned char> records;
    putTopologyRecord(records, 0, 48); // core
    putTopologyRecord(records, 2, 32); // cache: skipped by its own size
    putTopologyRecord(records, 0, 80); // core with a longer group mask list
    EXPECT_EQ(cpuCountCoreRecords(records.data(), records.size()), 2u);
    EXPECT_EQ(cpuCountCoreRecords(records.data(), records.size() - 1), 1u);

    const uint32_t sizes[] = {0, 4096}; // zero would loop, 4096 runs past the end
    for (uint32_t bad : sizes) {
        std::vector<unsigned char> broken;
        putTopologyRecord(broken, 0, 48);
        putTopologyRecord(broken, 0, 48);
        std::memcpy(broken.data() + 48 + 4, &bad, 4);
        EXPECT_EQ(cpuCountCoreRecords(broken.data(), broken.size()), 1u) << bad;
    }
}

// Wine reports the host's processor name, counts, maximum MHz and per-processor
// times, but has no "Processor Information" counter object (0xC0000BB9); what is
// asserted holds on a real PC too.
TEST(CpuShell, ProcessorIsDescribedAndEveryProcessorMeasured) {
    PdhQuery fastQuery;
    CpuInfo cpu;
    cpuInit(cpu, fastQuery);
    EXPECT_FALSE(cpu.name.empty());
    EXPECT_GE(cpu.logicalProcessors, 1u);
    EXPECT_LE(cpu.physicalCores, cpu.logicalProcessors);
    EXPECT_EQ(cpu.usage.limitation, Limitation::Measuring);

    // Wine's system times advance in steps of several milliseconds.
    for (int attempt = 0; attempt < 40 && !cpu.usage.ok; ++attempt) {
        Sleep(25);
        pdhCollect(fastQuery);
        cpuUpdate(cpu);
    }
    Sleep(100);
    pdhCollect(fastQuery);
    cpuUpdate(cpu);

    ASSERT_TRUE(cpu.usage.ok);
    EXPECT_LE(cpu.usage.value, 100);
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorUsage.size(), cpu.logicalProcessors);
    // After two collections the effective frequency is decided: a value, or why
    // there is none (Wine has no such counter; a real PC does).
    if (cpu.effectiveMhz.ok)
        EXPECT_GT(cpu.effectiveMhz.value, 0);
    else
        EXPECT_FALSE(cpu.effectiveMhz.reason.empty());
    EXPECT_NE(cpu.effectiveMhz.limitation, Limitation::Measuring);
    pdhClose(fastQuery);
}

} // namespace
} // namespace ovra
