// The gate and the safety monitor; the commands, their boxes and every ending.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/app.h"
#include "app/perf_control.h"
#include "app/scheduler.h"
#include "app/commands.h"
#include "perf/safety.h"
#include "power_machine.h"

namespace ovra {
namespace {

Reading<double> celsius(double value) { // below zero: no sensor
    Reading<double> reading;
    if (value >= 0) setReading(reading, value);
    return reading;
}

TEST(PerfGate, RefusesInOrderAndTripsAtTheLimit) {
    PerfCaps range;
    setReading(range.range, true);
    const std::tuple<bool, PerfCaps, double, const wchar_t*, const wchar_t*> cases[] = {
        {false, range, 40, L"tidak mengekspos", L""},
        {true, range, -1, L"tidak ada sensor suhu resmi", L"Sensor suhu hilang"},
        {true, range, 85.0, L"85°C sudah mencapai batas pengaman 85°C", L"Suhu 85°C menc"},
        {true, range, 84.9, L"", L""}};
    for (const auto& [probed, caps, temperature, refusal, trip] : cases) {
        std::wstring reason;
        EXPECT_EQ(perfGateAllows(probed, caps, celsius(temperature), 85, reason), !*refusal);
        EXPECT_NE(reason.find(refusal), std::wstring::npos) << temperature;
        EXPECT_EQ(safetyTripCause(celsius(temperature), 85).find(trip), 0u) << temperature;
    }
    std::wstring told; // a failed restore is told once per cause, a success always
    EXPECT_EQ(safetyNotice(false, L"A", L"A: gagal", told).text, L"A: gagal");
    EXPECT_TRUE(safetyNotice(false, L"A", L"A", told).title.empty()) << "told already";
    EXPECT_EQ(safetyNotice(true, L"A", L"", told).title, L"Pengaturan performa dipulihkan");
    EXPECT_NE(safetyNotice(false, L"A", L"", told).title.find(L"gagal"), std::wstring::npos);
}

std::vector<std::wstring> shown; // type and text of each box
std::function<int(const std::wstring& caption)> answer;

class AppPerf : public ::testing::Test {
protected:
    void SetUp() override {
        app->dialogs.messageBox = [](HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
            shown.push_back(std::to_wstring(type) + L" " + text);
            return answer(caption);
        };
        shown.clear();
        run(-1, IDOK);
        app->perf.powerApi = power.api;
        refreshPerfCaps(*app);
    }
    // Answers `reply`; while box `during` is open the temperature becomes `later`.
    void run(int32_t command, int reply, const wchar_t* during = L"", double later = 50) {
        app->machine.thermal.maxTemp = celsius(50);
        answer = [=, this](const std::wstring& caption) {
            if (caption == during) app->machine.thermal.maxTemp = celsius(later);
            return reply;
        };
        if (command >= 0) executeCommand(*app, command, 0);
    }
    bool box(size_t i, UINT type, const std::wstring& text) const {
        return shown.size() > i && shown[i].find(std::to_wstring(type) + L" " + text) == 0;
    }
    void applyChange() {
        switchPerfControlOn(*app);
        executeCommand(*app, commandPerfPlan, 1);
        executeCommand(*app, commandPerfPercent, -1);
        run(commandPerfApply, IDYES);
        ASSERT_TRUE(power.recorded() && power.has(test::highId + " 95 95"));
    }
    bool restored() const { return !power.recorded() && power.state() == test::threePlans; }
    bool says(const wchar_t* start) const { return app->perf.perfMessage.rfind(start, 0) == 0; }

    test::FakePower power;
    std::unique_ptr<App> app = std::make_unique<App>(power.folder.path);
};

TEST_F(AppPerf, ConsentAndConfirmationAreAskedAndTheGateHoldsAfterThem) {
    run(commandPerfControl, IDYES, L"Persetujuan kontrol performa", -1); // the sensor goes
    EXPECT_TRUE(box(0, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, L"PERINGATAN\n\nAnda akan"));
    EXPECT_TRUE(box(1, MB_OK | MB_ICONINFORMATION, L"Kontrol dinonaktifkan karena tidak ada"));
    run(commandPerfControl, IDYES);
    executeCommand(*app, commandPerfPlan, 1);
    executeCommand(*app, commandPerfPercent, -1);
    run(commandPerfApply, IDYES, L"Konfirmasi perubahan", 85); // the limit is reached
    EXPECT_TRUE(box(4, MB_OK | MB_ICONEXCLAMATION, L"Suhu saat ini 85°C") && !power.recorded());
    run(commandPerfApply, IDYES);
    run(commandPerfReset, IDYES); // the record is restored first
    EXPECT_TRUE(power.has("active " + test::balancedId) && !power.recorded() &&
                !app->perf.perfControlOn);
}

TEST_F(AppPerf, TheMonitorAndEveryEndingRestoreAndACrashLeavesItToTheNextStart) {
    applyChange();
    app->machine.thermal.maxTemp = celsius(99);
    power.add("fail PowerSetActiveScheme 5");
    app->settings.safetyLimit = 95;
    executeCommand(*app, commandSafetyLimit, +1); // 95 at most, and checked at once
    EXPECT_TRUE(says(L"Pemulihan otomatis: Suhu 99°C mencapai batas pengaman 95°C. "));
    EXPECT_TRUE(app->perf.perfMessageIsError && perfRestoreFailing(*app) && !app->perf.perfControlOn);
    fastTick(*app);
    EXPECT_TRUE(power.recorded()) << "the fast tick does not retry";
    app->machine.thermal.maxTemp = celsius(50); // the cause has passed: the retry goes on
    safetyCheck(*app);
    EXPECT_TRUE(restored() && says(L"Pemulihan otomatis: ") && !perfRestoreFailing(*app));
    // Every ending undoes; only closing the window tells of a failure, in one box.
    const std::pair<std::function<void()>, const wchar_t*> endings[] = {
        {[&] { onQueryEndSession(*app); }, L"Windows dimatikan atau keluar akun. "},
        {[&] { onEndSession(*app, true); }, L"Windows dimatikan atau keluar akun. "},
        {[&] { onPowerBroadcast(*app, PBT_APMSUSPEND); }, L"Perangkat masuk mode tidur. "},
        {[&] { executeCommand(*app, commandPerfControl, 0); }, L"Kontrol dimatikan. "},
        {[&] { onClose(*app); }, L"Aplikasi ditutup. "}};
    for (const std::string failure : {"", "fail PowerSetActiveScheme 5"})
        for (const auto& [end, reason] : endings) {
            applyChange();
            shown.clear();
            power.add(failure);
            end();
            EXPECT_TRUE(restored() == failure.empty() && says(reason)) << failure;
            EXPECT_EQ(app->perf.perfControlOn, *reason == L'W' || *reason == L'A') << "sleep, off";
            EXPECT_EQ(shown.size() == 1 && box(0, MB_OK | MB_ICONWARNING, L"Pengaturan performa"),
                      !failure.empty() && *reason == L'A');
            if (!failure.empty()) restorePerfSettings(*app);
        }
    applyChange();
    app = std::make_unique<App>(power.folder.path);
    app->perf.powerApi = power.api;
    recoverAtStartup(*app);
    EXPECT_TRUE(restored() && says(L"Saat dibuka, Ovra Monitor menemukan perubahan"));
}

} // namespace
} // namespace ovra
