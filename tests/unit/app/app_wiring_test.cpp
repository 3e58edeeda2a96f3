// The App without a window: the start-up and the ticks on a simulated PC, and the
// wiring between collectors, the history ring and everything a tick feeds.
//
// Each capability adds its wiring here, as a case of this suite (a tick raises
// the alert, buffers the CSV row, runs the safety check ...): describe the
// machine with setMachine (state-file lines of tests/fixtures/fake_pdh.cpp),
// then start() and tick(), and assert on the App's records. The App keeps its
// files in a temporary folder of its own, never in the user's data folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "app/app.h"
#include "app/perf_control.h"
#include "app/scheduler.h"
#include "harness.h"
#include "perf/power_machine.h"

namespace ovra {
namespace {

class SimulatedApp : public test::SimulatedPc {
protected:
    void SetUp() override {
        test::SimulatedPc::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        folder = std::make_unique<test::TempFolder>(L"ovra-app");
        app = std::make_unique<App>(folder->path);
    }

    void TearDown() override {
        app.reset(); // closes its queries before the state file goes
        folder.reset();
        test::SimulatedPc::TearDown();
    }

    // Start-up as the window's creation runs it.
    void start() { startMeasuring(*app); }

    // One fast tick a little later, so that the system times have moved on.
    void tick() {
        Sleep(30);
        fastTick(*app);
    }

    std::unique_ptr<test::TempFolder> folder;
    std::unique_ptr<App> app;
};

std::string narrowForTrace(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

// A sample field and the value it was built from: both missing, or equal.
void expectField(float field, float expected, const char* name) {
    if (!hasValue(expected))
        EXPECT_FALSE(hasValue(field)) << name;
    else
        EXPECT_FLOAT_EQ(field, expected) << name;
}

TEST_F(SimulatedApp, StartUpReadsEverySourceOnceWithoutAWindow) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n");
    start();
    EXPECT_EQ(app->window, nullptr);
    EXPECT_FALSE(app->cpu.name.empty());
    EXPECT_GE(app->cpu.logicalProcessors, 1u);
    EXPECT_TRUE(app->memory.ok);
    EXPECT_TRUE(app->network.status.ok);
    EXPECT_EQ(app->fastQuery.collects, 1u);
    EXPECT_EQ(app->history.count, 0u); // samples come from ticks only
    EXPECT_EQ(app->history.path, folder->file(L"riwayat.csv"));
}

TEST_F(SimulatedApp, EachFastTickPutsOneSampleBuiltFromTheRecordsInTheRing) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n");
    start();
    tick();
    tick();
    ASSERT_EQ(app->history.count, 2u);
    EXPECT_LT(historyAt(app->history, 0).time, historyAt(app->history, 1).time);

    // Wine's system times move in steps of several milliseconds: tick until the
    // processor's use is measured, so the comparison below sees real values.
    for (int attempt = 0; attempt < 40 && !app->cpu.usage.ok; ++attempt)
        tick();
    const uint64_t ticks = app->history.count;
    const Sample& latest = historyAt(app->history, ticks - 1);
    const Sample expected =
        buildSample(latest.time, app->cpu, app->memory, app->network, app->storage,
                    hottestOfficialTemperature(app->thermal, app->gpu));
    ASSERT_TRUE(hasValue(latest.cpuPercent));
    ASSERT_TRUE(hasValue(latest.ramPercent));
    ASSERT_TRUE(hasValue(latest.downloadRate)) << "rates exist from the second network read";
    expectField(latest.cpuPercent, expected.cpuPercent, "cpuPercent");
    expectField(latest.ramPercent, expected.ramPercent, "ramPercent");
    expectField(latest.downloadRate, expected.downloadRate, "downloadRate");
    expectField(latest.uploadRate, expected.uploadRate, "uploadRate");
    expectField(latest.diskReadRate, expected.diskReadRate, "diskReadRate");
    expectField(latest.diskWriteRate, expected.diskWriteRate, "diskWriteRate");
    expectField(latest.temperature, expected.temperature, "temperature");
}

TEST_F(SimulatedApp, FastTickCollectsTheCountersTheProcessorReads) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 112.5\n");
    start();
    ASSERT_TRUE(app->cpu.baseMhz.ok) << "Wine gives the maximum frequency";
    EXPECT_FALSE(app->cpu.effectiveMhz.ok); // a rate needs a second collection
    tick();
    EXPECT_EQ(app->fastQuery.collects, 2u);
    ASSERT_TRUE(app->cpu.effectiveMhz.ok);
    EXPECT_DOUBLE_EQ(app->cpu.effectiveMhz.value, app->cpu.baseMhz.value * 1.125);

    // The next tick sees what the machine does now.
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 50\n");
    tick();
    EXPECT_DOUBLE_EQ(app->cpu.effectiveMhz.value, app->cpu.baseMhz.value * 0.5);
}

TEST_F(SimulatedApp, EveryTimerRunsWithoutAWindow) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n");
    start();
    app->page = processesPage;
    app->settings.processMode = 1;
    for (uintptr_t id : {fastTimer, slowTimer, processTimer, smartTimer})
        onTimer(*app, id);
    EXPECT_EQ(app->history.count, 1u);
    EXPECT_EQ(app->fastQuery.collects, 2u);
}

TEST_F(SimulatedApp, FastTickRaisesAlertsAndNotifiesAtTheSampleTime) {
    setMachine("");
    start();
    app->settings.alertEnabled.fill(false);
    app->settings.alertEnabled[size_t(AlertKind::Ram)] = true;
    app->settings.alertThreshold[size_t(AlertKind::Ram)] = 0; // any use is high
    tick();
    ASSERT_EQ(app->alerts.active.size(), 1u);
    EXPECT_EQ(app->alerts.active[0].title, L"RAM hampir penuh");
    const uint64_t notified = app->alerts.lastNotified[size_t(AlertKind::Ram)];
    EXPECT_EQ(notified, historyAt(app->history, 0).time) << "one clock for sample and alerts";

    tick(); // still raised: listed, not notified again
    EXPECT_EQ(app->alerts.active.size(), 1u);
    EXPECT_EQ(app->alerts.lastNotified[size_t(AlertKind::Ram)], notified);
}

TEST_F(SimulatedApp, FastTickBuffersRowsAndWritesTheThirtieth) {
    setMachine("");
    app->settings.saveHistory = true;
    start();
    tick();
    tick();
    EXPECT_EQ(app->history.pendingRows, 2);
    EXPECT_EQ(app->history.writeBuffer,
              formatCsvRow(historyAt(app->history, 0)) + formatCsvRow(historyAt(app->history, 1)));
    EXPECT_EQ(GetFileAttributesW(app->history.path.c_str()), INVALID_FILE_ATTRIBUTES);
    for (int i = 2; i < 30; ++i)
        tick();
    EXPECT_EQ(app->history.pendingRows, 0);
    // Rows differ in length with their values: the file holds exactly these thirty.
    size_t rowBytes = 0;
    for (uint64_t i = 0; i < 30; ++i)
        rowBytes += formatCsvRow(historyAt(app->history, i)).size();
    EXPECT_EQ(historyFileBytes(app->history), sizeof csvHeader - 1 + rowBytes);
}

TEST_F(SimulatedApp, EachSampleCarriesTheHottestOfficialTemperature) {
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3181\n"
               "\\Thermal Zone Information(\\_TZ.TZ01)\\Temperature = 3231\n");
    start();
    ASSERT_EQ(app->thermal.zones.size(), 2u);
    tick();
    EXPECT_FLOAT_EQ(historyAt(app->history, 0).temperature, 49.95f);

    // No zone left after the next slow tick: the sample has no temperature at all.
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 0\n");
    slowTick(*app);
    tick();
    EXPECT_FALSE(hasValue(historyAt(app->history, 1).temperature));
}

TEST_F(SimulatedApp, ProcessTickReadsTheListOnlyOnItsPageWithTheModeOn) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n");
    start();
    // The tick also wants a shown window; a plain one stands in for the main window.
    HWND shown = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(shown, nullptr);
    app->window = shown;
    const auto tickOn = [&](int page, int mode) {
        app->page = page;
        app->settings.processMode = mode;
        processTick(*app);
        return app->processes.count;
    };
    EXPECT_EQ(tickOn(0, 1), 0u);
    EXPECT_EQ(tickOn(processesPage, 0), 0u);
    EXPECT_GT(tickOn(processesPage, 2), 1u);
    app->window = nullptr;
    DestroyWindow(shown);
}

TEST_F(SimulatedApp, SamplesCarryTheDiskRatesOfDrivesWithBothCounters) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n"
               "\\LogicalDisk(C:)\\Disk Read Bytes/sec = 1048576\n"
               "\\LogicalDisk(C:)\\Disk Write Bytes/sec = 2048\n"
               "\\LogicalDisk(Z:)\\Disk Read Bytes/sec = 10\n" // no write counter: left out
               "\\LogicalDisk(_Total)\\Disk Read Bytes/sec = 1048586\n"
               "\\LogicalDisk(_Total)\\Disk Write Bytes/sec = 2048\n");
    start();
    tick();
    ASSERT_EQ(app->history.count, 1u);
    const Sample& sample = historyAt(app->history, 0);
    EXPECT_FLOAT_EQ(sample.diskReadRate, 1048576.0f);
    EXPECT_FLOAT_EQ(sample.diskWriteRate, 2048.0f);
}

TEST_F(SimulatedApp, WithoutDiskCountersSamplesHaveNoDiskRates) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n");
    start();
    tick();
    tick();
    const Sample& sample = historyAt(app->history, app->history.count - 1);
    EXPECT_FALSE(hasValue(sample.diskReadRate));
    EXPECT_FALSE(hasValue(sample.diskWriteRate));
    ASSERT_FALSE(app->storage.drives.empty());
    EXPECT_EQ(app->storage.drives[0].readRate.reason, app->storage.ioStatus.reason);
}

TEST_F(SimulatedApp, StorageAndBatteryAreReadAtStartAndRefreshedWhenDue) {
    setMachine("\\Processor Information(_Total)\\% Processor Performance = 100\n");
    start();
    // The start-up disk check lists the drives even without disk counters.
    EXPECT_NE(app->storage.lastSmartCheck, 0u);
    EXPECT_FALSE(app->storage.drives.empty());
    EXPECT_EQ(app->battery.present, app->battery.presenceReason.empty());

    app->storage.drives.clear();
    app->battery = BatteryInfo{};
    slowTick(*app);
    EXPECT_FALSE(app->storage.drives.empty());
    EXPECT_EQ(app->battery.present, app->battery.presenceReason.empty());

    app->storage.drives.clear();
    app->battery = BatteryInfo{};
    onPowerBroadcast(*app, PBT_APMRESUMEAUTOMATIC);
    EXPECT_FALSE(app->storage.drives.empty());
    EXPECT_EQ(app->battery.present, app->battery.presenceReason.empty());

    // Timer 4 and the storage page's command both check the disks again.
    for (bool byCommand : {false, true}) {
        app->storage.lastSmartCheck = 0;
        app->storage.drives.clear();
        if (byCommand)
            checkSmartNow(*app);
        else
            onTimer(*app, smartTimer);
        EXPECT_NE(app->storage.lastSmartCheck, 0u) << byCommand;
        EXPECT_FALSE(app->storage.drives.empty()) << byCommand;
    }
}

// While a power-setting change is recorded, the fast tick reads the thermal zones
// and runs the safety check; the slow tick runs it always. Without a change the
// fast tick leaves the thermal zones to the slow tick.
TEST_F(SimulatedApp, TicksWatchTheTemperatureWhileAChangeIsActive) {
    const char* cool = "\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3132\n"; // 40 °C
    setMachine(cool);
    start();
    ASSERT_TRUE(app->thermal.maxTemp.ok);
    const test::FakePower power;
    app->powerApi = power.api;
    const std::wstring recoveryFile = folder->file(recoveryFileName);
    auto applyChange = [&] {
        switchPerfControlOn(*app);
        app->selectedPlan = 1;
        app->selectedPercent = 60;
        applySelectedPerfChange(*app);
        ASSERT_TRUE(recoveryFileExists(recoveryFile)) << narrowForTrace(app->perfMessage);
    };

    const uint64_t thermalCollects = app->thermalQuery.collects;
    tick();
    EXPECT_EQ(app->thermalQuery.collects, thermalCollects) << "no change: the slow tick's job";

    applyChange();
    setMachine("\\Thermal Zone Information(\\_TZ.TZ00)\\Temperature = 3632\n"); // 90 °C
    tick();
    EXPECT_EQ(app->thermalQuery.collects, thermalCollects + 1);
    EXPECT_FALSE(recoveryFileExists(recoveryFile));
    EXPECT_TRUE(power.has(test::highId + " 100 100"));
    EXPECT_EQ(
        app->perfMessage.rfind(L"Pemulihan otomatis: Suhu 90°C mencapai batas pengaman 85°C. ", 0),
        0u);
    EXPECT_FALSE(app->perfControlOn);

    setMachine(cool);
    onTimer(*app, slowTimer);
    applyChange();
    setMachine("# the thermal zone is gone\n");
    onTimer(*app, slowTimer);
    EXPECT_FALSE(recoveryFileExists(recoveryFile));
    EXPECT_TRUE(power.has("active " + test::balancedId));
    EXPECT_EQ(
        app->perfMessage.rfind(L"Pemulihan otomatis: Sensor suhu hilang atau gagal dibaca. ", 0),
        0u);
}

} // namespace
} // namespace ovra
