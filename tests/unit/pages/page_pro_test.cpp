// The performance-control page: what the gate holds, and a change in force.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "app/commands.h"

using namespace ovra;
using ProPage = test::PageView;

TEST_F(ProPage, TheGateHoldsTheSwitchAndApplyAndAChangeOrAFailedRestoreStandsOut) {
    app.perf.capsProbed = true;
    setReading(app.perf.perfCaps.range, true);
    show(perfControlPage);
    EXPECT_TRUE(argumentsOf(commandPerfControl).empty() && hit(commandPerfRestore, 0))
        << "no sensor: the switch is off, the way back is not";
    app.perf.perfControlOn = true;
    app.settings.safetyLimit = 60;
    setReading(app.machine.thermal.maxTemp, 60.0);
    show(perfControlPage);
    EXPECT_EQ(argumentsOf(commandSafetyLimit), std::vector<int32_t>{1}) << "60 is the lowest";
    EXPECT_TRUE(hit(commandPerfControl, 0) && argumentsOf(commandPerfApply).empty());
    app.settings.safetyLimit = 90;
    app.perf.changeInForce = true; // the engine wrote the recovery file
    show(perfControlPage);
    EXPECT_TRUE(argumentsOf(commandSafetyLimit).size() == 2 && hit(commandPerfApply, 0));
    const auto role = [&](const wchar_t* start) {
        return textStarting(start) ? textStarting(start)->role : -2;
    };
    EXPECT_EQ(role(L"Perubahan dari Ovra Monitor sedang aktif."),
              test::roleOf(Role::statusWarning));
    app.perf.perfRestoreFailedCause = L"Sensor suhu hilang atau gagal dibaca.";
    show(perfControlPage);
    EXPECT_EQ(role(L"Pemulihan otomatis gagal"), test::roleOf(Role::statusBad));
}
