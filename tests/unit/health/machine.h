#pragma once
// A fabricated machine for the health checks: every source record, all values
// missing until a test sets them.
#include <cstdint>
#include <string>

#include "health/alerts.h"

namespace ovra::test {

inline constexpr uint64_t gibibyte = 1ull << 30;

struct Machine {
    CpuInfo cpu;
    MemoryInfo memory;
    StorageInfo storage;
    BatteryInfo battery;
    ThermalInfo thermal;
    GpuInfo gpu;

    HealthInputs inputs() const {
        return HealthInputs{cpu, memory, storage, battery, thermal, gpu};
    }

    void setMemory(double usedPercent, uint64_t totalBytes, uint64_t availableBytes) {
        memory.ok = true;
        memory.usedPercent = usedPercent;
        memory.totalBytes = totalBytes;
        memory.availableBytes = availableBytes;
    }

    Drive& addDrive(wchar_t letter, uint64_t totalBytes, uint64_t freeBytes, uint32_t type = 3,
                    bool system = false) {
        Drive drive;
        drive.letter = letter;
        drive.driveType = type;
        drive.ready = true;
        drive.totalBytes = totalBytes;
        drive.freeBytes = freeBytes;
        drive.isSystem = system;
        storage.drives.push_back(drive);
        return storage.drives.back();
    }

    void setBattery(uint32_t percent) {
        battery.present = true;
        setReading(battery.percent, percent);
    }

    void addGpuTemperature(double celsius) {
        GpuAdapter adapter;
        setReading(adapter.temperature, celsius);
        gpu.adapters.push_back(adapter);
    }
};

} // namespace ovra::test
