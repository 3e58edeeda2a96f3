// The shells against Wine and the simulated PC's counters: what they read reaches the record.
#include "harness.h"
#include "sources/cpu.h"
#include "sources/gpu.h"
#include "sources/memory.h"
#include "sources/storage.h"
#include "sources/thermal.h"

#include <string>

namespace ovra {
namespace {

TEST(Shells, MemoryFiguresAreConsistentAndInBytes) {
    MemoryInfo memory;
    memoryUpdate(memory);
    ASSERT_TRUE(memory.ok && memory.totalBytes > memory.availableBytes);
    EXPECT_DOUBLE_EQ(memory.usedPercent, double(memory.totalBytes - memory.availableBytes) * 100.0 /
                                             double(memory.totalBytes));
    EXPECT_GT(memory.commitLimit.value, 1ull << 24); // bytes, not pages
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
