// The engine against an in-memory power API and a real recovery file in a fresh
// folder: nothing changes before the values in force are on record, and every
// recorded change can be undone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "fake_power.h"
#include "harness.h"
#include "perf/perf_engine.h"
#include "sources/format.h"

using namespace ovra;

namespace {

const Guid highPerformance = fake::planGuid(1);
const Guid powerSaver = fake::planGuid(2);

fake::PowerMachine threePlans() {
    fake::PowerMachine state;
    state.plans = {fake::balanced(), fake::plan(1, L"Performa tinggi", 100, 100),
                   fake::plan(2, L"Penghemat daya", 70, 60)};
    state.active = balancedPlan;
    return state;
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string call(const char* name, const Guid& plan, int value) {
    return std::string(name) + " " + narrow(guidToText(plan)) + " " + std::to_string(value);
}

const wchar_t restoredMessage[] =
    L"Pengaturan daya dikembalikan ke nilai sebelum diubah Ovra Monitor.";
const wchar_t notRecordedMessage[] =
    L"Nilai asli tidak dapat disimpan di berkas pemulihan (folder data tidak dapat ditulis atau "
    L"penuh); perubahan dibatalkan dan pengaturan Windows tidak diubah.";

const wchar_t damagedMessage[] = L"Berkas pemulihan rusak atau tidak terbaca; perubahan "
                                 L"dibatalkan. Pulihkan pengaturan terlebih dahulu.";

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        api = fake::usePowerMachine(threePlans());
        caps = probePerfCaps(api);
        path = folder.file(recoveryFileName);
    }

    fake::PowerMachine& machine() { return fake::machine(); }

    // The recovery file read with the profile functions themselves.
    std::wstring key(const wchar_t* name) const {
        wchar_t value[128] = {};
        GetPrivateProfileStringW(L"asli", name, L"", value, 128, path.c_str());
        return value;
    }
    void setKey(const wchar_t* name, const std::wstring& value) const {
        WritePrivateProfileStringW(L"asli", name, value.c_str(), path.c_str());
    }
    bool fileExists() const { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    bool apply(const Guid& plan, uint32_t percent) {
        message = L"(unchanged)";
        return applyPerfChange(api, path, caps, plan, percent, message);
    }
    bool restore() { return restorePerfChange(api, path, message); }

    void expectUntouched() {
        EXPECT_EQ(machine().active, balancedPlan);
        EXPECT_EQ(machine().find(powerSaver)->ac, 70u);
        EXPECT_EQ(machine().find(powerSaver)->dc, 60u);
        EXPECT_EQ(machine().find(highPerformance)->ac, 100u);
    }

    test::TempFolder folder{L"ovra-perf"};
    PowerApi api;
    PerfCaps caps;
    std::wstring path;
    std::wstring message;
};

TEST_F(Engine, SecondChangeToOnePlanKeepsTheValuesFromBeforeTheFirst) {
    ASSERT_TRUE(apply(powerSaver, 50));
    EXPECT_EQ(message, L"(unchanged)");
    EXPECT_EQ(key(L"aktif"), L"{381B4222-F694-41F0-9685-FF5BB260DF2E}");
    EXPECT_EQ(key(L"jumlah"), L"1");
    EXPECT_EQ(key(L"skema0"), guidToText(powerSaver));
    EXPECT_EQ(key(L"ac0"), L"70");
    EXPECT_EQ(key(L"dc0"), L"60");
    EXPECT_EQ(machine().active, powerSaver);
    EXPECT_EQ(machine().find(powerSaver)->ac, 50u);
    EXPECT_EQ(machine().find(powerSaver)->dc, 50u);

    ASSERT_TRUE(apply(powerSaver, 40));
    EXPECT_EQ(key(L"jumlah"), L"1");
    EXPECT_EQ(key(L"ac0"), L"70");
    EXPECT_EQ(key(L"dc0"), L"60");
    EXPECT_EQ(key(L"skema1"), L"");
    EXPECT_EQ(machine().find(powerSaver)->dc, 40u);
}

TEST_F(Engine, TwoPlansAreRecordedAndRestoredTogether) {
    ASSERT_TRUE(apply(highPerformance, 80));
    ASSERT_TRUE(apply(powerSaver, 50));
    EXPECT_EQ(key(L"jumlah"), L"2");
    EXPECT_EQ(key(L"skema0"), guidToText(highPerformance));
    EXPECT_EQ(key(L"skema1"), guidToText(powerSaver));
    EXPECT_EQ(key(L"ac1"), L"70");
    EXPECT_EQ(key(L"aktif"), guidToText(balancedPlan)) << "the plan active before the first change";

    machine().calls.clear();
    ASSERT_TRUE(restore());
    EXPECT_EQ(message, restoredMessage);
    EXPECT_FALSE(fileExists());
    expectUntouched();
    EXPECT_EQ(machine().callsTo("PowerWriteDCValueIndex"),
              (std::vector<std::string>{call("PowerWriteDCValueIndex", highPerformance, 100),
                                        call("PowerWriteDCValueIndex", powerSaver, 60)}));
    ASSERT_FALSE(machine().calls.empty());
    EXPECT_EQ(machine().calls.back(), "PowerSetActiveScheme " + narrow(guidToText(balancedPlan)));
}

TEST_F(Engine, OnePlanWithAnExposedRangeStillChangesItsPercentage) {
    fake::PowerMachine single;
    single.plans = {fake::balanced()};
    single.active = balancedPlan;
    api = fake::usePowerMachine(single);
    caps = probePerfCaps(api);
    EXPECT_FALSE(caps.plans.ok);
    EXPECT_EQ(caps.plans.limitation, Limitation::Firmware);
    EXPECT_TRUE(caps.range.ok);
    ASSERT_TRUE(apply(balancedPlan, 60));
    EXPECT_EQ(machine().find(balancedPlan)->ac, 60u);
}

TEST_F(Engine, RefusedChangesRecordAndChangeNothing) {
    EXPECT_FALSE(apply(powerSaver, 25));
    EXPECT_EQ(message, L"Nilai 25% di luar batas yang diizinkan (30-100%).");
    EXPECT_FALSE(apply(powerSaver, 101));
    EXPECT_EQ(message, L"Nilai 101% di luar batas yang diizinkan (30-100%).");
    EXPECT_FALSE(apply(fake::planGuid(9), 50));
    EXPECT_EQ(message, L"Rencana daya tidak dikenal.");

    // A range Windows does not expose allows nothing.
    machine().minimum = machine().maximum = 100;
    caps = probePerfCaps(api);
    ASSERT_FALSE(caps.range.ok);
    EXPECT_FALSE(apply(powerSaver, 50));
    EXPECT_EQ(message, L"Nilai 50% di luar batas yang diizinkan (0-100%).");

    PowerApi unavailable;
    EXPECT_FALSE(applyPerfChange(unavailable, path, caps, powerSaver, 50, message));
    EXPECT_EQ(message, L"API manajemen daya tidak tersedia.");

    EXPECT_FALSE(fileExists());
    EXPECT_TRUE(machine().callsTo("PowerWrite").empty());
    EXPECT_TRUE(machine().callsTo("PowerSetActiveScheme").empty());
}

TEST_F(Engine, UnreadableValuesInForceCancelTheChange) {
    machine().failAlways["PowerGetActiveScheme"] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(apply(powerSaver, 50));
    EXPECT_EQ(message, L"Rencana daya aktif tidak terbaca; perubahan dibatalkan.");
    EXPECT_FALSE(fileExists());

    machine().failAlways.clear();
    machine().failAlways["PowerReadDCValueIndex"] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(apply(powerSaver, 50));
    EXPECT_EQ(message,
              L"Nilai asli tidak terbaca; perubahan dibatalkan agar tetap bisa dipulihkan.");
    EXPECT_EQ(key(L"jumlah"), L"0") << "the file keeps what it holds, and no entry";
    EXPECT_TRUE(machine().callsTo("PowerWrite").empty());
    expectUntouched();
}

// Windows refusing any one of the three changes, or a value that does not read
// back, undoes every recorded change, an earlier plan's included.
TEST_F(Engine, AFailedOrUnverifiedChangeRestoresEverything) {
    for (const char* refused :
         {"PowerWriteACValueIndex", "PowerWriteDCValueIndex", "PowerSetActiveScheme", ""}) {
        SCOPED_TRACE(refused);
        api = fake::usePowerMachine(threePlans());
        ASSERT_TRUE(apply(highPerformance, 60));
        if (*refused)
            machine().failOnce[refused] = ERROR_ACCESS_DENIED;
        else
            machine().acWritesIgnored = true;

        EXPECT_FALSE(apply(powerSaver, 50));
        if (*refused)
            EXPECT_EQ(message,
                      L"Windows menolak perubahan: " + windowsErrorText(ERROR_ACCESS_DENIED));
        else
            EXPECT_EQ(message, L"Nilai yang terbaca setelah diterapkan tidak sesuai; pengaturan "
                               L"dipulihkan.");
        EXPECT_FALSE(fileExists());
        EXPECT_EQ(machine().find(powerSaver)->dc, 60u);
        EXPECT_EQ(machine().find(highPerformance)->dc, 100u);
        EXPECT_EQ(machine().active, balancedPlan);
    }
}

// The record must exist before anything changes: a folder that cannot be
// written (read-only, full, gone) refuses the change instead.
TEST_F(Engine, UnwritableRecordRefusesTheChange) {
    const std::wstring missingFolder = folder.path + L"\\tidak-ada\\pemulihan_performa.ini";
    EXPECT_FALSE(applyPerfChange(api, missingFolder, caps, powerSaver, 50, message));
    EXPECT_EQ(message, notRecordedMessage);
    EXPECT_EQ(GetFileAttributesW(missingFolder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(machine().callsTo("PowerWrite").empty());
    EXPECT_TRUE(machine().callsTo("PowerSetActiveScheme").empty());

    // A record that cannot be read (held open by another program) takes no new
    // entry: the plan already changed stays recorded, the new one is not touched.
    ASSERT_TRUE(apply(highPerformance, 60));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    machine().calls.clear();
    EXPECT_FALSE(apply(powerSaver, 50));
    EXPECT_EQ(message, damagedMessage);
    EXPECT_TRUE(machine().callsTo("PowerWrite").empty());
    EXPECT_TRUE(machine().callsTo("PowerSetActiveScheme").empty());
    CloseHandle(held);
    EXPECT_EQ(key(L"jumlah"), L"1");
    EXPECT_EQ(key(L"skema0"), guidToText(highPerformance));
    ASSERT_TRUE(restore());
    expectUntouched();
}

TEST_F(Engine, RestoreWithoutARecordChangesNothing) {
    machine().calls.clear();
    EXPECT_TRUE(restore());
    EXPECT_EQ(message, L"Tidak ada perubahan dari Ovra Monitor yang perlu dikembalikan.");
    EXPECT_TRUE(machine().calls.empty());

    PowerApi unavailable;
    EXPECT_FALSE(restorePerfChange(unavailable, path, message));
    EXPECT_EQ(message, L"API manajemen daya tidak tersedia.");
}

TEST_F(Engine, RestoreRepairsWhatADamagedRecordStillHolds) {
    setKey(L"aktif", L"{rusak}");
    setKey(L"jumlah", L"3");
    setKey(L"skema0", guidToText(powerSaver));
    setKey(L"ac0", L"120");
    setKey(L"dc0", L"-5");
    setKey(L"skema1", L"bukan GUID");
    setKey(L"skema2", guidToText(highPerformance)); // no values: both default to 100
    machine().active = powerSaver;

    ASSERT_TRUE(restore());
    EXPECT_EQ(machine().callsTo("PowerWrite"),
              (std::vector<std::string>{call("PowerWriteACValueIndex", powerSaver, 100),
                                        call("PowerWriteDCValueIndex", powerSaver, 0),
                                        call("PowerWriteACValueIndex", highPerformance, 100),
                                        call("PowerWriteDCValueIndex", highPerformance, 100)}));
    EXPECT_EQ(machine().active, balancedPlan) << "an unreadable active plan falls back to Balanced";
    EXPECT_FALSE(fileExists());
}

// A damaged count never makes the program read billions of keys: at most 64
// entries are read, the valid ones are restored, and no new entry is added
// after a count that cannot be trusted.
TEST_F(Engine, DamagedCountIsBounded) {
    for (const wchar_t* count : {L"2147483647", L"-1", L"65"}) {
        SCOPED_TRACE(narrow(count));
        api = fake::usePowerMachine(threePlans());
        setKey(L"aktif", guidToText(balancedPlan));
        setKey(L"jumlah", count);
        setKey(L"skema0", guidToText(powerSaver));
        setKey(L"ac0", L"70");
        setKey(L"dc0", L"60");
        setKey(L"skema64", guidToText(highPerformance)); // beyond the bound: ignored
        setKey(L"ac64", L"10");

        EXPECT_FALSE(apply(highPerformance, 50));
        EXPECT_EQ(message, damagedMessage);
        EXPECT_TRUE(machine().callsTo("PowerWrite").empty());

        machine().active = powerSaver;
        machine().find(powerSaver)->ac = 50;
        ASSERT_TRUE(restore());
        const size_t restoredWrites = std::wstring(count) == L"-1" ? 0 : 2;
        EXPECT_EQ(machine().callsTo("PowerWrite").size(), restoredWrites);
        EXPECT_EQ(machine().find(highPerformance)->ac, 100u);
        EXPECT_EQ(machine().active, balancedPlan);
        EXPECT_FALSE(fileExists());
    }
    // A plan already on record may still be changed under a damaged count, but not
    // under a damaged active plan.
    api = fake::usePowerMachine(threePlans());
    setKey(L"aktif", guidToText(balancedPlan));
    setKey(L"jumlah", L"2147483647");
    setKey(L"skema0", guidToText(powerSaver));
    setKey(L"ac0", L"70");
    setKey(L"dc0", L"60");
    EXPECT_TRUE(apply(powerSaver, 50));
    setKey(L"aktif", L"{rusak}");
    EXPECT_FALSE(apply(powerSaver, 40));
    EXPECT_EQ(message, damagedMessage);
    EXPECT_EQ(machine().find(powerSaver)->ac, 50u);
}

TEST_F(Engine, FailedRestoreKeepsTheRecordForTheNextTry) {
    ASSERT_TRUE(apply(powerSaver, 50));
    machine().failAlways["PowerWriteACValueIndex"] = ERROR_ACCESS_DENIED;
    machine().calls.clear();
    EXPECT_FALSE(restore());
    EXPECT_EQ(message, L"Sebagian pengaturan gagal dipulihkan. Buka Panel Kontrol > Opsi Daya > "
                       L"\"Pulihkan pengaturan default\" untuk rencana yang aktif.");
    EXPECT_TRUE(fileExists());
    EXPECT_EQ(machine().find(powerSaver)->dc, 60u) << "the DC write is attempted all the same";
    EXPECT_EQ(machine().active, balancedPlan);

    machine().failAlways.clear();
    EXPECT_TRUE(restore());
    EXPECT_FALSE(fileExists());
    expectUntouched();
}

TEST_F(Engine, ResetGoesToBalancedAtFullSpeed) {
    machine().find(balancedPlan)->ac = 40;
    machine().active = highPerformance;
    std::wstring resetMessage;
    ASSERT_TRUE(resetToWindowsDefault(api, path, resetMessage));
    EXPECT_EQ(resetMessage, L"Rencana daya \"Seimbang\" (bawaan Windows) diaktifkan dengan status "
                            L"prosesor maksimum 100%.");
    EXPECT_EQ(machine().active, balancedPlan);
    EXPECT_EQ(machine().find(balancedPlan)->ac, 100u);
    EXPECT_FALSE(fileExists()) << "the reset records nothing";

    // With a change on record, the recorded values come back first.
    ASSERT_TRUE(apply(powerSaver, 50));
    ASSERT_TRUE(resetToWindowsDefault(api, path, resetMessage));
    EXPECT_FALSE(fileExists());
    EXPECT_EQ(machine().find(powerSaver)->ac, 70u);
    EXPECT_EQ(machine().active, balancedPlan);

    machine().failOnce["PowerSetActiveScheme"] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(resetToWindowsDefault(api, path, resetMessage));
    EXPECT_EQ(resetMessage,
              L"Gagal menerapkan bawaan Windows: " + windowsErrorText(ERROR_ACCESS_DENIED));
    PowerApi unavailable;
    EXPECT_FALSE(resetToWindowsDefault(unavailable, path, resetMessage));
    EXPECT_EQ(resetMessage, L"API manajemen daya tidak tersedia.");
}

TEST_F(Engine, ProbeListsPlansAndTheOfferedRange) {
    ASSERT_EQ(caps.planList.size(), 3u);
    EXPECT_EQ(caps.planList[1].name, L"Performa tinggi");
    EXPECT_TRUE(caps.plans.ok);
    EXPECT_TRUE(caps.range.ok);
    EXPECT_EQ(caps.minPercent, 30u) << "never below 30 %, whatever Windows allows";
    EXPECT_EQ(caps.maxPercent, 100u);
    EXPECT_EQ(caps.stepPercent, 1u);

    fake::PowerMachine many = threePlans();
    for (int n = 3; n < 40; ++n)
        many.plans.push_back(fake::plan(n, L"Rencana", 100, 100));
    many.plans[1].nameReadable = false;
    many.minimum = 50;
    many.maximum = 90;
    many.increment = 0;
    api = fake::usePowerMachine(many);
    caps = probePerfCaps(api);
    EXPECT_EQ(caps.planList.size(), 32u);
    EXPECT_EQ(machine().callsTo("PowerEnumerate").size(), 32u) << "a 33rd plan is never asked for";
    EXPECT_EQ(caps.planList[1].name, L"(tanpa nama)");
    EXPECT_EQ(caps.minPercent, 50u);
    EXPECT_EQ(caps.maxPercent, 90u);
    EXPECT_EQ(caps.stepPercent, 1u);

    machine().increment = 10;
    EXPECT_EQ(probePerfCaps(api).stepPercent, 10u);
    machine().failAlways["PowerReadValueMax"] = ERROR_ACCESS_DENIED;
    caps = probePerfCaps(api);
    EXPECT_FALSE(caps.range.ok);
    EXPECT_EQ(caps.range.limitation, Limitation::WindowsApi);
    EXPECT_EQ(caps.maxPercent, 100u);

    caps = probePerfCaps(PowerApi{});
    EXPECT_EQ(caps.plans.reason(), L"API manajemen daya Windows (powrprof.dll) tidak lengkap.");
    EXPECT_EQ(caps.range.limitation, Limitation::WindowsApi);
}

TEST_F(Engine, PowerStateReadsTheActivePlan) {
    machine().active = powerSaver;
    PowerState state = readPowerState(api);
    ASSERT_TRUE(state.valid);
    EXPECT_EQ(state.activeName, L"Penghemat daya");
    EXPECT_EQ(state.acPercent.value, 70u);
    EXPECT_EQ(state.dcPercent.value, 60u);

    machine().failAlways["PowerReadDCValueIndex"] = ERROR_ACCESS_DENIED;
    state = readPowerState(api);
    EXPECT_TRUE(state.acPercent.ok);
    EXPECT_FALSE(state.dcPercent.ok);
    EXPECT_EQ(state.dcPercent.reason(), L"Tidak terbaca.");

    machine().failAlways["PowerGetActiveScheme"] = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(readPowerState(api).valid);
    EXPECT_FALSE(readPowerState(PowerApi{}).valid);
}

} // namespace
