// The gate, and the safety monitor and every ending path that undo an active
// change through the application object.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/app.h"
#include "app/perf_control.h"
#include "app/scheduler.h"
#include "perf/safety.h"
#include "power_machine.h"

namespace ovra {
namespace {

Reading<double> celsius(double value) {
    Reading<double> reading;
    if (value >= 0) setReading(reading, value);
    return reading; // below zero: no sensor
}

TEST(PerfGate, RefusesInOrderAndTripsAtTheLimit) {
    PerfCaps rangeOnly, none;
    setReading(rangeOnly.range, true);
    const struct {
        bool probed;
        const PerfCaps& caps;
        double temperature;
        const wchar_t *refusal, *trip;
    } cases[] = {
        {false, rangeOnly, 40, L"tidak mengekspos", L""},
        {true, none, -1, L"tidak mengekspos", L"Sensor suhu hilang"},
        {true, rangeOnly, -1, L"tidak ada sensor suhu resmi", L"Sensor suhu hilang"},
        {true, rangeOnly, 85.0, L"85°C sudah mencapai batas pengaman 85°C", L"Suhu 85°C menc"},
        {true, rangeOnly, 84.9, L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring reason;
        EXPECT_EQ(perfGateAllows(c.probed, c.caps, celsius(c.temperature), 85, reason),
                  !*c.refusal);
        EXPECT_NE(reason.find(c.refusal), std::wstring::npos) << c.temperature;
        EXPECT_EQ(safetyTripCause(celsius(c.temperature), 85).find(c.trip), 0u);
    }
    EXPECT_EQ(safetyTripCause(celsius(91.6), 90), L"Suhu 92°C mencapai batas pengaman 90°C.");
}

// A failed restore is told once per cause, as a failure; a success always.
TEST(PerfGate, FailedRestoreIsToldOncePerCause) {
    std::wstring told;
    EXPECT_EQ(safetyNotice(false, L"A", L"A gagal", told).text, L"A gagal");
    EXPECT_TRUE(safetyNotice(false, L"A", L"A", told).title.empty()) << "told already";
    EXPECT_NE(safetyNotice(false, L"B", L"B", told).title.find(L"gagal"), std::wstring::npos);
    EXPECT_EQ(safetyNotice(true, L"B", L"", told).title, L"Pengaturan performa dipulihkan");
    EXPECT_FALSE(safetyNotice(false, L"B", L"", told).title.empty()) << "a new failure";
}

class AppSafety : public ::testing::Test {
protected:
    void SetUp() override {
        app->powerApi = power.api;
        app->thermal.maxTemp = celsius(50);
        refreshPerfCaps(*app);
    }
    void applyChange() {
        switchPerfControlOn(*app);
        app->selectedPlan = 1;
        app->selectedPercent = 60;
        applySelectedPerfChange(*app);
        ASSERT_TRUE(recorded() && power.has(test::highId + " 60 60"));
    }
    bool recorded() const { return recoveryFileExists(power.folder.file(recoveryFileName)); }
    bool restored() const { return !recorded() && power.state() == test::threePlans; }
    bool says(const wchar_t* part) const { return app->perfMessage.find(part) == 0; }

    test::FakePower power;
    std::unique_ptr<App> app = std::make_unique<App>(power.folder.path);
};

TEST_F(AppSafety, MonitorRestoresAtTheLimitAndRetriesAFailureAtTheSlowTick) {
    applyChange();
    app->thermal.maxTemp = celsius(99);
    app->settings.safetyLimit = 95;
    power.set(power.state() + "once PowerSetActiveScheme 5\n");
    safetyCheck(*app);
    EXPECT_TRUE(says(L"Pemulihan otomatis: Suhu 99°C mencapai batas pengaman 95°C. "));
    EXPECT_TRUE(app->perfMessageIsError && recorded() && !app->perfControlOn);
    EXPECT_TRUE(perfRestoreFailing(*app));
    fastTick(*app);
    EXPECT_TRUE(recorded()) << "the fast tick does not retry";
    slowTick(*app); // no thermal zone under Wine: the sensor is lost
    EXPECT_TRUE(restored());
    EXPECT_TRUE(says(L"Pemulihan otomatis: ") && !app->perfMessageIsError);
    EXPECT_FALSE(perfRestoreFailing(*app));

    app->thermal.maxTemp = celsius(99);
    app->perfMessage.clear(); // no change on record: nothing happens
    safetyCheck(*app);
    EXPECT_EQ(app->perfMessage, L"");
}

// Every path that ends or suspends the program undoes the change; only closing
// the window tells of a failure, in one box.
TEST_F(AppSafety, EndingAndSleepingRestoreAndOnlyCloseTellsAFailure) {
    static int boxes = 0;
    app->dialogs.messageBox = [](HWND, LPCWSTR, LPCWSTR, UINT type) {
        boxes += type == (MB_OK | MB_ICONWARNING);
        return IDOK;
    };
    const std::pair<std::function<void()>, const wchar_t*> endings[] = {
        {[&] { onQueryEndSession(*app); }, L"Windows dimatikan atau keluar akun. "},
        {[&] { onEndSession(*app, true); }, L"Windows dimatikan atau keluar akun. "},
        {[&] { onPowerBroadcast(*app, PBT_APMSUSPEND); }, L"Perangkat masuk mode tidur. "},
        {[&] { switchPerfControlOff(*app); }, L"Kontrol dimatikan. "},
        {[&] { onClose(*app); }, L"Aplikasi ditutup. "}};
    for (int failing = 0; failing < 2; ++failing)
        for (const auto& [end, reason] : endings) {
            applyChange();
            if (failing) power.set(power.state() + "once PowerSetActiveScheme 5\n");
            end();
            EXPECT_EQ(restored(), !failing) << failing;
            EXPECT_TRUE(says(reason)) << failing;
            EXPECT_TRUE(!app->perfControlOn || (reason[0] != L'P' && reason[0] != L'K'));
            if (failing) restorePerfSettings(*app);
        }
    EXPECT_EQ(boxes, 1);
    applyChange();
    onEndSession(*app, false);
    EXPECT_TRUE(recorded()) << "a cancelled end of session";

    app.reset(); // a crash: nothing restored; the next start does it
    app = std::make_unique<App>(power.folder.path);
    app->powerApi = power.api;
    recoverAtStartup(*app);
    EXPECT_TRUE(restored());
    EXPECT_TRUE(says(L"Saat dibuka, Ovra Monitor menemukan perubahan"));
}

} // namespace
} // namespace ovra
