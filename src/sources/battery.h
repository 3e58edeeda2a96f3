#pragma once
// The battery: charge and power source from the Windows power status, capacity,
// wear, cycles and rate from the battery driver.
#include <cstdint>
#include <functional>
#include <string>
#include "sources/reading.h"

namespace ovra {

struct BatteryInfo {
    bool present = false;
    std::wstring presenceReason; // empty when present
    Reading<uint32_t> percent;   // 0 to 100
    Reading<bool> onAc;
    Reading<bool> charging;
    Reading<uint32_t> secondsLeft;
    Reading<int32_t> rate;            // mW, positive while charging, negative while discharging
    Reading<uint32_t> designCapacity; // mWh
    Reading<uint32_t> fullCapacity;   // mWh, full-charge capacity
    Reading<uint32_t> cycleCount;
    Reading<double> health;   // full-charge capacity in percent of the design capacity
    std::wstring chemistry;   // the driver's chemistry code, trimmed
    int32_t batteryCount = 0; // battery interfaces found, 0 to 8
};

// Rebuilds the record from the power status and the battery driver.
void batteryUpdate(BatteryInfo& battery);

// --- The rules behind those, over the plain answers of Windows. ---

// SYSTEM_POWER_STATUS as GetSystemPowerStatus reports it.
struct PowerStatusAnswer {
    uint8_t acLineStatus = 255;     // 0 offline, 1 online, 255 unknown
    uint8_t batteryFlag = 255;      // 8 charging, 128 no system battery, 255 unknown
    uint8_t lifePercent = 255;      // 255 unknown
    uint32_t lifeTime = 0xFFFFFFFF; // seconds, 0xFFFFFFFF unknown
};

// What one battery device answered; each step is taken only after the one before
// it succeeded.
struct BatteryDeviceAnswer {
    bool opened = false;
    uint32_t tag = 0; // 0: no battery answered the tag query
    bool informationOk = false;
    uint32_t capabilities = 0;
    unsigned char chemistry[4] = {};
    uint32_t designedCapacity = 0;
    uint32_t fullChargedCapacity = 0;
    uint32_t cycleCount = 0;
    bool statusOk = false;
    uint32_t powerState = 0;
    uint32_t rate = 0; // as the driver reports it; 0x80000000 is "unknown"
};

// A fresh record from the power status (null: the call failed). Returns whether
// a battery is present, so that its driver is worth asking.
bool batteryFromPowerStatus(BatteryInfo& battery, const PowerStatusAnswer* status);

// Applies a device's answer; true when its tag and information were read.
bool batteryApplyDevice(BatteryInfo& battery, const BatteryDeviceAnswer& answer);

// The battery interface that answered last and the count of the enumeration
// that found it; kept for the process's life by batteryUpdate.
struct BatteryCache {
    std::wstring devicePath;
    int32_t batteryCount = 0;
};

// The Windows calls behind one update, replaceable in tests.
struct BatteryCalls {
    std::function<bool(PowerStatusAnswer& status)> powerStatus;
    // Opens the list of present battery interfaces; false when it cannot.
    std::function<bool()> openInterfaces;
    // Whether interface `index` exists; its device path into *path when asked
    // (empty when the path cannot be read).
    std::function<bool(uint32_t index, std::wstring* path)> nextInterface;
    std::function<void()> closeInterfaces;
    std::function<void(const std::wstring& path, BatteryDeviceAnswer& answer)> queryDevice;
};

// batteryUpdate with its calls and cache handed in.
void batteryUpdateWith(BatteryInfo& battery, const BatteryCalls& calls, BatteryCache& cache);

} // namespace ovra
