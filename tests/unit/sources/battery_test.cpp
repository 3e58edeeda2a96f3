// The battery: power status, driver answers, and the interface cache.
#include "sources/battery.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace ovra {
namespace {

const wchar_t silentDriver[] = L"Driver baterai tidak menjawab IOCTL_BATTERY_QUERY_INFORMATION.";

PowerStatusAnswer onBattery(uint8_t percent = 64) {
    PowerStatusAnswer status;
    status.acLineStatus = 0;
    status.batteryFlag = 1; // high
    status.lifePercent = percent;
    status.lifeTime = 5400;
    return status;
}

BatteryDeviceAnswer answering(uint32_t design, uint32_t full, uint32_t cycles) {
    BatteryDeviceAnswer answer;
    answer.opened = true;
    answer.tag = 7;
    answer.informationOk = true;
    answer.capabilities = 0x80000000; // system battery
    answer.chemistry[0] = 'L';
    answer.chemistry[1] = 'I';
    answer.chemistry[2] = 'o';
    answer.chemistry[3] = 'n';
    answer.designedCapacity = design;
    answer.fullChargedCapacity = full;
    answer.cycleCount = cycles;
    return answer;
}

BatteryInfo presentBattery() {
    BatteryInfo battery;
    const PowerStatusAnswer status = onBattery();
    batteryFromPowerStatus(battery, &status);
    return battery;
}

TEST(BatteryPowerStatus, NoBatteryOrAFailedCallEndsWithTheReason) {
    BatteryInfo battery;
    setReading(battery.percent, 50u); // from an earlier update: nothing is kept
    EXPECT_FALSE(batteryFromPowerStatus(battery, nullptr));
    EXPECT_FALSE(battery.present);
    EXPECT_EQ(battery.presenceReason, L"GetSystemPowerStatus gagal.");
    EXPECT_EQ(battery.percent.limitation, Limitation::Measuring);

    PowerStatusAnswer desktop;
    desktop.acLineStatus = 1;
    desktop.batteryFlag = 128;
    EXPECT_FALSE(batteryFromPowerStatus(battery, &desktop));
    EXPECT_FALSE(battery.present);
    EXPECT_EQ(battery.presenceReason,
              L"Windows tidak mendeteksi baterai (perangkat desktop, atau baterai dilepas).");
    EXPECT_TRUE(battery.onAc.ok);
    EXPECT_TRUE(battery.onAc.value);
    EXPECT_EQ(battery.rate.limitation, Limitation::Measuring);

    desktop.acLineStatus = 255;
    batteryFromPowerStatus(battery, &desktop);
    EXPECT_FALSE(battery.onAc.ok);
    EXPECT_EQ(battery.onAc.reason, L"Status adaptor daya tidak diketahui.");
}

TEST(BatteryPowerStatus, UnknownValuesAreFirmwareGapsAndFullChargeIsAccepted) {
    PowerStatusAnswer status;
    status.acLineStatus = 255;
    status.batteryFlag = 255;
    status.lifePercent = 255;
    status.lifeTime = 0xFFFFFFFF;
    BatteryInfo battery;
    EXPECT_TRUE(batteryFromPowerStatus(battery, &status));
    EXPECT_TRUE(battery.present);
    EXPECT_TRUE(battery.presenceReason.empty());
    EXPECT_EQ(battery.percent.limitation, Limitation::Firmware);
    EXPECT_EQ(battery.percent.reason, L"Persentase baterai tidak diketahui oleh Windows.");
    EXPECT_EQ(battery.onAc.reason, L"Status adaptor daya tidak diketahui.");
    EXPECT_EQ(battery.charging.reason, L"Status pengisian tidak diketahui.");
    EXPECT_EQ(battery.secondsLeft.reason,
              L"Windows belum dapat memperkirakan sisa waktu (biasanya saat mengisi daya).");
    for (Limitation driverValue : {battery.rate.limitation, battery.designCapacity.limitation,
                                   battery.fullCapacity.limitation, battery.cycleCount.limitation,
                                   battery.health.limitation})
        EXPECT_EQ(driverValue, Limitation::Driver);
    EXPECT_EQ(battery.health.reason, silentDriver);

    status = onBattery(100);
    status.acLineStatus = 1;
    status.batteryFlag = 8 | 1; // charging, high
    batteryFromPowerStatus(battery, &status);
    EXPECT_TRUE(battery.percent.ok);
    EXPECT_EQ(battery.percent.value, 100u);
    EXPECT_TRUE(battery.onAc.value);
    EXPECT_TRUE(battery.charging.ok);
    EXPECT_TRUE(battery.charging.value);
    EXPECT_EQ(battery.secondsLeft.value, 5400u);

    status.lifePercent = 101;
    batteryFromPowerStatus(battery, &status);
    EXPECT_FALSE(battery.percent.ok);
}

TEST(BatteryDriver, CapacitiesHealthAndCycles) {
    BatteryInfo battery = presentBattery();
    ASSERT_TRUE(batteryApplyDevice(battery, answering(50000, 40000, 312)));
    EXPECT_EQ(battery.chemistry, L"LIon");
    EXPECT_EQ(battery.designCapacity.value, 50000u);
    EXPECT_EQ(battery.fullCapacity.value, 40000u);
    EXPECT_TRUE(battery.health.ok);
    EXPECT_EQ(battery.health.value, 80.0); // exactly 80, not a hair below
    EXPECT_EQ(battery.cycleCount.value, 312u);

    BatteryDeviceAnswer padded = answering(50000, 39999, 0);
    padded.chemistry[2] = ' ';
    padded.chemistry[3] = 0;
    battery = presentBattery();
    batteryApplyDevice(battery, padded);
    EXPECT_EQ(battery.chemistry, L"LI");
    EXPECT_LT(battery.health.value, 80.0);
    EXPECT_FALSE(battery.cycleCount.ok);
    EXPECT_EQ(battery.cycleCount.limitation, Limitation::Firmware);
    EXPECT_EQ(battery.cycleCount.reason, L"Jumlah siklus tidak dilaporkan firmware baterai.");
}

TEST(BatteryDriver, UnknownCapacitiesAndCountsAreNeverShownAsValues) {
    for (uint32_t unknown : {0u, 0xFFFFFFFFu}) {
        BatteryInfo battery = presentBattery();
        batteryApplyDevice(battery, answering(unknown, 40000, unknown));
        EXPECT_FALSE(battery.designCapacity.ok) << unknown;
        EXPECT_EQ(battery.designCapacity.value, 0u);
        EXPECT_EQ(battery.designCapacity.reason, L"Firmware tidak melaporkan kapasitas desain.");
        EXPECT_TRUE(battery.fullCapacity.ok);
        EXPECT_FALSE(battery.health.ok); // never a health of 0 % or a division by zero
        EXPECT_EQ(battery.health.reason,
                  L"Kapasitas desain atau kapasitas penuh tidak dilaporkan firmware.");
        EXPECT_FALSE(battery.cycleCount.ok);
        EXPECT_EQ(battery.cycleCount.reason, L"Jumlah siklus tidak dilaporkan firmware baterai.");

        battery = presentBattery();
        batteryApplyDevice(battery, answering(50000, unknown, 10));
        EXPECT_FALSE(battery.fullCapacity.ok) << unknown;
        EXPECT_EQ(battery.fullCapacity.reason,
                  L"Firmware tidak melaporkan kapasitas pengisian penuh.");
        EXPECT_FALSE(battery.health.ok);
        EXPECT_EQ(battery.health.value, 0.0);
    }
}

TEST(BatteryDriver, RelativeCapacityStillReadsTheCycleCount) {
    BatteryDeviceAnswer answer = answering(100, 95, 42);
    answer.capabilities |= 0x40000000;
    BatteryInfo battery = presentBattery();
    EXPECT_TRUE(batteryApplyDevice(battery, answer));
    const wchar_t relative[] = L"Firmware melaporkan kapasitas dalam satuan relatif, bukan mWh.";
    EXPECT_EQ(battery.designCapacity.reason, relative);
    EXPECT_EQ(battery.fullCapacity.reason, relative);
    EXPECT_EQ(battery.health.reason, relative);
    EXPECT_EQ(battery.health.limitation, Limitation::Firmware);
    EXPECT_TRUE(battery.cycleCount.ok);
    EXPECT_EQ(battery.cycleCount.value, 42u);
}

TEST(BatteryDriver, StatusGivesTheRateAndOverridesPowerSource) {
    BatteryDeviceAnswer answer = answering(50000, 45000, 5);
    BatteryInfo battery = presentBattery(); // power status: on battery, not charging
    answer.statusOk = true;
    answer.powerState = 0x1 | 0x4; // on line, charging
    answer.rate = static_cast<uint32_t>(-12500);
    batteryApplyDevice(battery, answer);
    EXPECT_TRUE(battery.rate.ok);
    EXPECT_EQ(battery.rate.value, -12500);
    EXPECT_TRUE(battery.onAc.value);
    EXPECT_TRUE(battery.charging.value);

    for (uint32_t unknownRate : {0u, 0x80000000u}) {
        battery = presentBattery();
        answer.rate = unknownRate;
        answer.powerState = 0x2; // discharging
        batteryApplyDevice(battery, answer);
        EXPECT_FALSE(battery.rate.ok) << unknownRate;
        EXPECT_EQ(battery.rate.limitation, Limitation::Firmware);
        EXPECT_EQ(battery.rate.reason, L"Laju pengisian/pengosongan tidak dilaporkan.");
        EXPECT_FALSE(battery.onAc.value);
        EXPECT_FALSE(battery.charging.value);
    }

    // No status answer: the rate keeps the driver reason, the power status stays.
    answer.statusOk = false;
    battery = presentBattery();
    batteryApplyDevice(battery, answer);
    EXPECT_EQ(battery.rate.reason, silentDriver);
    EXPECT_TRUE(battery.onAc.ok);
    EXPECT_FALSE(battery.onAc.value);
}

TEST(BatteryDriver, NoTagOrNoInformationChangesNothing) {
    BatteryDeviceAnswer answer = answering(50000, 45000, 5);
    answer.tag = 0;
    BatteryInfo battery = presentBattery();
    EXPECT_FALSE(batteryApplyDevice(battery, answer));
    EXPECT_EQ(battery.designCapacity.reason, silentDriver);
    EXPECT_TRUE(battery.chemistry.empty());

    answer.tag = 3;
    answer.informationOk = false;
    answer.statusOk = true;
    EXPECT_FALSE(batteryApplyDevice(battery, answer));
    EXPECT_EQ(battery.rate.reason, silentDriver);
    EXPECT_FALSE(batteryApplyDevice(battery, BatteryDeviceAnswer{}));
}

// A machine of battery interfaces: the device answers by path, and a log of calls.
struct FakeBatteries {
    PowerStatusAnswer status = onBattery();
    bool statusOk = true;
    bool listOpens = true;
    std::vector<std::wstring> interfaces;
    std::map<std::wstring, BatteryDeviceAnswer> devices;
    int powerCalls = 0, listOpened = 0, listClosed = 0, pathsRead = 0;
    std::vector<std::wstring> queried;

    BatteryCalls calls() {
        BatteryCalls c;
        c.powerStatus = [this](PowerStatusAnswer& answer) {
            ++powerCalls;
            answer = status;
            return statusOk;
        };
        c.openInterfaces = [this] {
            ++listOpened;
            return listOpens;
        };
        c.nextInterface = [this](uint32_t index, std::wstring* path) {
            if (index >= interfaces.size()) return false;
            if (path) {
                ++pathsRead;
                *path = interfaces[index];
            }
            return true;
        };
        c.closeInterfaces = [this] { ++listClosed; };
        c.queryDevice = [this](const std::wstring& path, BatteryDeviceAnswer& answer) {
            queried.push_back(path);
            const auto found = devices.find(path);
            if (found != devices.end()) answer = found->second;
        };
        return c;
    }
};

TEST(BatteryUpdate, WithoutABatteryTheDriverIsNeverAsked) {
    FakeBatteries machine;
    machine.status.batteryFlag = 128;
    machine.interfaces = {L"\\\\?\\bat0"};
    BatteryInfo battery;
    BatteryCache cache;
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_FALSE(battery.present);
    EXPECT_EQ(machine.listOpened, 0);
    EXPECT_TRUE(machine.queried.empty());
    EXPECT_EQ(battery.batteryCount, 0);

    machine.statusOk = false;
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(battery.presenceReason, L"GetSystemPowerStatus gagal.");
    EXPECT_EQ(machine.listOpened, 0);
}

TEST(BatteryUpdate, FirstAnsweringBatteryGivesDetailsAndAllAreCounted) {
    FakeBatteries machine;
    machine.interfaces = {L"bat0", L"bat1", L"bat2"};
    machine.devices[L"bat1"] = answering(60000, 54000, 9);
    machine.devices[L"bat2"] = answering(30000, 30000, 1);
    BatteryInfo battery;
    BatteryCache cache;
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(battery.batteryCount, 3);
    EXPECT_EQ(battery.designCapacity.value, 60000u);
    EXPECT_EQ(machine.queried, (std::vector<std::wstring>{L"bat0", L"bat1"}));
    EXPECT_EQ(machine.pathsRead, 2); // the third is only counted
    EXPECT_EQ(machine.listClosed, 1);
    EXPECT_EQ(cache.devicePath, L"bat1");
    EXPECT_EQ(cache.batteryCount, 3);

    // The cached path answers: no enumeration, the cached count stays.
    machine.queried.clear();
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(machine.listOpened, 1);
    EXPECT_EQ(machine.queried, (std::vector<std::wstring>{L"bat1"}));
    EXPECT_EQ(battery.batteryCount, 3);
    EXPECT_EQ(battery.fullCapacity.value, 54000u);
}

TEST(BatteryUpdate, AFailingCachedBatteryIsForgottenAndTheListWalkedAgain) {
    FakeBatteries machine;
    machine.interfaces = {L"bat0", L"bat1"};
    machine.devices[L"bat0"] = answering(50000, 50000, 2);
    BatteryInfo battery;
    BatteryCache cache{L"gone", 1};
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(machine.queried, (std::vector<std::wstring>{L"gone", L"bat0"}));
    EXPECT_EQ(cache.devicePath, L"bat0");
    EXPECT_EQ(battery.batteryCount, 2);
    EXPECT_TRUE(battery.health.ok);

    // Nothing answers now: the cache is empty, the driver values keep their reason.
    machine.devices.clear();
    machine.interfaces = {L"bat0"};
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_TRUE(cache.devicePath.empty());
    EXPECT_EQ(battery.batteryCount, 1);
    EXPECT_EQ(battery.health.reason, silentDriver);

    // The class list does not open: defaults, nothing counted.
    machine.listOpens = false;
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(battery.batteryCount, 0);
    EXPECT_EQ(battery.designCapacity.reason, silentDriver);
    EXPECT_TRUE(battery.percent.ok);
}

TEST(BatteryUpdate, AtMostEightInterfacesAreEnumerated) {
    FakeBatteries machine;
    for (int i = 0; i < 12; ++i)
        machine.interfaces.push_back(L"bat" + std::to_wstring(i));
    BatteryInfo battery;
    BatteryCache cache;
    batteryUpdateWith(battery, machine.calls(), cache);
    EXPECT_EQ(battery.batteryCount, 8);
    EXPECT_EQ(machine.queried.size(), 8u); // none answered, so each was asked
}

TEST(BatteryOnThisSystem, UpdateAgreesWithThePowerStatus) {
    SYSTEM_POWER_STATUS status = {};
    ASSERT_TRUE(GetSystemPowerStatus(&status));
    BatteryInfo battery;
    batteryUpdate(battery);
    EXPECT_EQ(battery.present, status.BatteryFlag != 128);
    EXPECT_EQ(battery.present, battery.presenceReason.empty());
    if (!battery.present) {
        EXPECT_EQ(battery.batteryCount, 0);
        EXPECT_EQ(battery.health.limitation, Limitation::Measuring);
    } else {
        EXPECT_NE(battery.health.limitation, Limitation::Measuring);
        EXPECT_EQ(battery.health.ok, battery.health.reason.empty());
    }
    // A second update (through the cache when a battery answered) agrees.
    BatteryInfo again;
    batteryUpdate(again);
    EXPECT_EQ(again.present, battery.present);
    EXPECT_EQ(again.batteryCount, battery.batteryCount);
}

} // namespace
} // namespace ovra
