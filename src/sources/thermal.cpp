#include "sources/thermal.h"

namespace ovra {

namespace {

constexpr double noTemperature = -1000;

constexpr wchar_t noReadableZone[] = L"Firmware (ACPI) perangkat ini tidak menyediakan zona "
                                     L"termal yang dapat dibaca Windows (umum pada PC desktop).";

// Zone temperatures arrive in kelvin, from some firmware in tenths of a kelvin;
// anything outside 1 to 125 degrees Celsius is a firmware placeholder, not a reading.
bool zoneCelsius(double kelvin, double& celsius) {
    if (kelvin > 1000)
        kelvin /= 10;
    else if (kelvin <= 0)
        return false;
    celsius = kelvin - 273.15;
    return celsius >= 1.0 && celsius <= 125.0;
}

} // namespace

void thermalApplyInstances(ThermalInfo& thermal, bool counterAdded,
                           const std::vector<PdhInstanceValue>& instances) {
    if (!counterAdded) {
        setUnavailable(thermal.status, Limitation::WindowsApi, thermal.counterReason);
        setUnavailable(thermal.maxTemp, Limitation::WindowsApi, thermal.counterReason);
        return;
    }
    thermal.zones.clear();
    double hottest = noTemperature;
    for (const PdhInstanceValue& instance : instances) {
        double celsius = 0;
        if (!zoneCelsius(instance.value, celsius)) continue;
        thermal.zones.push_back(ThermalZone{instance.name, celsius});
        if (celsius > hottest) hottest = celsius;
    }
    if (thermal.zones.empty()) {
        setUnavailable(thermal.status, Limitation::Firmware, noReadableZone);
        setUnavailable(thermal.maxTemp, Limitation::Firmware, noReadableZone);
        return;
    }
    setReading(thermal.status, true);
    setReading(thermal.maxTemp, hottest);
}

Reading<double> hottestOfficialTemperature(const ThermalInfo& thermal, const GpuInfo& gpu) {
    Reading<double> hottest;
    setUnavailable(hottest, Limitation::Sensor, L"Tidak ada sensor suhu yang terbaca.");
    double candidate = thermal.maxTemp.ok ? thermal.maxTemp.value : noTemperature;
    for (const GpuAdapter& adapter : gpu.adapters) {
        if (adapter.temperature.ok && adapter.temperature.value > candidate)
            candidate = adapter.temperature.value;
    }
    if (candidate > noTemperature) setReading(hottest, candidate);
    return hottest;
}

} // namespace ovra
