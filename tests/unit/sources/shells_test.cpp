// The shells against Wine and the simulated PC's counters: what they read reaches the record.
#include "harness.h"
#include "sources/answers_win.h"
#include "sources/cpu.h"
#include "sources/gpu.h"
#include "sources/memory.h"
#include "sources/storage.h"
#include "sources/thermal.h"

#include <string>
#include <vector>

namespace ovra {
namespace {

// Each answer's fields are distinct, so a field copied into another's place shows.
TEST(Shells, WindowsAnswersAreCopiedFieldByField) {
    MEMORYSTATUSEX status{};
    status.ullTotalPhys = 8000, status.ullAvailPhys = 2000;
    PERFORMANCE_INFORMATION performance{};
    performance.PageSize = 4096, performance.CommitTotal = 3, performance.CommitLimit = 5;
    performance.SystemCache = 7;
    MemoryInfo memory;
    memoryFromAnswers(memory, &status, &performance);
    EXPECT_TRUE(memory.ok && memory.totalBytes == 8000 && memory.availableBytes == 2000);
    EXPECT_DOUBLE_EQ(memory.usedPercent, 75.0);
    EXPECT_EQ(std::vector<uint64_t>({memory.commitTotal.value, memory.commitLimit.value,
                                     memory.systemCache.value}),
              std::vector<uint64_t>({3 * 4096, 5 * 4096, 7 * 4096}));
    memoryFromAnswers(memory, nullptr, nullptr);
    EXPECT_TRUE(!memory.ok && memory.totalBytes == 8000 && !memory.commitLimit.ok);

    MIB_IF_ROW2 mib{};
    mib.InterfaceLuid.Value = 11, mib.ReceiveLinkSpeed = 22, mib.TransmitLinkSpeed = 33;
    mib.Type = 71, mib.OperStatus = IfOperStatusUp, mib.InOctets = 44, mib.OutOctets = 55;
    mib.InterfaceAndOperStatusFlags.HardwareInterface = 1;
    wcscpy(mib.Alias, L"Wi-Fi"), wcscpy(mib.Description, L"Kartu nirkabel");
    NetworkRow row;
    networkRowFromAnswer(row, mib);
    EXPECT_EQ(std::vector<uint64_t>({row.luid, row.receiveLinkBps, row.transmitLinkBps, row.type,
                                     row.inOctets, row.outOctets}),
              std::vector<uint64_t>({11, 22, 33, 71, 44, 55}));
    EXPECT_TRUE(row.operationalUp && row.hardwareInterface && !row.filterInterface);
    EXPECT_TRUE(row.alias == L"Wi-Fi" && row.description == L"Kartu nirkabel");

    const PowerStatusAnswer power = powerStatusFromAnswer({1, 8, 64, 0, 3600, 7200});
    EXPECT_TRUE(power.acLineStatus == 1 && power.batteryFlag == 8 && power.lifePercent == 64 &&
                power.lifeTime == 3600);
}

// What the real machine answers obeys the rules every machine does.
TEST(Shells, RealAnswersHoldTogether) {
    StorageInfo storage;
    drivesUpdate(storage);
    ASSERT_FALSE(storage.drives.empty());
    for (const Drive& drive : storage.drives)
        EXPECT_LE(drive.freeBytes, drive.totalBytes) << char(drive.letter);
    MemoryInfo memory;
    memoryUpdate(memory);
    EXPECT_GT(memory.commitTotal.value, 1ull << 24); // bytes, not pages
    EXPECT_LE(memory.commitTotal.value, memory.commitLimit.value);
}

using SimulatedSources = test::SimulatedPc;

TEST_F(SimulatedSources, CountersReachTheirRecords) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n"
               "\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 512\n"
               "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3181\n"
               "\\GPU Engine(pid_4_luid_0x00000000_0x0000D1A2_phys_0_eng_0_engtype_3D)"
               "\\Utilization Percentage = 37.5\n"
               "\\GPU Adapter Memory(luid_0x00000000_0x0000D1A2_phys_0)\\Dedicated Usage = 4096\n"
               "\\GPU Adapter Memory(luid_0x00000000_0x0000D1A2_phys_0)\\Shared Usage = 2048\n");
    PdhQuery query; // the App keeps three; one serves all four sources here
    CpuInfo cpu;
    StorageInfo storage;
    ThermalInfo thermal;
    GpuInfo gpu;
    cpuInit(cpu, query);
    diskIoInit(storage, query);
    thermalInit(thermal, query);
    gpuInit(gpu, query);
    gpu.adapters.resize(1);
    gpu.adapters[0].luid = GpuLuid{0xD1A2, 0};
    for (int collection = 0; collection < 2; ++collection) {
        ASSERT_TRUE(pdhCollect(query));
        cpuUpdate(cpu);
        diskIoUpdate(storage);
        thermalUpdate(thermal);
        gpuUpdate(gpu);
    }
    ASSERT_TRUE(cpu.baseMhz.ok);
    EXPECT_DOUBLE_EQ(cpu.effectiveMhz.value, cpu.baseMhz.value * 1.125);
    ASSERT_EQ(storage.drives.at(0).letter, L'C');
    EXPECT_TRUE(storage.drives[0].readRate.value == 1048576 &&
                storage.drives[0].writeRate.value == 512);
    EXPECT_NEAR(thermal.maxTemp.value, 44.95, 1e-9);
    const GpuAdapter& adapter = gpu.adapters[0];
    EXPECT_TRUE(adapter.usage.value == 37.5 && adapter.dedicatedUsed.value == 4096 &&
                adapter.sharedUsed.value == 2048);
    pdhClose(query);
}

} // namespace
} // namespace ovra
