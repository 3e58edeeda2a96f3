// The Summary page as a user sees it: tiles, findings, alerts and the device.
#include <gtest/gtest.h>

#include "page_canvas.h"
#include "pages/commands.h"
#include "sources/format.h"

using namespace ovra;
using ovra::test::PageCanvas;
using ovra::test::roleOf;

namespace {

Drive systemDriveC(uint64_t total, uint64_t free) {
    Drive drive;
    drive.letter = L'C';
    drive.driveType = 3;
    drive.ready = true;
    drive.isSystem = true;
    drive.totalBytes = total;
    drive.freeBytes = free;
    return drive;
}

// Card titles are the heading-font runs.
std::vector<std::wstring> headings(const PageCanvas& page) {
    std::vector<std::wstring> titles;
    for (const TextRun& run : page.canvas.texts)
        if (run.font == FontRole::heading) titles.push_back(run.text);
    return titles;
}

} // namespace

TEST(SummaryPage, DesktopShowsFourTilesInOneRowAndABatteryAddsTheFifth) {
    PageCanvas page;
    page.app->storage.drives.push_back(systemDriveC(1000, 400));
    page.draw(&App::pageSummary);
    const std::vector<std::wstring> titles = headings(page);
    ASSERT_GE(titles.size(), 4u);
    EXPECT_EQ(std::vector<std::wstring>(titles.begin(), titles.begin() + 4),
              (std::vector<std::wstring>{L"CPU", L"RAM", L"Disk C:", L"Jaringan"}));
    EXPECT_EQ(page.text(L"Baterai"), nullptr);
    EXPECT_EQ(page.text(L"CPU")->rect.top, page.text(L"Jaringan")->rect.top);

    page.app->battery.present = true;
    setReading(page.app->battery.percent, 76u);
    page.draw(&App::pageSummary);
    const TextRun* battery = page.text(L"Baterai");
    ASSERT_NE(battery, nullptr);
    // Five tiles of 170 dip do not fit 852 pixels: the battery moves to a second row.
    EXPECT_GT(battery->rect.top, page.text(L"CPU")->rect.top);
    EXPECT_NE(page.text(L"76%"), nullptr);
    EXPECT_NE(page.text(L"Memakai baterai"), nullptr) << "no power source known";
}

TEST(SummaryPage, SystemDiskTileTakesTheLastReadySystemDriveOrExplains) {
    PageCanvas page;
    Drive notReady = systemDriveC(0, 0);
    notReady.ready = false;
    page.app->storage.drives.push_back(notReady);
    page.draw(&App::pageSummary);
    EXPECT_NE(page.text(L"Disk sistem"), nullptr);
    EXPECT_NE(page.text(L"Keterbatasan: API Windows. Kapasitas drive sistem tidak terbaca."),
              nullptr);

    Drive d = systemDriveC(2000, 1500);
    d.letter = L'D';
    page.app->storage.drives.push_back(systemDriveC(1000, 100));
    page.app->storage.drives.push_back(d);
    page.draw(&App::pageSummary);
    EXPECT_NE(page.text(L"Disk D:"), nullptr);
    EXPECT_EQ(page.text(L"Disk C:"), nullptr);
    EXPECT_NE(page.text(L"25%"), nullptr);
}

TEST(SummaryPage, NetworkTileMeasuresUntilTheSecondUpdate) {
    PageCanvas page;
    setReading(page.app->network.status, true);
    page.draw(&App::pageSummary);
    const int networkLeft = page.text(L"Jaringan")->rect.left;
    const auto networkMeasuring = [&] {
        for (const TextRun* run : page.textsStarting(L"Mengukur\u2026"))
            if (run->rect.left == networkLeft) return true;
        return false;
    };
    EXPECT_TRUE(networkMeasuring());

    page.app->network.ratesValid = true;
    page.app->network.downloadRate = 2048;
    page.app->network.uploadRate = 0;
    page.draw(&App::pageSummary);
    EXPECT_FALSE(networkMeasuring());
    EXPECT_NE(page.text(L"\u2193 " + formatRate(2048)), nullptr);
    const std::vector<const TextRun*> up = page.textsStarting(L"\u2191 ");
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0]->font, FontRole::bodyStrong);
    EXPECT_EQ(up[0]->role, roleOf(Role::text));
    EXPECT_EQ(page.textsStarting(L"Sejak dibuka: ").size(), 1u);
}

TEST(SummaryPage, NothingFoundSaysSoInGreenAndListsWhatIsChecked) {
    PageCanvas page;
    page.draw(&App::pageSummary);
    const TextRun* none = page.text(L"Tidak ada temuan yang perlu ditindaklanjuti saat ini.");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->role, roleOf(Role::statusGood));
    EXPECT_EQ(none->font, FontRole::bodyStrong);
    const std::vector<const TextRun*> checked = page.textsStarting(L"Yang diperiksa: ");
    ASSERT_EQ(checked.size(), 1u);
    EXPECT_EQ(checked[0]->font, FontRole::small);
}

TEST(SummaryPage, FindingShowsItsNumbersBesideAMarkerOfItsSeverity) {
    PageCanvas page;
    MemoryInfo& memory = page.app->memory;
    memory.ok = true;
    memory.usedPercent = 90;
    memory.totalBytes = 8ull << 30;
    memory.availableBytes = memory.totalBytes / 10;
    page.draw(&App::pageSummary);
    const std::vector<const TextRun*> titles = page.textsStarting(L"RAM hampir penuh (90");
    ASSERT_EQ(titles.size(), 1u);
    const TextRun& title = *titles[0];
    EXPECT_EQ(title.font, FontRole::bodyStrong);
    EXPECT_EQ(page.text(L"Tidak ada temuan yang perlu ditindaklanjuti saat ini."), nullptr);
    // The dot sits 20 dip left of the text, 9 dip below its top.
    EXPECT_EQ(page.canvas.pixel(title.rect.left - page.px(15), title.rect.top + page.px(9)),
              page.role(Role::statusWarning));
}

TEST(SummaryPage, BarsTurnToWarningExactlyAtTheirThresholds) {
    PageCanvas page;
    CpuInfo& cpu = page.app->cpu;
    BatteryInfo& battery = page.app->battery;
    battery.present = true;
    const int cpuLimit = page.app->settings.alertThreshold[size_t(AlertKind::Cpu)];
    const int batteryLimit = page.app->settings.alertThreshold[size_t(AlertKind::Battery)];

    setReading(cpu.usage, double(cpuLimit));
    setReading(battery.percent, uint32_t(batteryLimit));
    page.draw(&App::pageSummary);
    const TextRun* cpuValue = page.text(formatPercent(cpuLimit));
    const TextRun* batteryValue = page.text(std::to_wstring(batteryLimit) + L"%");
    ASSERT_TRUE(cpuValue && batteryValue);
    EXPECT_EQ(page.barBelow(*cpuValue), page.role(Role::statusWarning));
    EXPECT_EQ(page.barBelow(*batteryValue), page.role(Role::statusWarning));

    setReading(cpu.usage, cpuLimit - 0.5);
    setReading(battery.percent, uint32_t(batteryLimit + 1));
    page.draw(&App::pageSummary);
    cpuValue = page.text(formatPercent(cpuLimit - 0.5));
    batteryValue = page.text(std::to_wstring(batteryLimit + 1) + L"%");
    ASSERT_TRUE(cpuValue && batteryValue);
    EXPECT_EQ(page.barBelow(*cpuValue), page.role(Role::accent));
    EXPECT_EQ(page.barBelow(*batteryValue), page.role(Role::accent));
}

TEST(SummaryPage, ActiveAlertsAndTheButtonToTheThresholds) {
    PageCanvas page;
    page.draw(&App::pageSummary);
    EXPECT_NE(page.text(L"Tidak ada peringatan aktif."), nullptr);
    EXPECT_NE(page.text(L"Notifikasi Windows aktif (maks. sekali per 10 menit per jenis)."),
              nullptr);
    const TextRun* button = page.text(L"Atur ambang");
    ASSERT_NE(button, nullptr);
    const POINT inside{button->rect.left, button->rect.top};
    const int region = regionAt(page.canvas.hits, inside);
    ASSERT_GE(region, 0);
    EXPECT_EQ(page.canvas.hits[size_t(region)].command, commandNavigate);
    EXPECT_EQ(page.canvas.hits[size_t(region)].argument, 8);

    page.app->settings.notifications = false;
    page.app->alerts.active.push_back(
        Alert{AlertKind::Ram, L"RAM hampir penuh", L"Pemakaian RAM 91%."});
    page.draw(&App::pageSummary);
    EXPECT_EQ(page.text(L"Tidak ada peringatan aktif."), nullptr);
    const TextRun* title = page.text(L"RAM hampir penuh");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(page.text(L"Pemakaian RAM 91%.")->role, roleOf(Role::textSecondary));
    EXPECT_NE(page.text(L"Notifikasi Windows dimatikan."), nullptr);
}

TEST(SummaryPage, DeviceCardNamesWhatIsKnownAndWhyGraphicsIsNot) {
    PageCanvas page;
    page.app->system.osName = L"Windows 11 Pro";
    page.app->system.osVersion = L"versi 23H2, build 22631.4037";
    page.app->system.is64Bit = true;
    setReading(page.app->gpu.status, true);
    page.draw(&App::pageSummary);
    EXPECT_NE(page.text(L"Windows 11 Pro (versi 23H2, build 22631.4037)"), nullptr);
    EXPECT_EQ(page.text(L"Model"), nullptr) << "neither manufacturer nor model";
    EXPECT_EQ(page.text(L"RAM terpasang"), nullptr) << "memory not read";
    EXPECT_NE(page.text(L"64-bit"), nullptr);
    EXPECT_NE(page.text(L"Keterbatasan: Driver. Tidak ada adapter perangkat keras yang "
                        L"dilaporkan DXGI."),
              nullptr);

    page.app->system.model = L"ThinkPad X1 ";
    page.app->gpu.adapters.push_back(GpuAdapter{});
    page.app->gpu.adapters.back().name = L"Intel Iris Xe";
    page.draw(&App::pageSummary);
    EXPECT_NE(page.text(L"ThinkPad X1"), nullptr) << "trimmed";
    EXPECT_NE(page.text(L"Intel Iris Xe"), nullptr);
    EXPECT_EQ(page.textsStarting(L"Keterbatasan: Driver").size(), 0u);
}
