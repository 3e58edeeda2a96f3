#include "sources/cpu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
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

TEST(CpuTotalUse, FirstUpdateMeasuresThenIdleShareGivesUse) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(1000, 3000, 1000));
    EXPECT_FALSE(cpu.usage.ok);
    EXPECT_EQ(cpu.usage.limitation, Limitation::Measuring);
    EXPECT_TRUE(cpu.hasPreviousTimes);

    // 100 units passed (75 kernel incl. 25 idle, 25 user): busy 75 of 100.
    cpuApplySystemTimes(cpu, true, times(1025, 3075, 1025));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);
    EXPECT_EQ(cpu.usage.limitation, Limitation::None);
    EXPECT_TRUE(cpu.usage.reason.empty());

    cpuApplySystemTimes(cpu, true, times(1025, 3175, 1025));
    EXPECT_DOUBLE_EQ(cpu.usage.value, 100);
}

TEST(CpuTotalUse, NoTimePassedKeepsTheLastValue) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(0, 0, 0));
    cpuApplySystemTimes(cpu, true, times(25, 75, 25));
    cpuApplySystemTimes(cpu, true, times(25, 75, 25));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);
    // The next interval is measured from the latest sample.
    cpuApplySystemTimes(cpu, true, times(75, 150, 50));
    EXPECT_DOUBLE_EQ(cpu.usage.value, 50);
}

TEST(CpuTotalUse, IdleLargerThanTotalReadsZero) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(0, 0, 0));
    cpuApplySystemTimes(cpu, true, times(150, 80, 20));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_EQ(cpu.usage.value, 0);
}

TEST(CpuTotalUse, FailedCallGivesReasonAndKeepsThePreviousSample) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, true, times(0, 0, 0));
    cpuApplySystemTimes(cpu, true, times(50, 80, 20));
    cpuApplySystemTimes(cpu, false, times(999, 999, 999));
    EXPECT_FALSE(cpu.usage.ok);
    EXPECT_EQ(cpu.usage.value, 0);
    EXPECT_EQ(cpu.usage.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.usage.reason, L"GetSystemTimes gagal.");
    EXPECT_EQ(cpu.previousTimes.idle, 50u);

    cpuApplySystemTimes(cpu, true, times(75, 155, 45));
    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 75);
    EXPECT_TRUE(cpu.usage.reason.empty());
}

TEST(CpuTotalUse, FailureBeforeAnySampleStillNeedsTwoGoodOnes) {
    CpuInfo cpu;
    cpuApplySystemTimes(cpu, false, CpuTimes{});
    EXPECT_FALSE(cpu.hasPreviousTimes);
    cpuApplySystemTimes(cpu, true, times(10, 20, 10));
    EXPECT_FALSE(cpu.usage.ok);
    EXPECT_EQ(cpu.usage.reason, L"GetSystemTimes gagal.");
}

void applyProcessors(CpuInfo& cpu, const std::vector<CpuTimes>& now, int32_t status = 0) {
    cpuApplyProcessorTimes(cpu, status, now.data(), now.size());
}

TEST(CpuPerProcessor, FirstUpdateTakesTheBaselineThenGivesValues) {
    CpuInfo cpu;
    applyProcessors(cpu, {times(100, 200, 100), times(100, 200, 100)});
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::Measuring);
    EXPECT_TRUE(cpu.perProcessorUsage.empty());
    EXPECT_EQ(cpu.previousProcessorTimes.size(), 2u);

    applyProcessors(cpu, {times(125, 275, 125), times(200, 300, 100)});
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::None);
    EXPECT_TRUE(cpu.perProcessorStatus.reason.empty());
    ASSERT_EQ(cpu.perProcessorUsage.size(), 2u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 75);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 0);
    EXPECT_EQ(cpu.previousProcessorTimes[0].kernel, 275u);
}

TEST(CpuPerProcessor, CountChangeOnlyTakesANewBaseline) {
    CpuInfo cpu;
    applyProcessors(cpu, {times(0, 0, 0), times(0, 0, 0)});
    applyProcessors(cpu, {times(50, 100, 0), times(0, 100, 0)});
    ASSERT_TRUE(cpu.perProcessorStatus.ok);

    applyProcessors(cpu, {times(60, 200, 0), times(10, 200, 0), times(500, 900, 100)});
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    ASSERT_EQ(cpu.perProcessorUsage.size(), 2u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 50);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 100);
    ASSERT_EQ(cpu.previousProcessorTimes.size(), 3u);
    EXPECT_EQ(cpu.previousProcessorTimes[2].idle, 500u);

    applyProcessors(cpu, {times(160, 300, 0), times(10, 300, 0), times(525, 975, 125)});
    ASSERT_EQ(cpu.perProcessorUsage.size(), 3u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 0);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[1], 100);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[2], 75);
}

TEST(CpuPerProcessor, FailedCallNamesItsStatusAndKeepsOldValues) {
    CpuInfo cpu;
    applyProcessors(cpu, {times(0, 0, 0)});
    applyProcessors(cpu, {times(25, 100, 0)});
    ASSERT_DOUBLE_EQ(cpu.perProcessorUsage.at(0), 75);

    const int32_t lengthMismatch = static_cast<int32_t>(0xC0000004);
    applyProcessors(cpu, {times(999, 999, 999)}, lengthMismatch);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.perProcessorStatus.reason, L"NtQuerySystemInformation gagal (0xC0000004).");
    ASSERT_EQ(cpu.perProcessorUsage.size(), 1u);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 75);
    EXPECT_EQ(cpu.previousProcessorTimes.at(0).idle, 25u);

    // Recovery is measured against the sample from before the failure.
    applyProcessors(cpu, {times(75, 200, 0)});
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    EXPECT_DOUBLE_EQ(cpu.perProcessorUsage[0], 50);
}

TEST(CpuPerProcessor, MoreThan64ProcessorsFailTheCallButTotalUseStillWorks) {
    // With more than 64 logical processors the 64-record buffer is too small and
    // the call answers STATUS_INFO_LENGTH_MISMATCH on every update.
    CpuInfo cpu;
    const int32_t lengthMismatch = static_cast<int32_t>(0xC0000004);
    cpuApplySystemTimes(cpu, true, times(0, 0, 0));
    cpuApplyProcessorTimes(cpu, lengthMismatch, nullptr, 0);
    cpuApplySystemTimes(cpu, true, times(400, 800, 200));
    cpuApplyProcessorTimes(cpu, lengthMismatch, nullptr, 0);

    EXPECT_TRUE(cpu.usage.ok);
    EXPECT_DOUBLE_EQ(cpu.usage.value, 60);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.reason, L"NtQuerySystemInformation gagal (0xC0000004).");
    EXPECT_TRUE(cpu.perProcessorUsage.empty());
}

TEST(CpuPerProcessor, UseStaysWithinZeroToHundred) {
    CpuInfo cpu;
    const std::vector<CpuTimes> start(4, times(1000, 2000, 1000));
    applyProcessors(cpu, start);
    applyProcessors(cpu, {
                             times(1000, 2000, 1000), // no busy time at all
                             times(1200, 2100, 1000), // idle grew more than busy
                             times(900, 2100, 1000),  // idle went back
                             times(1000, 1900, 1000), // kernel went back: busy negative
                         });
    ASSERT_EQ(cpu.perProcessorUsage.size(), 4u);
    EXPECT_EQ(cpu.perProcessorUsage[0], 0);
    EXPECT_EQ(cpu.perProcessorUsage[1], 0);
    EXPECT_EQ(cpu.perProcessorUsage[2], 100);
    EXPECT_EQ(cpu.perProcessorUsage[3], 0);
}

void putRecord(std::vector<unsigned char>& buffer, size_t index, int64_t idle, int64_t kernel,
               int64_t user) {
    unsigned char* record = buffer.data() + index * cpuProcessorRecordBytes;
    std::memcpy(record, &idle, 8);
    std::memcpy(record + 8, &kernel, 8);
    std::memcpy(record + 16, &user, 8);
    const int64_t dpc = 77, interrupt = 88;
    std::memcpy(record + 24, &dpc, 8);
    std::memcpy(record + 32, &interrupt, 8);
}

TEST(CpuPerProcessor, RecordsDecodeIntoTimesUpToTheCapacity) {
    std::vector<unsigned char> buffer(3 * cpuProcessorRecordBytes + 20, 0xEE);
    putRecord(buffer, 0, 10, 20, 30);
    putRecord(buffer, 1, 40, 50, 60);
    putRecord(buffer, 2, 1LL << 40, 3LL << 40, 5);
    CpuTimes decoded[4] = {};

    // A partial trailing record is not a processor.
    ASSERT_EQ(cpuTimesFromRecords(buffer.data(), buffer.size(), decoded, 4), 3u);
    EXPECT_EQ(decoded[0].idle, 10u);
    EXPECT_EQ(decoded[0].kernel, 20u);
    EXPECT_EQ(decoded[0].user, 30u);
    EXPECT_EQ(decoded[1].idle, 40u);
    EXPECT_EQ(decoded[1].user, 60u);
    EXPECT_EQ(decoded[2].idle, 1ULL << 40);
    EXPECT_EQ(decoded[2].kernel, 3ULL << 40);

    EXPECT_EQ(cpuTimesFromRecords(buffer.data(), buffer.size(), decoded, 2), 2u);
    EXPECT_EQ(cpuTimesFromRecords(buffer.data(), cpuProcessorRecordBytes - 1, decoded, 4), 0u);
}

CpuInfo cpuWithBase(double mhz) {
    CpuInfo cpu;
    cpuApplyBaseFrequency(cpu, true, static_cast<uint32_t>(mhz));
    return cpu;
}

int fakeCounter;

TEST(CpuFrequency, BaseComesFromThePowerCallOrIsExplained) {
    CpuInfo cpu = cpuWithBase(2000);
    EXPECT_TRUE(cpu.baseMhz.ok);
    EXPECT_EQ(cpu.baseMhz.value, 2000);
    EXPECT_EQ(cpu.baseMhz.limitation, Limitation::None);

    for (const bool callOk : {false, true}) {
        cpuApplyBaseFrequency(cpu, callOk, callOk ? 0 : 3000);
        EXPECT_FALSE(cpu.baseMhz.ok);
        EXPECT_EQ(cpu.baseMhz.value, 0);
        EXPECT_EQ(cpu.baseMhz.limitation, Limitation::WindowsApi);
        EXPECT_EQ(cpu.baseMhz.reason, L"CallNtPowerInformation tidak memberi frekuensi.");
    }
}

TEST(CpuFrequency, TurboAboveHundredPercentIsNotCapped) {
    CpuInfo cpu = cpuWithBase(2000);
    cpu.performanceCounter = &fakeCounter;
    cpuApplyCounterSetup(cpu, true, 0);
    cpuApplyEffectiveFrequency(cpu, true, 120, 2);
    EXPECT_TRUE(cpu.effectiveMhz.ok);
    EXPECT_DOUBLE_EQ(cpu.effectiveMhz.value, 2400);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::None);
    cpuApplyEffectiveFrequency(cpu, true, 40, 3);
    EXPECT_DOUBLE_EQ(cpu.effectiveMhz.value, 800);
}

TEST(CpuFrequency, MeasuresUntilTheSecondCollectionThenExplainsAMissingValue) {
    CpuInfo cpu = cpuWithBase(2000);
    cpu.performanceCounter = &fakeCounter;
    cpuApplyCounterSetup(cpu, true, 0);
    cpuApplyEffectiveFrequency(cpu, false, 0, 0);
    cpuApplyEffectiveFrequency(cpu, true, 0, 1);
    EXPECT_FALSE(cpu.effectiveMhz.ok);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::Measuring);
    EXPECT_TRUE(cpu.effectiveMhz.reason.empty());

    const std::wstring noValue = L"Penghitung performa prosesor tidak memberi nilai.";
    cpuApplyEffectiveFrequency(cpu, false, 0, 2);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.effectiveMhz.reason, noValue);

    cpuApplyEffectiveFrequency(cpu, true, 95, 3);
    ASSERT_TRUE(cpu.effectiveMhz.ok);
    // A zero (or failed) read after a good one is explained, not kept.
    cpuApplyEffectiveFrequency(cpu, true, 0, 4);
    EXPECT_FALSE(cpu.effectiveMhz.ok);
    EXPECT_EQ(cpu.effectiveMhz.value, 0);
    EXPECT_EQ(cpu.effectiveMhz.reason, noValue);
}

TEST(CpuFrequency, MissingCounterNamesThePdhStatus) {
    CpuInfo cpu = cpuWithBase(2000);
    cpuApplyCounterSetup(cpu, false, 0xC0000BB9);
    const std::wstring reason =
        L"Penghitung \"% Processor Performance\" tidak tersedia (penghitung kinerja tidak ada).";
    EXPECT_FALSE(cpu.effectiveMhz.ok);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.effectiveMhz.reason, reason);

    cpuApplyEffectiveFrequency(cpu, false, 0, 5);
    EXPECT_EQ(cpu.effectiveMhz.reason, reason);

    CpuInfo other = cpuWithBase(2000);
    cpuApplyCounterSetup(other, false, pdhInvalidHandle);
    EXPECT_EQ(other.effectiveMhz.reason,
              L"Penghitung \"% Processor Performance\" tidak tersedia (PDH 0xC0000BBC).");
}

TEST(CpuFrequency, UnknownBaseOutranksTheCounterAndIsNeverMeasured) {
    for (const bool added : {false, true}) {
        CpuInfo cpu;
        cpuApplyBaseFrequency(cpu, false, 0);
        if (added) cpu.performanceCounter = &fakeCounter;
        cpuApplyCounterSetup(cpu, added, added ? 0 : 0xC0000BB8);
        EXPECT_EQ(cpu.effectiveMhz.reason, L"Frekuensi dasar tidak diketahui.");
        EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::WindowsApi);

        cpuApplyEffectiveFrequency(cpu, true, 120, 2);
        EXPECT_FALSE(cpu.effectiveMhz.ok);
        EXPECT_EQ(cpu.effectiveMhz.reason, L"Frekuensi dasar tidak diketahui.");
    }
}

TEST(CpuDescription, NameIsTrimmedOrReplaced) {
    EXPECT_EQ(cpuDisplayName(L"  Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz \t"),
              L"Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz");
    EXPECT_EQ(cpuDisplayName(L""), L"Prosesor tidak dikenal");
    EXPECT_EQ(cpuDisplayName(L"   "), L"Prosesor tidak dikenal");
}

void putTopologyRecord(std::vector<unsigned char>& buffer, uint32_t relationship, uint32_t size) {
    const size_t at = buffer.size();
    buffer.resize(at + (size < 8 ? 8 : size), 0);
    std::memcpy(buffer.data() + at, &relationship, 4);
    std::memcpy(buffer.data() + at + 4, &size, 4);
}

TEST(CpuDescription, CoreRecordsAreCountedByWalkingTheirSizes) {
    std::vector<unsigned char> records;
    putTopologyRecord(records, 0, 48); // core
    putTopologyRecord(records, 2, 32); // cache: skipped by its own size
    putTopologyRecord(records, 0, 80); // core with a longer group mask list
    putTopologyRecord(records, 0, 48);
    EXPECT_EQ(cpuCountCoreRecords(records.data(), records.size()), 3u);
    EXPECT_EQ(cpuCountCoreRecords(records.data(), 48 + 32 + 80 + 7), 2u);
    EXPECT_EQ(cpuCountCoreRecords(nullptr, 100), 0u);
}

TEST(CpuDescription, MalformedRecordSizesEndTheWalk) {
    std::vector<unsigned char> zeroSize;
    putTopologyRecord(zeroSize, 0, 48);
    putTopologyRecord(zeroSize, 0, 0);
    putTopologyRecord(zeroSize, 0, 48);
    EXPECT_EQ(cpuCountCoreRecords(zeroSize.data(), zeroSize.size()), 1u);

    std::vector<unsigned char> overrun;
    putTopologyRecord(overrun, 0, 48);
    putTopologyRecord(overrun, 0, 48);
    const uint32_t tooLong = 4096;
    std::memcpy(overrun.data() + 48 + 4, &tooLong, 4);
    EXPECT_EQ(cpuCountCoreRecords(overrun.data(), overrun.size()), 1u);
}

TEST(CpuDescription, MissingNtQueryIsExplained) {
    CpuInfo cpu;
    cpuApplyNtQueryPresence(cpu, true);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::Measuring);
    cpuApplyNtQueryPresence(cpu, false);
    EXPECT_FALSE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::WindowsApi);
    EXPECT_EQ(cpu.perProcessorStatus.reason, L"NtQuerySystemInformation tidak ada.");
}

bool isDefinedEffectiveReason(const std::wstring& reason) {
    const std::wstring counterPrefix = L"Penghitung \"% Processor Performance\" tidak tersedia (";
    if (reason.rfind(counterPrefix, 0) == 0 && reason.size() > counterPrefix.size() + 2 &&
        reason.compare(reason.size() - 2, 2, L").") == 0)
        return true;
    return reason == L"Frekuensi dasar tidak diketahui." ||
           reason == L"Penghitung performa prosesor tidak memberi nilai.";
}

// Against Wine 8, probed first: it reports the host's processor name, a core and
// logical count from the host, the host's maximum MHz through CallNtPowerInformation
// and per-processor times through NtQuerySystemInformation; it has no "Processor
// Information" counter object (0xC0000BB9), so the effective frequency is explained.
TEST(CpuShell, WineProcessorIsDescribedAndMeasured) {
    PdhQuery fastQuery;
    CpuInfo cpu;
    cpuInit(cpu, fastQuery);
    EXPECT_EQ(cpu.query, &fastQuery);
    EXPECT_FALSE(cpu.name.empty());
    EXPECT_EQ(cpu.name, cpuDisplayName(cpu.name));
    EXPECT_GE(cpu.logicalProcessors, 1u);
    EXPECT_LE(cpu.physicalCores, cpu.logicalProcessors);
    EXPECT_NE(cpu.ntQuerySystemInformation, nullptr);
    // cpuInit ends with the first update, which only takes the baselines.
    EXPECT_EQ(cpu.usage.limitation, Limitation::Measuring);
    EXPECT_EQ(cpu.perProcessorStatus.limitation, Limitation::Measuring);
    if (cpu.baseMhz.ok)
        EXPECT_GT(cpu.baseMhz.value, 0);
    else
        EXPECT_EQ(cpu.baseMhz.reason, L"CallNtPowerInformation tidak memberi frekuensi.");

    pdhCollect(fastQuery);
    cpuUpdate(cpu);
    // Wine's system times advance in steps of several milliseconds.
    for (int attempt = 0; attempt < 40 && !cpu.usage.ok; ++attempt) {
        Sleep(25);
        cpuUpdate(cpu);
    }
    // A last interval long enough for every processor's times to move.
    Sleep(100);
    pdhCollect(fastQuery);
    cpuUpdate(cpu);

    ASSERT_TRUE(cpu.usage.ok);
    EXPECT_GE(cpu.usage.value, 0);
    EXPECT_LE(cpu.usage.value, 100);
    EXPECT_TRUE(cpu.perProcessorStatus.ok);
    EXPECT_EQ(cpu.perProcessorUsage.size(), cpu.logicalProcessors);
    for (double percent : cpu.perProcessorUsage) {
        EXPECT_GE(percent, 0);
        EXPECT_LE(percent, 100);
    }
    EXPECT_FALSE(cpu.effectiveMhz.ok);
    EXPECT_EQ(cpu.effectiveMhz.limitation, Limitation::WindowsApi);
    EXPECT_TRUE(isDefinedEffectiveReason(cpu.effectiveMhz.reason));

    std::printf("[ info     ] name \"%ls\", %u cores, %u logical\n", cpu.name.c_str(),
                cpu.physicalCores, cpu.logicalProcessors);
    std::printf("[ info     ] base %s %.0f MHz \"%ls\"\n", cpu.baseMhz.ok ? "ok" : "not ok",
                cpu.baseMhz.value, cpu.baseMhz.reason.c_str());
    std::printf("[ info     ] effective \"%ls\"\n", cpu.effectiveMhz.reason.c_str());
    std::printf("[ info     ] usage %.1f %%, per processor:", cpu.usage.value);
    for (double percent : cpu.perProcessorUsage)
        std::printf(" %.1f", percent);
    std::printf("\n");
    pdhClose(fastQuery);
}

} // namespace
} // namespace ovra
