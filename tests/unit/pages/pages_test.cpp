// The pages as the frame paints them: values, reasons, bars, regions, process order, settings.
#include "app_fixture.h"
#include "app/commands.h"
#include "sources/clock.h"

using namespace ovra;
using Pages = test::PageView;

TEST_F(Pages, EachShowsItsValuesBarsAndRegions) {
    std::tie(app.machine.memory.ok, app.machine.memory.usedPercent) = std::tuple(true, 85.0); // default thresholds
    setUnavailable(app.machine.gpu.status, Limitation::Permission, L"Uji grafis.");
    Drive& drive = app.machine.storage.drives.emplace_back();
    std::tie(drive.ready, drive.totalBytes, drive.freeBytes) = std::tuple(true, 1000, 100);
    app.machine.battery.present = true;
    setReading(app.machine.battery.percent, 15u);
    setReading(app.machine.battery.rate, -12'500);
    setReading(app.machine.thermal.status, true);
    app.machine.thermal.zones = {{L"TZ0", 45.04}};
    setReading(app.machine.thermal.maxTemp, 61.6);
    app.machine.processes.rows = {{4, L"", true, false, 0, 3ull << 29}}; // pid, name, access, use, memory
    historyAppend(app.history, {.time = systemTimeNow(), .downloadRate = 40'000});
    const std::wstring reason = L"Keterbatasan: " + limitationLabel(Limitation::Permission);
    const struct {
        int page;
        const wchar_t* shown;
        std::wstring also;     // the beginnings of two texts; a bar lies below `shown`
        Role bar;              // background: none
        int command, argument; // one of the page's own regions, command 0: none at all
    } rows[] = {
        {0, L"85%", L"", Role::statusWarning, commandNavigate, 8},
        {1, L"85%", reason + L". Uji grafis.", Role::statusWarning, 0, 0},
        {2, L"90% terpakai", L"", Role::accent, commandSmartCheck, 0},
        {3, L"15%", L"12,5 W", Role::statusWarning, 0, 0},
        {4, L"45,0 \u00B0C", L"", Role::background, 0, 0},
        {5, L"1,50 GB", L"", Role::background, commandProcessSort, 1},
        {6, L"44,9 KB/s", L"", Role::background, commandSaveHistory, 0},
        {7, L"Tersedia: 62 \u00B0C", L"", Role::background, commandPerfRestore, 0},
        {8, L"85\u00B0C", L"", Role::background, commandTheme, 0},
    };
    for (const auto& row : rows) {
        show(row.page);
        const TextRun* value = text(row.shown, 1 << 30, true);
        ASSERT_TRUE(value && text(row.also, 1 << 30, true)) << row.page;
        const Colour bar = canvas->pixel(value->rect.left + 3, value->rect.bottom + 6);
        EXPECT_TRUE(row.bar == Role::background || bar == app.view.palette[row.bar]) << row.page;
        std::vector<std::pair<int, int>> own; // the page's regions, not the sidebar's
        for (const HitRegion& r : app.view.hits)
            if (r.rect.left >= pageLeft) own.push_back({r.command, r.argument});
        const auto wanted = std::find(own.begin(), own.end(), std::pair{row.command, row.argument});
        EXPECT_TRUE(row.command ? wanted != own.end() : own.empty()) << row.page;
    }
}

TEST_F(Pages, ProcessTableShowsFiftyRowsInTheChosenOrder) {
    for (uint32_t i = 0; i < 51; ++i)
        app.machine.processes.rows.push_back({1000 + i, L"", true, true, double(i), 60ull - i});
    for (const auto& [sort, first, last, gone] : // by memory (as listed), then by processor use
         {std::tuple{1, L"1000", L"1049", L"1050"}, {0, L"1050", L"1001", L"1000"}}) {
        executeCommand(app, commandProcessSort, sort);
        show(processesPage);
        ASSERT_TRUE(text(first) && text(last));
        EXPECT_LT(text(first)->rect.top, text(last)->rect.top);
        EXPECT_FALSE(text(gone));
        EXPECT_EQ(argumentsOf(commandProcessSort), std::vector<int32_t>{1 - sort});
    }
}

TEST_F(Pages, SettingsControlsOfferWhatTheStoredValuesLeaveAtEveryDpi) {
    // clang-format off
    app.settings = {.theme = 1, .fastIntervalMs = 1500, .slowIntervalMs = 10000, .processMode = 2,
                    .saveHistory = true, .notifications = false, .alertEnabled = {1, 1, 0, 1, 1},
                    .alertThreshold = {alertKindInfo(AlertKind::Cpu).maximum,
                                       alertKindInfo(AlertKind::Ram).minimum, 10, 15, 85}};
    // clang-format on
    // Each control's command, the arguments it offers and the height of its regions in dip.
    const std::tuple<int32_t, std::vector<int32_t>, int> controls[] = {
        // clang-format off
        {commandTheme, {0, 2}, 26}, {commandFastInterval, {0, 2}, 26}, {commandSlowInterval, {0, 2}, 26},
        {commandProcessMode, {0, 1}, 26}, {commandAlertThreshold, {-1}, 30},
        {commandAlertThreshold + 1, {1}, 30}, {commandAlertThreshold + 2, {}, 0},
        {commandAlertEnabled, {0, 1, 2, 3, 4}, 22}, {commandOpenDataFolder, {0}, 32},
        // clang-format on
    };
    for (const int dpi : {96, 144, 192}) {
        createFonts(app.view.fonts, app.view.dpi = dpi);
        show(8);
        for (const auto& [command, arguments, heightDip] : controls) {
            EXPECT_EQ(argumentsOf(command), arguments) << command;
            for (const HitRegion& r : app.view.hits)
                EXPECT_TRUE(r.command != command ||
                            r.rect.bottom - r.rect.top == heightDip * dpi / 96);
        }
        // A switch that is on shows the accent near its left end, one that is off its knob.
        const RECT on = hit(commandSaveHistory, 0)->rect, off = hit(commandNotifications, 0)->rect;
        EXPECT_EQ(canvas->pixel(on.left + dpi / 16, on.top + dpi / 8), app.view.palette[Role::accent]);
        EXPECT_NE(canvas->pixel(off.left + dpi / 16, off.top + dpi / 8), app.view.palette[Role::accent]);
    }
}
