// The engine against the stand-in power library and a real recovery file: nothing
// changes before the values in force are on record, and every recorded change
// can be undone.
#include <gtest/gtest.h>

#include <windows.h>

#include "perf/perf_engine.h"
#include "perf/power_calls.h"
#include "perf/unsupported.h"
#include "power_machine.h"

using namespace ovra;
using test::balancedId, test::highId, test::saverId, test::guidOf;

namespace {

class Engine : public ::testing::Test {
protected:
    std::wstring key(const wchar_t* name) const {
        wchar_t value[128] = {};
        GetPrivateProfileStringW(L"asli", name, L"", value, 128, path.c_str());
        return value;
    }
    void setKey(const wchar_t* name, const std::string& value) const {
        WritePrivateProfileStringW(L"asli", name, std::wstring(value.begin(), value.end()).c_str(),
                                   path.c_str());
    }
    bool apply(const std::string& plan, uint32_t percent) {
        return applyPerfChange(power.api, path, probePerfCaps(power.api), guidOf(plan), percent,
                               message);
    }
    bool restore() { return restorePerfChange(power.api, path, message); }
    bool recorded() const { return recoveryFileExists(path); }
    bool said(const wchar_t* part) const { return message.find(part) != std::wstring::npos; }

    test::FakePower power;
    std::wstring path = power.folder.file(recoveryFileName);
    std::wstring message;
};

TEST_F(Engine, RecordsEachPlanOnceAndRestoresThemAll) {
    ASSERT_TRUE(apply(saverId, 50));
    EXPECT_EQ(message, L"") << "success leaves the message alone";
    EXPECT_TRUE(power.has("active " + saverId) && power.has(saverId + " 50 50"));
    ASSERT_TRUE(apply(saverId, 40));
    ASSERT_TRUE(apply(highId, 80));
    EXPECT_EQ(key(L"aktif"), std::wstring(balancedId.begin(), balancedId.end()));
    EXPECT_EQ(key(L"jumlah"), L"2");
    EXPECT_EQ(key(L"skema0"), std::wstring(saverId.begin(), saverId.end()));
    EXPECT_EQ(key(L"ac0") + L"/" + key(L"dc0"), L"70/60") << "the values before the first change";
    EXPECT_EQ(key(L"skema1"), std::wstring(highId.begin(), highId.end()));
    EXPECT_EQ(key(L"skema2"), L"");

    ASSERT_TRUE(restore());
    EXPECT_TRUE(said(L"dikembalikan ke nilai sebelum"));
    EXPECT_FALSE(recorded());
    EXPECT_EQ(power.state(), test::threePlans);
}

// Each refusal records nothing that needs undoing and changes nothing.
TEST_F(Engine, RefusedChangesChangeNothing) {
    const struct {
        std::string plan, machineExtra;
        uint32_t percent;
        const wchar_t* said;
    } cases[] = {
        {saverId, "", 25, L"Nilai 25% di luar batas yang diizinkan (30-100%)"},
        {saverId, "", 101, L"Nilai 101% di luar batas"},
        {"{00000000-0000-0000-0000-000000000001}", "", 50, L"tidak dikenal"},
        {saverId, "range 100 100 1\n", 50, L"Nilai 50% di luar batas yang diizinkan (0-100%)"},
        {saverId, "fail PowerGetActiveScheme 5\n", 50, L"aktif tidak terbaca"},
        {saverId, "fail PowerReadDCValueIndex 5\n", 50, L"asli tidak terbaca"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        power.set(test::threePlans + c.machineExtra);
        EXPECT_FALSE(apply(c.plan, c.percent));
        EXPECT_TRUE(said(c.said)) << std::string(message.begin(), message.end());
        EXPECT_EQ(power.state(), test::threePlans + c.machineExtra);
        EXPECT_EQ(key(L"skema0"), L"");
    }
    EXPECT_FALSE(applyPerfChange(PowerApi{}, path, {}, guidOf(saverId), 50, message));
    EXPECT_TRUE(said(L"API manajemen daya tidak tersedia"));
}

// Windows refusing any of the three changes, or a value that does not read back,
// undoes every recorded change, an earlier plan's included.
TEST_F(Engine, FailedOrUnverifiedChangeRestoresEverything) {
    for (const char* refusal : {"once PowerWriteACValueIndex 5", "once PowerWriteDCValueIndex 5",
                                "once PowerSetActiveScheme 5", "once PowerWriteACValueIndex 0"}) {
        SCOPED_TRACE(refusal);
        power.set(test::threePlans);
        ASSERT_TRUE(apply(highId, 60));
        power.set(power.state() + refusal + "\n");
        EXPECT_FALSE(apply(saverId, 50));
        const bool unverified = std::string(refusal).ends_with(" 0");
        EXPECT_TRUE(said(unverified ? L"tidak sesuai" : L"Windows menolak perubahan: "));
        EXPECT_FALSE(recorded());
        EXPECT_EQ(power.state(), test::threePlans);
    }
}

TEST_F(Engine, UnwritableOrUnreadableRecordRefusesTheChange) {
    const std::wstring missing = power.folder.path + L"\\tidak-ada\\pemulihan_performa.ini";
    EXPECT_FALSE(applyPerfChange(power.api, missing, probePerfCaps(power.api), guidOf(saverId), 50,
                                 message));
    EXPECT_TRUE(said(L"tidak dapat disimpan"));
    ASSERT_TRUE(apply(highId, 60));
    for (const char* count : {"64", "-1", "2147483647"}) {
        setKey(L"jumlah", count);
        EXPECT_FALSE(apply(saverId, 50)) << count;
        EXPECT_TRUE(said(L"rusak")) << count;
    }
    EXPECT_TRUE(power.has(saverId + " 70 60"));
    ASSERT_TRUE(restore()) << "a damaged count reads at most 64 entries";
    EXPECT_EQ(power.state(), test::threePlans);
}

TEST_F(Engine, RestoreRepairsWhatADamagedRecordStillHolds) {
    power.set(test::threePlans + "active " + saverId + "\n");
    const std::pair<const wchar_t*, std::string> record[] = {
        {L"aktif", "{rusak}"}, {L"jumlah", "3"},          {L"skema0", saverId}, {L"ac0", "120"},
        {L"dc0", "-5"},        {L"skema1", "bukan GUID"}, {L"skema2", highId}};
    for (const auto& [name, value] : record)
        setKey(name, value);
    ASSERT_TRUE(restore());
    EXPECT_TRUE(power.has("active " + balancedId)) << "an unreadable active plan: Balanced";
    EXPECT_TRUE(power.has(saverId + " 100 0 ")) << "values clamped to 0..100";
    EXPECT_FALSE(recorded());
}

TEST_F(Engine, FailedRestoreKeepsTheRecordForTheNextTry) {
    ASSERT_TRUE(apply(saverId, 50));
    power.set(power.state() + "fail PowerWriteACValueIndex 5\n");
    EXPECT_FALSE(restore());
    EXPECT_TRUE(said(L"Sebagian pengaturan gagal dipulihkan"));
    EXPECT_TRUE(recorded());
    EXPECT_TRUE(power.has(saverId + " 50 60")) << "the DC value is written all the same";

    // A record that cannot be deleted would put the old values back at every start.
    power.set(test::threePlans);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(restore());
    EXPECT_TRUE(said(L"tidak dapat dihapus"));
    EXPECT_TRUE(recorded());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(restore());
    EXPECT_FALSE(recorded());
}

// The user deleted the recorded plans in Windows, the active one included:
// nothing is left to restore of them, the rest is restored, the record goes.
TEST_F(Engine, PlansDeletedInWindowsAreLeftOutOfTheRestore) {
    power.set(test::threePlans + "active " + saverId + "\n");
    ASSERT_TRUE(apply(highId, 60));
    ASSERT_TRUE(apply(saverId, 50));
    power.set("active " + balancedId + "\nrange 0 100 1\nplan " + balancedId +
              " 100 100 Seimbang\nplan " + highId + " 60 60 Performa tinggi\n");
    ASSERT_TRUE(restore()) << std::string(message.begin(), message.end());
    EXPECT_TRUE(said(L"dihapus"));
    EXPECT_TRUE(power.has(highId + " 100 100") && power.has("active " + balancedId));
    EXPECT_FALSE(recorded());
}

TEST_F(Engine, ResetGoesToBalancedAtFullSpeedAfterTheRecord) {
    power.set("active " + highId + "\nrange 0 100 1\nplan " + balancedId +
              " 40 40 Seimbang\nplan " + highId + " 100 100 Performa tinggi\n");
    ASSERT_TRUE(apply(highId, 50));
    ASSERT_TRUE(resetToWindowsDefault(power.api, path, message));
    EXPECT_TRUE(said(L"100%"));
    EXPECT_TRUE(power.has("active " + balancedId) && power.has(balancedId + " 100 100"));
    EXPECT_TRUE(power.has(highId + " 100 100")) << "the record is restored first";
    EXPECT_FALSE(recorded());
    power.set(power.state() + "fail PowerSetActiveScheme 5\n");
    EXPECT_FALSE(resetToWindowsDefault(power.api, path, message));
    EXPECT_TRUE(said(L"Gagal menerapkan bawaan Windows: "));
}

TEST_F(Engine, ProbeAndStateReadWhatWindowsOffers) {
    std::string many = test::threePlans + "fail PowerReadFriendlyName 5\n";
    for (int n = 10; n < 50; ++n)
        many += "plan {0A0B0C" + std::to_string(n) + "-1234-5678-9ABC-DEF001020304} 100 100 R\n";
    power.set(many + "range 20 90 0\n");
    PerfCaps caps = probePerfCaps(power.api);
    ASSERT_EQ(caps.planList.size(), 32u);
    EXPECT_TRUE(caps.plans.ok && caps.range.ok);
    EXPECT_EQ(caps.planList[2].guid, guidOf(saverId));
    EXPECT_EQ(caps.planList[2].name, L"(tanpa nama)");
    EXPECT_EQ(std::to_string(caps.minPercent) + "-" + std::to_string(caps.maxPercent) + "/" +
                  std::to_string(caps.stepPercent),
              "30-90/1")
        << "never below 30 %";
    power.set("active " + saverId + "\nrange 50 100 10\nplan " + saverId + " 70 60 Hemat\n" +
              "fail PowerReadDCValueIndex 5\n");
    caps = probePerfCaps(power.api);
    EXPECT_EQ(caps.plans.limitation, Limitation::Firmware) << "one plan is no choice";
    EXPECT_EQ(caps.minPercent + caps.stepPercent, 60u);
    const PowerState state = readPowerState(power.api);
    EXPECT_TRUE(state.valid && state.acPercent.ok && !state.dcPercent.ok);
    EXPECT_EQ(state.activeName + L" " + std::to_wstring(state.acPercent.value), L"Hemat 70");
    power.set(test::threePlans + "fail PowerReadValueMax 5\n");
    EXPECT_EQ(probePerfCaps(power.api).range.limitation, Limitation::WindowsApi);
}

TEST(PowerBinding, OnlyTheIncrementMayBeMissing) {
    test::FakePower noIncrement(test::threePlans + "range 0 100 10\n", L"no_increment");
    ASSERT_TRUE(powerApiAvailable(noIncrement.api));
    EXPECT_EQ(probePerfCaps(noIncrement.api).stepPercent, 1u);
    test::FakePower noSetActive(test::threePlans, L"no_set_active");
    EXPECT_FALSE(powerApiAvailable(noSetActive.api));
    EXPECT_EQ(GetModuleHandleW(noSetActive.libraryPath.c_str()), nullptr) << "and unloaded";
    if (!test::runningUnderWine()) return;
    PowerApi wines; // Wine's own powrprof lacks the value functions
    loadPowerApi(wines);
    EXPECT_FALSE(powerApiAvailable(wines));
    EXPECT_NE(probePerfCaps(wines).range.reason.find(L"(powrprof.dll) tidak lengkap"),
              std::wstring::npos);
}

TEST(PlanText, GuidRoundTripsAndRejectsDamage) {
    Guid parsed;
    ASSERT_TRUE(guidFromText(L"{381b4222-f694-41f0-9685-ff5bb260df2e}", parsed));
    EXPECT_EQ(guidToText(parsed), L"{381B4222-F694-41F0-9685-FF5BB260DF2E}");
    EXPECT_EQ(guidToText(Guid{1, 2, 3, {0, 1, 2, 3, 4, 5, 6, 0xAB}}),
              L"{00000001-0002-0003-0001-0203040506AB}");
    EXPECT_FALSE(guidFromText(L"381B4222-F694-41F0-9685-FF5BB260DF2E", parsed)) << "no braces";
    EXPECT_FALSE(guidFromText(L"{381B4222-F694-41F0-FF5BB260DF2E}", parsed)) << "a group missing";
    const Guid partial{0x381B4222, 0xF694, 0x41F0, {0x96, 0x85, 0xFF, 0x5B}};
    EXPECT_FALSE(balancedPlan == partial);
}

TEST(UnsupportedControls, LockedMultiplierIsNamedOnceAndCaseSensitively) {
    const auto notes = [](const wchar_t* name) {
        const std::wstring reason = overclockInfo(name).reason;
        int count = 0;
        for (size_t at = reason.find(L"pabrik"); at != std::wstring::npos;
             at = reason.find(L"pabrik", at + 1))
            ++count;
        return count;
    };
    EXPECT_EQ(notes(L"Intel Pentium Silver (Atom)"), 1);
    EXPECT_EQ(notes(L"intel celeron"), 0);
    EXPECT_EQ(fanControlInfo().limitation, Limitation::Unsupported);
}

} // namespace
