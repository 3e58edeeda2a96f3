#include "sources/battery.h"

#include <utility>

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint8_t noSystemBattery = 128;
constexpr uint8_t unknownStatus = 255;
constexpr uint8_t chargingFlag = 8;
constexpr uint32_t unknownLifeTime = 0xFFFFFFFF;
constexpr uint32_t relativeCapacity = 0x40000000; // BATTERY_CAPACITY_RELATIVE
constexpr uint32_t powerOnLine = 0x1;             // BATTERY_POWER_ON_LINE
constexpr uint32_t batteryCharging = 0x4;         // BATTERY_CHARGING
constexpr uint32_t maximumInterfaces = 8;

// The battery class marks an unknown capacity or count with all bits set; it
// means "not reported", exactly like 0.
bool reported(uint32_t value) {
    return value != 0 && value != 0xFFFFFFFF;
}

void setFirmware(Reading<uint32_t>& reading, uint32_t value, const wchar_t* missingReason) {
    if (reported(value))
        setReading(reading, value);
    else
        setUnavailable(reading, Limitation::Firmware, missingReason);
}

void setOnAc(BatteryInfo& battery, uint8_t acLineStatus) {
    if (acLineStatus == unknownStatus)
        setUnavailable(battery.onAc, Limitation::Firmware, L"Status adaptor daya tidak diketahui.");
    else
        setReading(battery.onAc, acLineStatus == 1);
}

std::wstring chemistryText(const unsigned char (&code)[4]) {
    std::wstring text;
    for (unsigned char c : code) {
        if (c == 0) break;
        text += static_cast<wchar_t>(c);
    }
    return trimText(text);
}

} // namespace

bool batteryFromPowerStatus(BatteryInfo& battery, const PowerStatusAnswer* status) {
    battery = BatteryInfo{};
    if (!status) {
        battery.presenceReason = L"GetSystemPowerStatus gagal.";
        return false;
    }
    if (status->batteryFlag == noSystemBattery) {
        battery.presenceReason =
            L"Windows tidak mendeteksi baterai (perangkat desktop, atau baterai dilepas).";
        setOnAc(battery, status->acLineStatus);
        return false;
    }

    battery.present = true;
    if (status->lifePercent > 100)
        setUnavailable(battery.percent, Limitation::Firmware,
                       L"Persentase baterai tidak diketahui oleh Windows.");
    else
        setReading(battery.percent, uint32_t(status->lifePercent));
    setOnAc(battery, status->acLineStatus);
    if (status->batteryFlag == unknownStatus)
        setUnavailable(battery.charging, Limitation::Firmware,
                       L"Status pengisian tidak diketahui.");
    else
        setReading(battery.charging, (status->batteryFlag & chargingFlag) != 0);
    if (status->lifeTime == unknownLifeTime)
        setUnavailable(battery.secondsLeft, Limitation::Firmware,
                       L"Windows belum dapat memperkirakan sisa waktu (biasanya saat mengisi "
                       L"daya).");
    else
        setReading(battery.secondsLeft, status->lifeTime);

    // Until the driver answers, its five values say that it did not.
    const wchar_t* silentDriver = L"Driver baterai tidak menjawab IOCTL_BATTERY_QUERY_INFORMATION.";
    setUnavailable(battery.rate, Limitation::Driver, silentDriver);
    setUnavailable(battery.designCapacity, Limitation::Driver, silentDriver);
    setUnavailable(battery.fullCapacity, Limitation::Driver, silentDriver);
    setUnavailable(battery.cycleCount, Limitation::Driver, silentDriver);
    setUnavailable(battery.health, Limitation::Driver, silentDriver);
    return true;
}

bool batteryApplyDevice(BatteryInfo& battery, const BatteryDeviceAnswer& answer) {
    if (!answer.opened || answer.tag == 0 || !answer.informationOk) return false;

    battery.chemistry = chemistryText(answer.chemistry);
    if (answer.capabilities & relativeCapacity) {
        const wchar_t* relative = L"Firmware melaporkan kapasitas dalam satuan relatif, bukan mWh.";
        setUnavailable(battery.designCapacity, Limitation::Firmware, relative);
        setUnavailable(battery.fullCapacity, Limitation::Firmware, relative);
        setUnavailable(battery.health, Limitation::Firmware, relative);
    } else {
        setFirmware(battery.designCapacity, answer.designedCapacity,
                    L"Firmware tidak melaporkan kapasitas desain.");
        setFirmware(battery.fullCapacity, answer.fullChargedCapacity,
                    L"Firmware tidak melaporkan kapasitas pengisian penuh.");
        if (battery.designCapacity.ok && battery.fullCapacity.ok)
            setReading(battery.health,
                       battery.fullCapacity.value * 100.0 / battery.designCapacity.value);
        else
            setUnavailable(battery.health, Limitation::Firmware,
                           L"Kapasitas desain atau kapasitas penuh tidak dilaporkan firmware.");
    }
    setFirmware(battery.cycleCount, answer.cycleCount,
                L"Jumlah siklus tidak dilaporkan firmware baterai.");

    if (answer.statusOk) {
        // 0 and the "unknown rate" value 0x80000000 both mean not reported.
        if (answer.rate & 0x7FFFFFFF)
            setReading(battery.rate, static_cast<int32_t>(answer.rate));
        else
            setUnavailable(battery.rate, Limitation::Firmware,
                           L"Laju pengisian/pengosongan tidak dilaporkan.");
        // The driver knows better than the power status it feeds.
        setReading(battery.charging, (answer.powerState & batteryCharging) != 0);
        setReading(battery.onAc, (answer.powerState & powerOnLine) != 0);
    }
    return true;
}

void batteryUpdateWith(BatteryInfo& battery, const BatteryCalls& calls, BatteryCache& cache) {
    BatteryInfo fresh;
    PowerStatusAnswer status;
    const bool statusOk = calls.powerStatus(status);
    if (!batteryFromPowerStatus(fresh, statusOk ? &status : nullptr)) {
        battery = std::move(fresh);
        return;
    }

    if (!cache.devicePath.empty()) {
        BatteryDeviceAnswer answer;
        calls.queryDevice(cache.devicePath, answer);
        if (batteryApplyDevice(fresh, answer)) {
            fresh.batteryCount = cache.batteryCount;
            battery = std::move(fresh);
            return;
        }
        cache.devicePath.clear();
    }

    if (calls.openInterfaces()) {
        bool answered = false;
        uint32_t count = 0;
        for (uint32_t index = 0; index < maximumInterfaces; ++index) {
            // Once one battery has answered, the others are only counted.
            std::wstring path;
            if (!calls.nextInterface(index, answered ? nullptr : &path)) break;
            ++count;
            if (answered) continue;
            BatteryDeviceAnswer answer;
            calls.queryDevice(path, answer);
            if (batteryApplyDevice(fresh, answer)) {
                answered = true;
                cache.devicePath = path;
            }
        }
        calls.closeInterfaces();
        fresh.batteryCount = static_cast<int32_t>(count);
        cache.batteryCount = fresh.batteryCount;
    }
    battery = std::move(fresh);
}

} // namespace ovra
