// Thermal zones, the fixed processor readings, the hottest official temperature,
// and the real thermal counter of this system.
#include "sources/thermal.h"

#include <gtest/gtest.h>

#include "harness.h"

#include <string>
#include <vector>

namespace ovra {
namespace {

const std::wstring noZone = L"Firmware (ACPI) perangkat ini tidak menyediakan zona termal yang "
                            L"dapat dibaca Windows (umum pada PC desktop).";

ThermalInfo readZones(const std::vector<PdhInstanceValue>& instances) {
    ThermalInfo thermal;
    thermalApplySetup(thermal, true, 0);
    thermalApplyInstances(thermal, true, instances);
    return thermal;
}

TEST(ThermalZones, KelvinAndTenthsOfKelvinBecomeCelsius) {
    const ThermalInfo thermal = readZones({{L"\\_TZ.TZ00", 3181},
                                           {L"\\_TZ.TZ01", 318},
                                           {L"\\_TZ.TZ02", 273},
                                           {L"\\_TZ.TZ03", 400},
                                           {L"\\_TZ.TZ04", 0},
                                           {L"\\_TZ.TZ05", -5},
                                           {L"\\_TZ.TZ06", 398.15}});
    ASSERT_EQ(thermal.zones.size(), 3u);
    EXPECT_EQ(thermal.zones[0].name, L"\\_TZ.TZ00");
    EXPECT_NEAR(thermal.zones[0].celsius, 44.95, 1e-9);
    EXPECT_EQ(thermal.zones[1].name, L"\\_TZ.TZ01");
    EXPECT_NEAR(thermal.zones[1].celsius, 44.85, 1e-9);
    EXPECT_NEAR(thermal.zones[2].celsius, 125.0, 1e-9); // the upper bound still counts
    EXPECT_TRUE(thermal.status.ok);
    ASSERT_TRUE(thermal.maxTemp.ok);
    EXPECT_NEAR(thermal.maxTemp.value, 125.0, 1e-9);
}

TEST(ThermalZones, NoPlausibleZoneIsTheFirmwaresLimitation) {
    for (const auto& instances : {std::vector<PdhInstanceValue>{},
                                  std::vector<PdhInstanceValue>{{L"z", 273}, {L"y", 400}}}) {
        const ThermalInfo thermal = readZones(instances);
        EXPECT_TRUE(thermal.zones.empty());
        EXPECT_FALSE(thermal.maxTemp.ok);
        EXPECT_EQ(thermal.maxTemp.limitation, Limitation::Firmware);
        EXPECT_EQ(thermal.maxTemp.reason, noZone);
        EXPECT_EQ(thermal.status.limitation, Limitation::Firmware);
        EXPECT_EQ(thermal.status.reason, noZone);
    }
}

TEST(ThermalZones, EachUpdateRebuildsTheZonesAndTheMaximum) {
    ThermalInfo thermal = readZones({{L"a", 333.15}, {L"b", 353.15}});
    EXPECT_NEAR(thermal.maxTemp.value, 80.0, 1e-9);
    thermalApplyInstances(thermal, true, {{L"a", 318.15}});
    ASSERT_EQ(thermal.zones.size(), 1u);
    EXPECT_NEAR(thermal.maxTemp.value, 45.0, 1e-9);
    thermalApplyInstances(thermal, true, {});
    EXPECT_TRUE(thermal.zones.empty());
    EXPECT_FALSE(thermal.maxTemp.ok);
}

TEST(ThermalZones, MissingCounterExplainsWithItsStatus) {
    ThermalInfo thermal;
    thermalApplySetup(thermal, false, 0xC0000BB8);
    EXPECT_EQ(thermal.status.limitation, Limitation::Measuring);
    thermalApplyInstances(thermal, false, {{L"ignored", 320}});
    const std::wstring reason =
        L"Penghitung \"Thermal Zone Information\" tidak tersedia (objek penghitung kinerja tidak "
        L"ada).";
    EXPECT_TRUE(thermal.zones.empty());
    EXPECT_EQ(thermal.status.limitation, Limitation::WindowsApi);
    EXPECT_EQ(thermal.status.reason, reason);
    EXPECT_EQ(thermal.maxTemp.limitation, Limitation::WindowsApi);
    EXPECT_EQ(thermal.maxTemp.reason, reason);
}

TEST(ThermalFixedReadings, ProcessorTemperatureAndFanAreNeverAvailable) {
    ThermalInfo thermal;
    thermalApplySetup(thermal, true, 0);
    EXPECT_FALSE(thermal.cpuCoreTemp.ok);
    EXPECT_EQ(thermal.cpuCoreTemp.limitation, Limitation::Unsupported);
    EXPECT_EQ(thermal.cpuCoreTemp.reason,
              L"Windows tidak menyediakan API resmi untuk suhu inti CPU. Pembacaan langsung "
              L"memerlukan driver kernel pihak ketiga (akses register MSR) yang tidak dipakai "
              L"Ovra Monitor demi keamanan.");
    EXPECT_FALSE(thermal.cpuFan.ok);
    EXPECT_EQ(thermal.cpuFan.limitation, Limitation::Firmware);
    EXPECT_EQ(thermal.cpuFan.reason,
              L"Kipas CPU/sistem dikendalikan firmware (embedded controller) dan tidak diekspos "
              L"melalui API Windows standar. Antarmuka ACPI untuk kipas jarang diisi oleh "
              L"produsen.");
}

GpuInfo gpuAt(std::initializer_list<double> temperatures) {
    GpuInfo gpu;
    for (double celsius : temperatures) {
        GpuAdapter& adapter = gpu.adapters.emplace_back();
        if (celsius > 0) setReading(adapter.temperature, celsius);
    }
    return gpu;
}

TEST(HottestTemperature, ZonesAndGpusTogether) {
    const ThermalInfo zones = readZones({{L"a", 318.15}, {L"b", 333.15}});
    Reading<double> hottest = hottestOfficialTemperature(zones, gpuAt({72, 0}));
    ASSERT_TRUE(hottest.ok);
    EXPECT_NEAR(hottest.value, 72.0, 1e-9);
    EXPECT_NEAR(hottestOfficialTemperature(zones, gpuAt({50})).value, 60.0, 1e-9);
    EXPECT_NEAR(hottestOfficialTemperature(readZones({}), gpuAt({0, 41})).value, 41.0, 1e-9);

    hottest = hottestOfficialTemperature(readZones({}), gpuAt({0}));
    EXPECT_FALSE(hottest.ok);
    EXPECT_EQ(hottest.value, 0);
    EXPECT_EQ(hottest.limitation, Limitation::Sensor);
    EXPECT_EQ(hottest.reason, L"Tidak ada sensor suhu yang terbaca.");
    EXPECT_EQ(hottestOfficialTemperature(ThermalInfo{}, GpuInfo{}).limitation, Limitation::Sensor);
}

// The real thermal counter of this system.
TEST(ThermalOnThisSystem, ZonesAreReadOrExplained) {
    PdhQuery query;
    ThermalInfo thermal;
    thermalInit(thermal, query);
    pdhCollect(query);
    thermalUpdate(thermal);

    PdhQuery direct;
    uint32_t status = 0;
    const bool counterExists =
        pdhAddCounter(direct, L"\\Thermal Zone Information(*)\\Temperature", &status) != nullptr;
    pdhClose(direct);
    EXPECT_EQ(thermal.counter != nullptr, counterExists);
    if (!counterExists) {
        EXPECT_EQ(thermal.maxTemp.limitation, Limitation::WindowsApi);
        EXPECT_EQ(thermal.status.reason,
                  L"Penghitung \"Thermal Zone Information\" tidak tersedia (" +
                      pdhStatusText(status) + L").");
    } else {
        EXPECT_EQ(thermal.status.ok, !thermal.zones.empty());
        for (const ThermalZone& zone : thermal.zones) {
            EXPECT_GE(zone.celsius, 1.0);
            EXPECT_LE(zone.celsius, 125.0);
        }
    }
    EXPECT_EQ(thermal.cpuCoreTemp.limitation, Limitation::Unsupported);
    pdhClose(query);
}

// The simulated PC's thermal zones through the real counter and shell.
class SimulatedThermal : public test::SimulatedPc {
protected:
    void TearDown() override {
        pdhClose(query);
        test::SimulatedPc::TearDown();
    }
    PdhQuery query;
    ThermalInfo thermal;
};

TEST_F(SimulatedThermal, ZoneTemperaturesComeFromTheCounter) {
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3181\n"
               "\\Thermal Zone Information(\\_TZ.CPUZ)\\Temperature = 333.15\n"
               "\\Thermal Zone Information(\\_TZ.TZ01)\\Temperature = 2731\n"
               "\\Thermal Zone Information(\\_TZ.TZ02)\\Temperature = status 0xC0000BBA\n");
    thermalInit(thermal, query);
    ASSERT_NE(thermal.counter, nullptr);
    pdhCollect(query);
    thermalUpdate(thermal);
    ASSERT_EQ(thermal.zones.size(), 2u);
    EXPECT_EQ(thermal.zones[0].name, L"\\_TZ.TZ00");
    EXPECT_NEAR(thermal.zones[0].celsius, 44.95, 1e-9);
    EXPECT_EQ(thermal.zones[1].name, L"\\_TZ.CPUZ");
    EXPECT_NEAR(thermal.zones[1].celsius, 60.0, 1e-9);
    ASSERT_TRUE(thermal.maxTemp.ok);
    EXPECT_NEAR(thermal.maxTemp.value, 60.0, 1e-9);

    // Only the implausible zone is left: the firmware gives nothing readable.
    setMachine("\\Thermal Zone Information(\\_TZ.TZ01)\\Temperature = 2731\n");
    pdhCollect(query);
    thermalUpdate(thermal);
    EXPECT_TRUE(thermal.zones.empty());
    EXPECT_EQ(thermal.maxTemp.limitation, Limitation::Firmware);
    EXPECT_EQ(thermal.status.reason, noZone);
}

} // namespace
} // namespace ovra
