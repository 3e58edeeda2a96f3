// The gate that lets control start, and the safety monitor that undoes an active
// change when the temperature sensor is lost or the safety limit is reached.
#include <gtest/gtest.h>

#include <memory>

#include "app/app.h"
#include "app/perf_control.h"
#include "fake_power.h"
#include "harness.h"
#include "pages/commands.h"
#include "perf/safety.h"

using namespace ovra;

namespace {

Reading<double> celsius(double value) {
    Reading<double> reading;
    setReading(reading, value);
    return reading;
}

Reading<double> noSensor() {
    Reading<double> reading;
    setUnavailable(reading, Limitation::Firmware, L"tidak ada zona");
    return reading;
}

PerfCaps supported() {
    PerfCaps caps;
    setReading(caps.plans, true);
    setUnavailable(caps.range, Limitation::WindowsApi, L"x");
    return caps;
}

TEST(PerfGate, RefusesInOrderWithItsSentences) {
    std::wstring reason = L"(unchanged)";
    EXPECT_FALSE(perfGateAllows(false, supported(), celsius(40), 85, reason));
    EXPECT_EQ(reason, L"Perangkat ini tidak mengekspos pengaturan performa yang didukung.");
    EXPECT_FALSE(perfGateAllows(true, PerfCaps{}, noSensor(), 85, reason))
        << "an unsupported device is named before a missing sensor";
    EXPECT_EQ(reason, L"Perangkat ini tidak mengekspos pengaturan performa yang didukung.");

    EXPECT_FALSE(perfGateAllows(true, supported(), noSensor(), 85, reason));
    EXPECT_EQ(reason, L"Kontrol dinonaktifkan karena tidak ada sensor suhu resmi yang terbaca. "
                      L"Tanpa pemantauan suhu, perubahan performa tidak diizinkan.");

    EXPECT_FALSE(perfGateAllows(true, supported(), celsius(85.0), 85, reason));
    EXPECT_EQ(reason, L"Suhu saat ini 85°C sudah mencapai batas pengaman 85°C.");

    reason = L"(unchanged)";
    EXPECT_TRUE(perfGateAllows(true, supported(), celsius(84.9), 85, reason));
    EXPECT_EQ(reason, L"(unchanged)");
    PerfCaps rangeOnly;
    setReading(rangeOnly.range, true);
    EXPECT_TRUE(perfGateAllows(true, rangeOnly, celsius(40), 85, reason));
}

TEST(SafetyMonitor, TripsOnLostSensorOrReachedLimit) {
    EXPECT_EQ(safetyTripCause(noSensor(), 85), L"Sensor suhu hilang atau gagal dibaca.");
    EXPECT_EQ(safetyTripCause(celsius(85.0), 85), L"Suhu 85°C mencapai batas pengaman 85°C.");
    EXPECT_EQ(safetyTripCause(celsius(91.6), 90), L"Suhu 92°C mencapai batas pengaman 90°C.");
    EXPECT_EQ(safetyTripCause(celsius(84.9), 85), L"");
}

const wchar_t restored[] = L"Pengaturan daya dikembalikan ke nilai sebelum diubah Ovra Monitor.";

// The application object with the in-memory power API, keeping its files (the
// recovery file, the settings) in a temporary folder of its own.
class AppSafety : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<App>(folder.path);
        fake::PowerMachine state;
        state.plans = {fake::balanced(), fake::plan(1, L"Performa tinggi", 100, 100)};
        state.active = balancedPlan;
        app->powerApi = fake::usePowerMachine(state);
        app->thermal.maxTemp = celsius(50);
        refreshPerfCaps(*app);
    }

    // A change applied by the user: control on, plan 1 at 60 %.
    void applyChange() {
        switchPerfControlOn(*app);
        ASSERT_EQ(app->selectedPlan, 0) << "the active plan is preselected";
        app->selectedPlan = 1;
        app->selectedPercent = 60;
        applySelectedPerfChange(*app);
        ASSERT_EQ(app->perfMessage,
                  L"Diterapkan. Pemantauan suhu dipercepat selama perubahan aktif.");
        ASSERT_TRUE(recoveryFileExists(recoveryPath()));
        ASSERT_EQ(fake::machine().find(fake::planGuid(1))->ac, 60u);
    }

    void expectRestored() {
        EXPECT_FALSE(recoveryFileExists(recoveryPath()));
        EXPECT_EQ(fake::machine().find(fake::planGuid(1))->ac, 100u);
        EXPECT_EQ(fake::machine().active, balancedPlan);
        EXPECT_TRUE(app->powerState.valid) << "the state in force is read again";
        EXPECT_EQ(app->powerState.activePlan, balancedPlan);
    }

    std::wstring recoveryPath() const { return folder.file(recoveryFileName); }

    test::TempFolder folder{L"ovra-perf"};
    std::unique_ptr<App> app;
};

TEST_F(AppSafety, LostSensorRestoresAndSwitchesControlOff) {
    applyChange();
    app->thermal.maxTemp = noSensor();
    safetyCheck(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage, std::wstring(L"Pemulihan otomatis: Sensor suhu hilang atau gagal "
                                             L"dibaca. ") +
                                    restored);
    EXPECT_FALSE(app->perfMessageIsError);
    EXPECT_FALSE(app->perfControlOn);
}

TEST_F(AppSafety, LimitIsReachedAtItsValueNotBelow) {
    applyChange();
    app->thermal.maxTemp = celsius(84.9);
    safetyCheck(*app);
    EXPECT_TRUE(recoveryFileExists(recoveryPath()));
    EXPECT_TRUE(app->perfControlOn);

    app->thermal.maxTemp = celsius(85.0);
    safetyCheck(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage.rfind(L"Pemulihan otomatis: Suhu 85°C mencapai batas pengaman "
                                     L"85°C. ",
                                     0),
              0u);
}

TEST_F(AppSafety, NothingHappensWithoutARecordedChange) {
    app->thermal.maxTemp = celsius(99);
    fake::machine().calls.clear();
    safetyCheck(*app);
    EXPECT_TRUE(fake::machine().calls.empty());
    EXPECT_EQ(app->perfMessage, L"");
}

TEST_F(AppSafety, FailedRestoreIsRetriedAtTheNextCheck) {
    applyChange();
    fake::machine().failAlways["PowerSetActiveScheme"] = ERROR_ACCESS_DENIED;
    app->thermal.maxTemp = noSensor();
    safetyCheck(*app);
    EXPECT_TRUE(recoveryFileExists(recoveryPath()));
    EXPECT_TRUE(app->perfMessageIsError);
    EXPECT_NE(app->perfMessage.find(L"Pulihkan pengaturan default"), std::wstring::npos);
    EXPECT_FALSE(app->perfControlOn);

    fake::machine().failAlways.clear();
    safetyCheck(*app);
    expectRestored();
    EXPECT_FALSE(app->perfMessageIsError);
}

TEST_F(AppSafety, LoweringTheLimitBelowTheTemperatureRestoresAtOnce) {
    applyChange();
    app->settings.safetyLimit = 60;
    executeCommand(*app, commandSafetyLimit, -1);
    EXPECT_EQ(app->settings.safetyLimit, 60) << "60 is the lowest limit";
    EXPECT_TRUE(recoveryFileExists(recoveryPath())) << "50 °C is below 60 °C";
    app->settings.safetyLimit = 95;
    executeCommand(*app, commandSafetyLimit, +1);
    EXPECT_EQ(app->settings.safetyLimit, 95) << "95 is the highest limit";

    app->thermal.maxTemp = celsius(62);
    app->settings.safetyLimit = 65;
    executeCommand(*app, commandSafetyLimit, -1);
    EXPECT_EQ(app->settings.safetyLimit, 60);
    expectRestored();
}

// Every path that ends or suspends the program undoes the change; sleep also
// asks for consent again afterwards.
TEST_F(AppSafety, EndingAndSleepingRestore) {
    applyChange();
    onQueryEndSession(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage, std::wstring(L"Windows dimatikan atau keluar akun. ") + restored);

    applyChange();
    onEndSession(*app, false);
    EXPECT_TRUE(recoveryFileExists(recoveryPath())) << "a cancelled end of session";
    onEndSession(*app, true);
    expectRestored();

    applyChange();
    onPowerBroadcast(*app, PBT_APMSUSPEND);
    expectRestored();
    EXPECT_EQ(app->perfMessage, std::wstring(L"Perangkat masuk mode tidur. ") + restored);
    EXPECT_FALSE(app->perfControlOn);

    applyChange();
    switchPerfControlOff(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage, std::wstring(L"Kontrol dimatikan. ") + restored);

    applyChange();
    onClose(*app); // no window here: only the restore has an effect
    expectRestored();
    EXPECT_EQ(app->perfMessage, std::wstring(L"Aplikasi ditutup. ") + restored);
}

// A run that crashed with a change in force left its recovery file; the next
// run, with a fresh engine, puts the values back before anything else.
TEST_F(AppSafety, NextStartRestoresAfterACrash) {
    applyChange();
    app.reset(); // the crash: nothing was restored
    ASSERT_EQ(fake::machine().find(fake::planGuid(1))->ac, 60u);

    app = std::make_unique<App>(folder.path);
    app->powerApi = fake::powerApiOverMachine();
    recoverAtStartup(*app);
    EXPECT_FALSE(recoveryFileExists(recoveryPath()));
    EXPECT_EQ(fake::machine().find(fake::planGuid(1))->ac, 100u);
    EXPECT_EQ(fake::machine().active, balancedPlan);
    EXPECT_EQ(app->perfMessage,
              std::wstring(L"Saat dibuka, Ovra Monitor menemukan perubahan performa dari sesi "
                           L"sebelumnya yang belum dipulihkan, lalu mengembalikannya. ") +
                  restored);
}

TEST_F(AppSafety, CommandsReportOnTheStatusLine) {
    switchPerfControlOn(*app);
    app->selectedPlan = 1;
    app->selectedPercent = 25;
    applySelectedPerfChange(*app);
    EXPECT_EQ(app->perfMessage,
              L"Tidak diterapkan: Nilai 25% di luar batas yang diizinkan (30-100%).");
    EXPECT_TRUE(app->perfMessageIsError);
    EXPECT_TRUE(app->perfControlOn);

    applyChange();
    restorePerfSettings(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage, restored);
    EXPECT_FALSE(app->perfControlOn);

    applyChange();
    resetPerfSettings(*app);
    expectRestored();
    EXPECT_EQ(app->perfMessage.rfind(L"Rencana daya \"Seimbang\" (bawaan Windows)", 0), 0u);
    EXPECT_FALSE(app->perfControlOn);
}

TEST_F(AppSafety, PercentStepsWithinTheOfferedRange) {
    stepPerfPercent(*app, -1);
    EXPECT_EQ(app->selectedPercent, 100u) << "nothing moves before consent";
    switchPerfControlOn(*app);
    EXPECT_EQ(app->selectedPercent, 100u);
    stepPerfPercent(*app, +1);
    EXPECT_EQ(app->selectedPercent, 100u);
    for (int i = 0; i < 20; ++i)
        stepPerfPercent(*app, -1);
    EXPECT_EQ(app->selectedPercent, 30u);
    app->perfCaps.stepPercent = 10;
    stepPerfPercent(*app, +1);
    EXPECT_EQ(app->selectedPercent, 40u);
}

} // namespace
