// The App without a window on the simulated PC: start-up, ticks, close, what each feeds.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <utility>

#include "app/app.h"
#include "app/perf_control.h"
#include "app/scheduler.h"
#include "harness.h"
#include "perf/power_machine.h"

namespace ovra {
namespace {

using SimulatedApp = test::SimulatedPc;

TEST_F(SimulatedApp, TicksFeedTheRingTheRowsTheAlertsAndTheSafetyCheck) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n"
               "\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 2048\n"
               "\\Thermal Zone Information(\\_TZ.TZ01)\\Temperature = 3231\n");
    test::TempFolder folder(L"ovra-app");
    const auto app = std::make_unique<App>(folder.path); // gone before the state file
    Settings& settings = app->settings;
    settings.saveHistory = true;
    settings.alertThreshold = {100, 0, 0, 0, 40}; // RAM and temperature (49.95 °C) are high
    startMeasuring(*app);
    EXPECT_NE(app->machine.storage.lastSmartCheck, 0u) << "the disks are checked at start-up";
    EXPECT_EQ(std::vector<unsigned>({timerPeriodMs(settings, sensorsPage, fastTimer),
                                     timerPeriodMs(settings, sensorsPage, slowTimer),
                                     timerPeriodMs(settings, sensorsPage, smartTimer),
                                     timerPeriodMs(settings, sensorsPage, processTimer),
                                     timerPeriodMs(settings, processesPage, processTimer),
                                     processIntervalMs(2, processesPage)}),
              std::vector<unsigned>({2000, 10000, 1800000, 0, 3000, 10000}));

    app->view.trayPresent = true; // an icon the shell cannot see: balloons are handed out anyway
    const auto tick = [&](bool notifications) {
        Sleep(30); // the system times move on
        settings.notifications = notifications;
        return fastTick(*app);
    };
    EXPECT_EQ(tick(true), 2u) << "RAM and temperature, newly raised";
    EXPECT_NEAR(double(*app->alerts.lastNotified[size_t(AlertKind::Ram)]), double(GetTickCount64()),
                5000.0);
    settings.alertThreshold[size_t(AlertKind::Disk)] = 100; // every drive is low
    EXPECT_EQ(tick(false), 0u) << "notifications off";
    app->view.trayPresent = false;
    EXPECT_EQ(tick(true), 0u) << "no tray";
    EXPECT_EQ(app->alerts.active.size(), 3u);

    ASSERT_EQ(app->history.count, 3u);
    for (int more = 0; more < 40 && !app->machine.cpu.usage.ok; ++more) // Wine's clock moves in steps
        tick(true);
    const Sample& s = historyAt(app->history, app->history.count - 1);
    ASSERT_TRUE(app->machine.memory.ok && app->machine.network.ratesValid && app->machine.cpu.usage.ok);
    EXPECT_EQ(std::vector<float>({s.cpuPercent, s.ramPercent, s.downloadRate, s.uploadRate,
                                  s.diskReadRate, s.diskWriteRate, s.temperature}),
              std::vector<float>({float(app->machine.cpu.usage.value), float(app->machine.memory.usedPercent),
                                  float(app->machine.network.downloadRate), float(app->machine.network.uploadRate),
                                  1048576.0f, 2048.0f, 49.95f}));

    app->window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr); // the process list needs it shown
    for (auto [page, mode] : {std::pair{sensorsPage, 1}, {processesPage, 0}, {processesPage, 2}}) {
        app->view.page = page;
        settings.processMode = mode;
        onTimer(*app, processTimer);
        EXPECT_EQ(app->machine.processes.count > 1, mode == 2) << page << " " << mode;
    }
    DestroyWindow(std::exchange(app->window, nullptr));
    for (uintptr_t timer : {slowTimer, smartTimer}) { // both read the drives again
        app->machine.storage.drives.clear();
        app->machine.storage.lastSmartCheck = 0;
        onTimer(*app, timer);
        EXPECT_FALSE(app->machine.storage.drives.empty()) << timer;
        EXPECT_EQ(app->machine.storage.lastSmartCheck != 0, timer == smartTimer) << timer;
    }

    const test::FakePower power; // while a change is active the fast tick runs the safety check
    app->perf.powerApi = power.api;
    switchPerfControlOn(*app);
    app->perf.selectedPlan = 1;
    applySelectedPerfChange(*app);
    const std::wstring recovery = folder.file(recoveryFileName);
    ASSERT_TRUE(recoveryFileExists(recovery));
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3632\n"); // 90 °C
    onTimer(*app, fastTimer);
    EXPECT_FALSE(recoveryFileExists(recovery));

    onDestroy(*app); // the close writes the buffered rows
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    std::string expected = csvHeader;
    for (uint64_t i = 0; i < app->history.count; ++i)
        expected += formatCsvRow(historyAt(app->history, i));
    std::ifstream file(app->history.path.c_str(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), expected);
}

} // namespace
} // namespace ovra
