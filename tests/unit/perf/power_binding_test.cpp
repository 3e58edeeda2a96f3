// Binding powrprof.dll at run time, and the plan identifiers kept as text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "fake_power.h"
#include "harness.h"
#include "perf/perf_engine.h"
#include "perf/power_api.h"
#include "perf/power_calls.h"

using namespace ovra;

namespace {

std::wstring fakeLibrary(const wchar_t* name) {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring folder = program;
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\fakes\\" + name;
}

TEST(PowerBinding, OnlyTheIncrementMayBeMissing) {
    const std::wstring noIncrement = fakeLibrary(L"fake_powrprof_no_increment.dll");
    PowerApi api;
    bindPowerApi(api, LoadLibraryW(noIncrement.c_str()));
    ASSERT_NE(api.module, nullptr) << "a library without the increment is still usable";
    EXPECT_EQ(api.readValueIncrement, nullptr);
    EXPECT_NE(api.readValueMax, nullptr);
    EXPECT_TRUE(powerApiAvailable(api));

    const std::wstring noSetActive = fakeLibrary(L"fake_powrprof_no_set_active.dll");
    bindPowerApi(api, LoadLibraryW(noSetActive.c_str()));
    EXPECT_EQ(api.module, nullptr);
    EXPECT_EQ(api.getActiveScheme, nullptr) << "an incomplete binding keeps no entry point";
    EXPECT_EQ(GetModuleHandleW(noSetActive.c_str()), nullptr) << "and unloads the library";
}

TEST(PowerBinding, ProbeWithoutTheIncrementStepsByOne) {
    PowerApi api = fake::usePowerMachine({});
    fake::machine().plans = {fake::balanced(), fake::plan(1, L"Performa tinggi", 100, 100)};
    fake::machine().increment = 10;
    api.readValueIncrement = nullptr;
    const PerfCaps caps = probePerfCaps(api);
    EXPECT_TRUE(caps.range.ok);
    EXPECT_EQ(caps.stepPercent, 1u);
}

// Wine's own powrprof lacks the value-index and range functions: the binding
// reports the API incomplete, and nothing is called or changed.
TEST(PowerBinding, WinesOwnLibraryIsReportedIncomplete) {
    if (!test::runningUnderWine()) GTEST_SKIP() << "only Wine's powrprof lacks these functions";
    PowerApi api;
    loadPowerApi(api);
    EXPECT_EQ(api.module, nullptr);
    const PerfCaps caps = probePerfCaps(api);
    EXPECT_FALSE(caps.plans.ok);
    EXPECT_EQ(caps.plans.limitation, Limitation::WindowsApi);
    EXPECT_EQ(caps.plans.reason(), L"API manajemen daya Windows (powrprof.dll) tidak lengkap.");
    EXPECT_EQ(caps.range.reason(), caps.plans.reason());
    EXPECT_FALSE(readPowerState(api).valid);

    test::TempFolder folder{L"ovra-perf"};
    const std::wstring path = folder.file(recoveryFileName);
    std::wstring message;
    EXPECT_FALSE(applyPerfChange(api, path, caps, balancedPlan, 50, message));
    EXPECT_FALSE(recoveryFileExists(path));
}

TEST(PlanText, GuidRoundTripsInEitherCase) {
    EXPECT_EQ(guidToText(balancedPlan), L"{381B4222-F694-41F0-9685-FF5BB260DF2E}");
    Guid parsed;
    ASSERT_TRUE(guidFromText(L"{381b4222-f694-41f0-9685-ff5bb260df2e}", parsed));
    EXPECT_EQ(parsed, balancedPlan);
    parsed = Guid{};
    ASSERT_TRUE(guidFromText(L"{381B4222-F694-41F0-9685-FF5BB260DF2E}", parsed));
    EXPECT_EQ(parsed, balancedPlan);
    ASSERT_TRUE(guidFromText(guidToText(maximumProcessorState), parsed));
    EXPECT_EQ(parsed, maximumProcessorState);
    EXPECT_EQ(guidToText(Guid{1, 2, 3, {0, 1, 2, 3, 4, 5, 6, 0xAB}}),
              L"{00000001-0002-0003-0001-0203040506AB}");

    EXPECT_FALSE(guidFromText(L"381B4222-F694-41F0-9685-FF5BB260DF2E", parsed)) << "no braces";
    EXPECT_FALSE(guidFromText(L"{381B4222-F694-41F0-FF5BB260DF2E}", parsed)) << "a group missing";
    EXPECT_FALSE(guidFromText(L"", parsed));
    EXPECT_FALSE(guidFromText(L"{rusak}", parsed));
}

TEST(PlanText, EqualityComparesEveryByte) {
    Guid other = balancedPlan;
    EXPECT_EQ(other, balancedPlan);
    other.data4[7] ^= 1;
    EXPECT_FALSE(other == balancedPlan);
    other = balancedPlan;
    other.data3 ^= 0x100;
    EXPECT_FALSE(other == balancedPlan);
}

TEST(PlanText, UnreadableNameIsShownAsUnnamed) {
    fake::PowerMachine state;
    state.plans = {fake::balanced(), fake::plan(1, L"", 100, 100), fake::plan(2, L"X", 1, 1)};
    state.plans[2].nameReadable = false;
    const PowerApi api = fake::usePowerMachine(state);
    EXPECT_EQ(planFriendlyName(api, balancedPlan), L"Seimbang");
    EXPECT_EQ(planFriendlyName(api, fake::planGuid(2)), L"(tanpa nama)");
    EXPECT_EQ(planFriendlyName(api, fake::planGuid(9)), L"(tanpa nama)");
    // An empty name still takes its terminating zero: it is read as empty.
    EXPECT_EQ(planFriendlyName(api, fake::planGuid(1)), L"");
}

} // namespace
