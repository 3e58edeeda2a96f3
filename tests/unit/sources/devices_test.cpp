// Drives, physical disks and the battery: what their device answers become.
#include "sources/battery.h"
#include "sources/storage.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace ovra {
namespace {

Drive drive(wchar_t letter, bool ready, uint32_t deviceType, uint32_t diskNumber) {
    const VolumeAnswer answer{letter,  3,   ready, 500ull << 30, 120ull << 30,
                              L"Data", L"", true,  deviceType,   diskNumber};
    return driveFromVolume(answer, L'C');
}

TEST(Drives, RatesByInstanceNameAreKeptOnRefreshAndDisksGetTheirLetters) {
    const Drive c = drive(L'C', true, 7, 0), e = drive(L'E', false, 2, 1); // E: no disk device
    EXPECT_TRUE(c.ready && c.isSystem && c.totalBytes == 500ull << 30 &&
                c.freeBytes == 120ull << 30 && c.diskNumber == 0);
    EXPECT_FALSE(e.ready || e.isSystem || e.totalBytes || !e.label.empty() || e.diskNumber != -1);
    StorageInfo storage;
    storage.disks.resize(2);
    storage.disks[1].number = 1;
    drivesApply(storage, {c, drive(L'D', true, 7, 0), e});
    diskIoApplyRates(storage, true, {{L"C:", 1048576}, {L"d:", 2048}, {L"_Total", 9}}, true,
                     {{L"C:", 4096}, {L"HarddiskVolume3", 7}});
    EXPECT_TRUE(storage.drives[0].readRate.value == 1048576 &&
                storage.drives[0].writeRate.value == 4096);
    EXPECT_DOUBLE_EQ(storage.drives[1].readRate.value, 2048);
    EXPECT_EQ(storage.drives[1].writeRate.limitation, Limitation::WindowsApi);
    EXPECT_EQ(storage.disks[0].letters + L"|" + storage.disks[1].letters, L"C: D:|");

    drivesApply(storage, {drive(L'D', true, 7, 1), c}); // the slow tick lists them again
    EXPECT_TRUE(storage.drives[0].readRate.value == 2048 &&
                storage.drives[1].writeRate.value == 4096);
    EXPECT_EQ(storage.disks[0].letters + L"|" + storage.disks[1].letters, L"C:|D:");
    diskIoApplyRates(storage, false, {}, true, {{L"D:", 5}}); // a failed read
    EXPECT_FALSE(storage.ioStatus.value || storage.drives[0].readRate.ok);
    EXPECT_DOUBLE_EQ(storage.drives[0].writeRate.value, 5);
}

// A storage device descriptor: vendor at offset 40, the product after it, bus type.
std::vector<unsigned char> descriptor(const std::string& vendor, const std::string& product,
                                      uint32_t busType) {
    const std::string text = std::string(40, '\0') + vendor + '\0' + product + '\0';
    std::vector<unsigned char> bytes(text.begin(), text.end());
    const uint32_t fields[] = {vendor.empty() ? 0 : 40u, uint32_t(41 + vendor.size()), busType};
    for (int i = 0; i < 12; ++i)
        bytes[(i < 8 ? 12 : 20) + i] = static_cast<unsigned char>(fields[i / 4] >> (8 * (i % 4)));
    return bytes;
}

TEST(Smart, DescriptorFieldsAreReadOnlyInsideTheReturnedBytes) {
    const std::vector<unsigned char> sata = descriptor("ATA     ", "  Samsung SSD 870  ", 11);
    const struct {
        std::vector<unsigned char> bytes;
        size_t size;
        const wchar_t *model, *busType;
    } cases[] = {
        {sata, sata.size(), L"ATA Samsung SSD 870", L"SATA"},
        {descriptor("", "WD Blue", 17), 49, L"WD Blue", L"NVMe"},
        {descriptor("V", "P", 7), 43, L"V P", L"USB"},      // the product runs to the answer's end
        {sata, 45, L"ATA", L"SATA"},                        // cut inside the vendor
        {sata, 30, L"", L""},                               // the bus type lies past the answer
        {descriptor("\xC9", "", 3), 43, L"\u00C9", L"ATA"}, // one byte, one character
    };
    for (const auto& c : cases) {
        const DescriptorText text = physicalDiskFromDescriptor(c.bytes.data(), c.size);
        EXPECT_EQ(text.model + L"|" + text.busType, std::wstring(c.model) + L"|" + c.busType);
    }
}

// Disks that open, those whose driver answers only to read/write access, and the calls.
struct FakeDisks {
    std::set<int32_t> present{0, 3, 10, 19}, needsReadWrite{3};
    uint32_t predictError = 0;
    int32_t current = -1, highestTried = -1, openHandles = 0;
    bool readWrite = false, elevated = true;
    DiskCalls calls() {
        return DiskCalls{
            [this](int32_t number, bool rw, uint32_t& error) {
                highestTried = std::max(highestTried, number);
                if (!present.count(number) || (rw && !elevated))
                    return error = present.count(number) ? 5 : 2, false;
                return current = number, readWrite = rw, ++openHandles, true;
            },
            [](std::vector<unsigned char>& bytes) { return bytes = descriptor("", "M", 11), true; },
            [this](uint32_t& flag, uint32_t& error) {
                if (needsReadWrite.count(current) && !readWrite) return error = 5, false;
                if (predictError) return error = predictError, false;
                return flag = 1, true;
            },
            [this] { --openHandles; }};
    }
};

TEST(Smart, ProbeCrossesGapsOfSevenStopsAfterEightAndRetriesDeniedAccess) {
    FakeDisks machine;
    std::vector<PhysicalDisk> disks = physicalDisksProbe(machine.calls());
    ASSERT_EQ(disks.size(), 3u); // 11 to 18 are the eight misses; 19 is never tried
    EXPECT_TRUE(machine.highestTried == 18 && machine.openHandles == 0);
    EXPECT_TRUE(disks[1].number == 3 && disks[1].model == L"M" && disks[1].smart.ok &&
                disks[1].smart.value); // 3 answered when asked again with read/write access
    machine.predictError = 50;         // no prediction from the driver: its error is named
    disks = physicalDisksProbe(machine.calls());
    EXPECT_EQ(disks[1].smart.limitation, Limitation::Driver);
    EXPECT_NE(disks[1].smart.reason().find(L"(0x00000032)"), std::wstring::npos);
    machine.predictError = 0, machine.elevated = false; // refused both ways: elevate
    EXPECT_EQ(physicalDisksProbe(machine.calls())[1].smart.limitation, Limitation::Permission);
}

BatteryDeviceAnswer battery(uint32_t design, uint32_t full, uint32_t cycles) {
    return BatteryDeviceAnswer{true,   7,     true, 0, {'L', 'I', 'o', 'n'}, design, full,
                               cycles, false, 0,    0};
}

// Wear is full in percent of design; 0 and all ones both mean "not reported".
TEST(Battery, WearCyclesAndRateFromTheDriver) {
    const struct {
        uint32_t design, full, cycles;
        double health; // 0: not reported, and neither are the cycles
    } cases[] = {{50000, 42500, 312, 85.0},
                 {48000, 50400, 1, 105.0},
                 {0xFFFFFFFF, 42500, 0xFFFFFFFF, 0},
                 {50000, 0, 0, 0}};
    for (const auto& c : cases) {
        BatteryInfo info;
        ASSERT_TRUE(batteryApplyDevice(info, battery(c.design, c.full, c.cycles)));
        EXPECT_DOUBLE_EQ(info.health.value, c.health) << c.design;
        EXPECT_EQ(info.cycleCount.value, c.health > 0 ? c.cycles : 0u) << c.design;
        EXPECT_EQ(info.health.ok && info.cycleCount.ok, c.health > 0) << c.design;
    }
    BatteryDeviceAnswer answer = battery(50000, 40000, 5);
    answer.statusOk = true;
    answer.powerState = 0x4;  // charging, not on line
    answer.rate = 0xFFFFF060; // -4000 mW
    BatteryInfo info;
    ASSERT_TRUE(batteryApplyDevice(info, answer));
    EXPECT_TRUE(info.rate.value == -4000 && info.charging.value && !info.onAc.value);
    answer.rate = 0x80000000;         // "unknown"
    answer.capabilities = 0x40000000; // relative units: no mWh, so no wear
    batteryApplyDevice(info, answer);
    EXPECT_FALSE(info.rate.ok || info.designCapacity.ok || info.health.ok || !info.cycleCount.ok);
    answer.tag = 0; // no battery answered the tag query
    EXPECT_FALSE(batteryApplyDevice(info, answer));
}

// Nine battery interfaces by path, and the devices the update asked.
struct FakeBatteries {
    std::map<std::wstring, BatteryDeviceAnswer> devices{{L"b", battery(50000, 45000, 10)}};
    int listOpened = 0;
    std::vector<std::wstring> queried;
    BatteryCalls calls() {
        return BatteryCalls{[](PowerStatusAnswer& status) {
                                return status = {0, 1, 80, 3600}, true;
                            },
                            [this] { return ++listOpened, true; },
                            [](uint32_t index, std::wstring* path) {
                                if (path) *path = std::wstring(1, wchar_t(L'a' + index));
                                return index < 9;
                            },
                            [] {},
                            [this](const std::wstring& path, BatteryDeviceAnswer& answer) {
                                queried.push_back(path);
                                if (devices.count(path)) answer = devices[path];
                            }};
    }
};

TEST(Battery, TheAnsweringInterfaceIsCachedAndForgottenWhenItFails) {
    FakeBatteries machine;
    BatteryCache cache;
    BatteryInfo info;
    batteryUpdateWith(info, machine.calls(), cache);
    EXPECT_EQ(machine.queried, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_EQ(info.batteryCount, 8); // at most eight interfaces are counted
    EXPECT_DOUBLE_EQ(info.health.value, 90.0);
    batteryUpdateWith(info, machine.calls(), cache); // straight to the cached one
    EXPECT_TRUE(machine.queried.back() == L"b" && machine.listOpened == 1 &&
                info.batteryCount == 8);
    machine.devices = {{L"c", battery(50000, 25000, 10)}};
    machine.queried.clear();
    batteryUpdateWith(info, machine.calls(), cache);
    EXPECT_EQ(machine.queried, (std::vector<std::wstring>{L"b", L"a", L"b", L"c"}));
    EXPECT_DOUBLE_EQ(info.health.value, 50.0);
}

} // namespace
} // namespace ovra
