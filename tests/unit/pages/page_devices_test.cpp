// The Storage, Battery and Sensors pages: thresholds, SMART, battery numbers and
// every missing value with its category and reason.
#include <gtest/gtest.h>

#include "page_canvas.h"
#include "pages/commands.h"
#include "sources/format.h"

using namespace ovra;
using ovra::test::PageCanvas;
using ovra::test::roleOf;

namespace {

Drive fixedDrive(wchar_t letter, uint64_t total, uint64_t free) {
    Drive drive;
    drive.letter = letter;
    drive.driveType = 3;
    drive.ready = true;
    drive.totalBytes = total;
    drive.freeBytes = free;
    return drive;
}

PhysicalDisk disk(const std::wstring& model, const std::wstring& bus, const std::wstring& letters) {
    PhysicalDisk found;
    found.model = model;
    found.busType = bus;
    found.letters = letters;
    setReading(found.smart, false);
    return found;
}

void presentBattery(BatteryInfo& battery) {
    battery.present = true;
    battery.batteryCount = 1;
    setReading(battery.percent, 76u);
    setReading(battery.onAc, false);
    setReading(battery.charging, false);
}

} // namespace

TEST(StoragePage, DriveBarWarnsOnlyWhenLessIsFreeThanTheThreshold) {
    PageCanvas page;
    ASSERT_EQ(page.app->settings.alertThreshold[size_t(AlertKind::Disk)], 10);
    Drive c = fixedDrive(L'C', 1000, 80);
    c.label = L"Data";
    c.isSystem = true;
    c.fileSystem = L"NTFS";
    page.app->storage.drives = {c, fixedDrive(L'D', 1000, 100)};
    page.draw(&App::pageStorage);
    ASSERT_NE(page.text(L"C: Data (sistem)"), nullptr);
    ASSERT_NE(page.text(L"D:"), nullptr);
    const TextRun* eight = page.text(L"92% terpakai");
    const TextRun* ten = page.text(L"90% terpakai");
    ASSERT_TRUE(eight && ten);
    EXPECT_EQ(page.barBelow(*eight), page.role(Role::statusWarning));
    EXPECT_EQ(page.barBelow(*ten), page.role(Role::accent));
    EXPECT_NE(page.text(L"Internal \u00B7 NTFS"), nullptr);
    EXPECT_EQ(page.count(L"Internal"), 1) << "D: has no file-system name";
    EXPECT_EQ(page.count(L"Mengukur\u2026"), 4) << "read and write of both drives";
}

TEST(StoragePage, CardReaderWithoutMediaAndAnEmptyList) {
    PageCanvas page;
    Drive reader = fixedDrive(L'E', 0, 0);
    reader.driveType = 2;
    reader.ready = false;
    page.app->storage.drives = {reader};
    page.draw(&App::pageStorage);
    EXPECT_NE(page.text(L"Media tidak siap atau tidak dapat dibaca."), nullptr);
    EXPECT_EQ(page.text(L"Terpakai"), nullptr);
    EXPECT_EQ(page.text(L"Baca"), nullptr);

    page.app->storage.drives.clear();
    page.draw(&App::pageStorage);
    EXPECT_NE(page.text(L"Drive"), nullptr);
    EXPECT_NE(page.text(L"Tidak ada drive lokal yang terdeteksi."), nullptr);
    EXPECT_NE(page.text(L"Tidak ada disk fisik yang dapat dibuka."), nullptr);
}

TEST(StoragePage, SmartLinesWithAndWithoutBusTypeAndTheirStatus) {
    PageCanvas page;
    StorageInfo& storage = page.app->storage;
    storage.disks = {disk(L"Samsung SSD 980", L"NVMe", L"C: D:"), disk(L"Kartu", L"", L"E:"),
                     disk(L"Tanpa huruf", L"", L"")};
    storage.disks[1].smart.value = true;
    setUnavailable(storage.disks[2].smart, Limitation::Driver, L"Driver menolak permintaan.");
    page.draw(&App::pageStorage);
    EXPECT_NE(page.text(L"Antarmuka NVMe \u00B7 drive C: D:"), nullptr);
    EXPECT_NE(page.text(L" \u00B7 drive E:"), nullptr);
    const TextRun* normal = page.text(L"Normal (tidak ada prediksi kegagalan)");
    const TextRun* failing = page.text(L"MEMPREDIKSI KEGAGALAN \u2014 segera cadangkan data");
    ASSERT_TRUE(normal && failing);
    EXPECT_EQ(normal->role, roleOf(Role::statusGood));
    EXPECT_EQ(failing->role, roleOf(Role::statusBad));
    EXPECT_NE(page.text(L"Keterbatasan: Driver. Driver menolak permintaan."), nullptr);
    EXPECT_EQ(page.count(L"Status SMART"), 3);
}

TEST(StoragePage, LastCheckOnlyAfterTheFirstAndTheButtonAsksForOne) {
    PageCanvas page;
    page.draw(&App::pageStorage);
    EXPECT_TRUE(page.textsStarting(L"Terakhir diperiksa:").empty());
    const TextRun* button = page.text(L"Periksa SMART sekarang");
    ASSERT_NE(button, nullptr);
    const int region = regionAt(page.canvas.hits, POINT{button->rect.left, button->rect.top});
    ASSERT_GE(region, 0);
    EXPECT_EQ(page.canvas.hits[size_t(region)].command, commandSmartCheck);
    EXPECT_EQ(page.canvas.hits[size_t(region)].argument, 0);

    page.app->storage.lastSmartCheck = 133'500'000'000'000'000ull; // in 2024
    page.draw(&App::pageStorage);
    const std::vector<const TextRun*> last = page.textsStarting(L"Terakhir diperiksa: 2024-");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0]->text.size(),
              std::wstring(L"Terakhir diperiksa: 2024-01-01 00:00:00").size());
}

TEST(BatteryPage, DischargeRateInWattsWithTheDecimalComma) {
    PageCanvas page;
    BatteryInfo& battery = page.app->battery;
    presentBattery(battery);
    setReading(battery.rate, -12'500);
    page.draw(&App::pageBattery);
    EXPECT_NE(page.text(L"12,5 W (mengosongkan)"), nullptr);
    EXPECT_EQ(page.count(L"Baterai"), 2) << "the page title and the power source";
    EXPECT_NE(page.text(L"Tidak sedang mengisi"), nullptr);

    setReading(battery.rate, 7'000);
    battery.charging.value = true;
    page.draw(&App::pageBattery);
    EXPECT_NE(page.text(L"7,0 W (mengisi)"), nullptr);
    EXPECT_NE(page.text(L"Sedang mengisi"), nullptr);
}

TEST(BatteryPage, ChargeBarWarnsAtTheThresholdAndOneAboveIsAccent) {
    PageCanvas page;
    BatteryInfo& battery = page.app->battery;
    presentBattery(battery);
    const uint32_t limit = uint32_t(page.app->settings.alertThreshold[size_t(AlertKind::Battery)]);
    setReading(battery.percent, limit);
    page.draw(&App::pageBattery);
    const TextRun* at = page.text(std::to_wstring(limit) + L"%");
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(page.barBelow(*at, 10), page.role(Role::statusWarning));
    setReading(battery.percent, limit + 1);
    page.draw(&App::pageBattery);
    const TextRun* above = page.text(std::to_wstring(limit + 1) + L"%");
    ASSERT_NE(above, nullptr);
    EXPECT_EQ(page.barBelow(*above, 10), page.role(Role::accent));
}

TEST(BatteryPage, HealthColoursAndABarThatNeverOverflows) {
    struct Case {
        double health;
        Role value, bar;
    };
    for (const Case& c : {Case{59.9, Role::statusBad, Role::statusWarning},
                          Case{85, Role::statusGood, Role::statusGood},
                          Case{104, Role::statusGood, Role::statusGood}}) {
        PageCanvas page;
        BatteryInfo& battery = page.app->battery;
        presentBattery(battery);
        setReading(battery.health, c.health);
        setReading(battery.designCapacity, 50'000u);
        page.draw(&App::pageBattery);
        const TextRun* value = page.text(formatPercent(c.health));
        ASSERT_NE(value, nullptr) << c.health;
        EXPECT_EQ(value->role, roleOf(c.value)) << c.health;
        EXPECT_EQ(page.barBelow(*value), page.role(c.bar)) << c.health;
        EXPECT_NE(page.text(L"50.000 mWh"), nullptr);
        if (c.health > 100) {
            // The fill reaches the bar's right end: the card's column ends 18 dip
            // inside the card, whose title starts 18 dip inside it too.
            const TextRun* card = page.text(L"Kesehatan");
            ASSERT_NE(card, nullptr);
            const int columnLeft = card->rect.left;
            const int columnWidth = (852 - page.px(16)) / 2 - 2 * page.px(18);
            const int middle = value->rect.bottom + page.px(2) + page.px(4);
            EXPECT_EQ(page.canvas.pixel(columnLeft + columnWidth - page.px(5), middle),
                      page.role(c.bar));
        }
    }
}

TEST(BatteryPage, OneOrTwoBatteriesAndADesktop) {
    PageCanvas page;
    BatteryInfo& battery = page.app->battery;
    presentBattery(battery);
    page.draw(&App::pageBattery);
    EXPECT_TRUE(page.textsStarting(L"Terdeteksi ").empty());
    battery.batteryCount = 2;
    page.draw(&App::pageBattery);
    EXPECT_NE(page.text(L"Terdeteksi 2 baterai; rincian di samping untuk baterai pertama."),
              nullptr);

    BatteryInfo desktop;
    desktop.presenceReason = L"Tidak ada baterai sistem.";
    setReading(desktop.onAc, true);
    battery = desktop;
    page.draw(&App::pageBattery);
    EXPECT_EQ(page.count(L"Baterai"), 2) << "the page title and its one card";
    EXPECT_EQ(page.text(L"Status"), nullptr);
    EXPECT_NE(page.text(L"Keterbatasan: Perangkat keras. Tidak ada baterai sistem."), nullptr);
    EXPECT_NE(page.text(L"Listrik (AC)"), nullptr);
}

TEST(SensorsPage, EveryMissingValueShowsItsCategoryAndReason) {
    PageCanvas page;
    ThermalInfo& thermal = page.app->thermal;
    setUnavailable(thermal.cpuCoreTemp, Limitation::Unsupported, L"Tidak ada API resmi.");
    setUnavailable(thermal.cpuFan, Limitation::Firmware, L"Dikendalikan firmware.");
    setUnavailable(thermal.status, Limitation::Sensor, L"Tidak ada zona termal.");
    std::vector<GpuAdapter>& adapters = page.app->gpu.adapters;
    const Limitation kinds[] = {Limitation::Driver, Limitation::WindowsApi, Limitation::Permission,
                                Limitation::Hardware, Limitation::Setting};
    for (Limitation kind : kinds) {
        GpuAdapter adapter;
        adapter.name = L"GPU " + limitationLabel(kind);
        setUnavailable(adapter.temperature, kind, L"Suhu: " + limitationLabel(kind) + L".");
        setUnavailable(adapter.fanRpm, kind, L"Kipas: " + limitationLabel(kind) + L".");
        adapters.push_back(adapter);
    }
    page.draw(&App::pageSensors);
    EXPECT_NE(page.text(L"Keterbatasan: Tidak didukung. Tidak ada API resmi."), nullptr)
        << "CPU core temperature";
    EXPECT_NE(page.text(L"Keterbatasan: Firmware. Dikendalikan firmware."), nullptr);
    EXPECT_NE(page.text(L"Keterbatasan: Sensor. Tidak ada zona termal."), nullptr);
    EXPECT_TRUE(page.textsStarting(L"Zona termal ACPI dilaporkan").empty()) << "no note";
    for (Limitation kind : kinds) {
        const std::wstring label = limitationLabel(kind);
        EXPECT_NE(page.text(L"GPU: GPU " + label), nullptr) << label;
        EXPECT_NE(page.text(L"Keterbatasan: " + label + L". Suhu: " + label + L"."), nullptr);
        EXPECT_NE(page.text(L"Keterbatasan: " + label + L". Kipas: " + label + L"."), nullptr);
    }
    EXPECT_NE(page.text(L"Mengapa banyak sensor tidak tersedia?"), nullptr);
}

TEST(SensorsPage, ThermalZonesAndDriverReportedValues) {
    PageCanvas page;
    ThermalInfo& thermal = page.app->thermal;
    setReading(thermal.status, true);
    thermal.zones = {ThermalZone{L"\\_TZ.TZ00", 45.04}, ThermalZone{L"\\_TZ.TZ01", 38.0}};
    GpuAdapter adapter;
    adapter.name = L"Radeon";
    setReading(adapter.temperature, 61.6);
    setReading(adapter.fanRpm, 1450u);
    page.app->gpu.adapters.push_back(adapter);
    page.draw(&App::pageSensors);
    EXPECT_NE(page.text(L"Zona termal ACPI \\_TZ.TZ00"), nullptr);
    EXPECT_NE(page.text(L"45,0 \u00B0C"), nullptr);
    EXPECT_NE(page.text(L"38,0 \u00B0C"), nullptr);
    EXPECT_EQ(page.textsStarting(L"Zona termal ACPI dilaporkan").size(), 1u);
    EXPECT_NE(page.text(L"62 \u00B0C"), nullptr);
    EXPECT_NE(page.text(L"1.450 RPM"), nullptr);
    EXPECT_NE(page.text(L"Kipas GPU: Radeon"), nullptr);
}
