// GPU use by LUID, thermal zones, and the counter wrapper's filtering and failures.
#include "sources/pdh_query.h"
#include "sources/thermal.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace ovra {
namespace {

// Per engine type every process adds up, the busiest type is the use (at most
// 100), and an instance belongs to an adapter by its LUID's value only.
TEST(Counters, GpuUseMemoryAndSensorsOfEachAdapterByLuid) {
    GpuInfo gpu;
    gpu.adapters.resize(2);
    gpu.adapters[0].luid = GpuLuid{0xD1A2, 0};
    gpu.adapters[1].luid = GpuLuid{0x1F, 0};
    GpuCounterReads reads;
    reads.engineCounterAdded = reads.engineRead = reads.dedicatedRead = reads.sharedRead = true;
    const std::wstring first = L"pid_4_luid_0x00000000_0x0000D1A2_phys_0_eng_";
    // clang-format off
    reads.engines = {{first + L"0_engtype_3D", 30},          {first + L"1_engtype_3D", 25},
                     {first + L"2_engtype_VideoDecode", 50}, {L"luid_0x0_0xd1a2_engtype_3D", 10},
                     {L"luid_0x0_0x1F_engtype_Copy", 70},    {L"luid_0x0_0x1F_engtype_Copy", 45},
                     {L"luid_0x1_0x1F_engtype_3D", 99}};
    reads.dedicated = {{L"luid_0x00000000_0x0000D1A2_phys_0", 1e9}, {L"luid_0x0_0xD1A2_p1", 5e8}};
    // clang-format on
    reads.shared = {{L"luid_0x0_0x1F_phys_0", 2048}};
    gpuApplyCounterReads(gpu, reads, 1); // use is a rate: not after one collection
    EXPECT_EQ(gpu.adapters[0].usage.limitation, Limitation::Measuring);
    gpuApplyCounterReads(gpu, reads, 2);
    EXPECT_DOUBLE_EQ(gpu.adapters[0].usage.value, 65.0);
    EXPECT_DOUBLE_EQ(gpu.adapters[1].usage.value, 100.0);
    EXPECT_DOUBLE_EQ(gpu.adapters[0].dedicatedUsed.value, 1.5e9);
    EXPECT_DOUBLE_EQ(gpu.adapters[1].sharedUsed.value, 2048);
    EXPECT_EQ(gpu.adapters[0].sharedUsed.limitation, Limitation::Driver);
    // Sensors: tenths of a degree up to 125 °C, fans from 1 to 19999 rpm.
    gpuApplySensors(gpu.adapters[0], GpuSensorQuery::Answered, 1250, 19999);
    EXPECT_TRUE(gpu.adapters[0].temperature.value == 125.0 && gpu.adapters[0].fanRpm.ok);
    gpuApplySensors(gpu.adapters[1], GpuSensorQuery::Answered, 1251, 20000);
    EXPECT_FALSE(gpu.adapters[1].temperature.ok || gpu.adapters[1].fanRpm.ok);

    // Kelvin or tenths of a kelvin; only 1 to 125 °C is a reading. The hottest
    // official temperature takes the GPUs too.
    ThermalInfo thermal;
    thermalApplyInstances(thermal, true, {{L"\\_TZ.TZ00", 3181}, {L"B", 274.1}, {L"C", 274.2}});
    // Each update rebuilds the list.
    thermalApplyInstances(thermal, true, {{L"\\_TZ.TZ00", 3181}, {L"B", 274.1}, {L"C", 274.2}});
    ASSERT_EQ(thermal.zones.size(), 2u);
    EXPECT_EQ(thermal.zones[0].name, L"\\_TZ.TZ00");
    EXPECT_NEAR(thermal.zones[0].celsius, 44.95, 1e-9);
    EXPECT_NEAR(thermal.zones[1].celsius, 1.05, 1e-9);
    thermalApplyInstances(thermal, true, {{L"D", 3982}, {L"E", 3981}, {L"F", 0}});
    EXPECT_NEAR(thermal.maxTemp.value, 124.95, 1e-9);
    EXPECT_DOUBLE_EQ(hottestOfficialTemperature(thermal, gpu).value, 125.0);
    thermalApplyInstances(thermal, true, {{L"F", 2731}});
    EXPECT_EQ(thermal.maxTemp.limitation, Limitation::Firmware);
    gpu.adapters.clear();
    EXPECT_EQ(hottestOfficialTemperature(thermal, gpu).limitation, Limitation::Sensor);
}

TEST(Counters, OnlyInstancesWithAValueAreKeptUncappedAndFailuresAreTold) {
    const PdhItem items[] = {
        {L"0,0", {0, 12.5}}, {L"0,1", {2, 99}}, {L"0,2", {1, 130}}, {nullptr, {0, 0}}};
    std::vector<PdhInstanceValue> values = {{L"stale", 1}};
    pdhValuesFromItems(items, std::size(items), values);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_TRUE(values[1].name == L"0,2" && values[1].value == 130 && values[2].name.empty());
    EXPECT_EQ(pdhStatusText(0x2A), L"PDH 0x0000002A");
    PdhQuery query; // whatever pdh.dll the machine has
    EXPECT_FALSE(pdhCollect(query) || pdhReadArray(query, nullptr, values) || !values.empty());
    uint32_t status = 0;
    EXPECT_TRUE(!pdhAddCounter(query, L"\\No Such Object(*)\\Nothing", &status) && status != 0);
    pdhClose(query);
    EXPECT_FALSE(pdhCollect(query));
}

} // namespace
} // namespace ovra
