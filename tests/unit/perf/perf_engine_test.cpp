// The engine against the stand-in power library and a real recovery file.
#include <gtest/gtest.h>

#include "perf/perf_engine.h"
#include "power_machine.h"

using namespace ovra;
using test::balancedId, test::highId, test::saverId, test::threePlans;

namespace {

class Engine : public ::testing::Test {
protected:
    std::string key(const wchar_t* name) const {
        const std::wstring value = recoveryReadText(power.recovery, name);
        return std::string(value.begin(), value.end());
    }
    bool apply(size_t index, uint32_t percent) { // 1 High performance, 2 power saver
        const PerfCaps caps = probePerfCaps(power.api);
        const Guid plan = index < caps.planList.size() ? caps.planList[index].guid : Guid{};
        return applyPerfChange(power.api, power.recovery, caps, plan, percent, message);
    }
    bool restore() { return restorePerfChange(power.api, power.recovery, message); }
    bool said(const wchar_t* part) const { return message.find(part) != std::wstring::npos; }

    test::FakePower power;
    std::wstring message;
};

TEST_F(Engine, RecordsEachPlanOnceAndRestoresThemAll) {
    ASSERT_TRUE(apply(2, 50));
    EXPECT_TRUE(message.empty() && power.has("active " + saverId) && power.has(saverId + " 50 50"));
    ASSERT_TRUE(apply(2, 40));
    ASSERT_TRUE(apply(1, 80));
    EXPECT_EQ(key(L"aktif") + key(L"jumlah") + key(L"skema0") + key(L"ac0") + key(L"dc0") +
                  key(L"skema1") + key(L"skema2"),
              balancedId + "2" + saverId + "7060" + highId);
    EXPECT_TRUE(restore() && said(L"dikembalikan ke nilai sebelum") && !power.recorded());
    EXPECT_EQ(power.state(), threePlans);
}

TEST_F(Engine, RefusedChangesChangeNothing) {
    const std::tuple<size_t, uint32_t, std::string, const wchar_t*> cases[] = {
        {2, 25, "", L"Nilai 25% di luar batas yang diizinkan (30-100%)"},
        {9, 50, "", L"tidak dikenal"},
        {2, 50, "range 100 100 1\n", L"Nilai 50% di luar batas yang diizinkan (0-100%)"},
        {2, 50, "fail PowerGetActiveScheme 5\n", L"aktif tidak terbaca"},
        {2, 50, "fail PowerReadDCValueIndex 5\n", L"asli tidak terbaca"}};
    for (const auto& [plan, percent, extra, refusal] : cases) {
        power.set(threePlans + extra);
        EXPECT_FALSE(apply(plan, percent));
        EXPECT_TRUE(said(refusal)) << extra << percent;
        EXPECT_TRUE(power.has(threePlans) && key(L"skema0").empty()) << "nothing changed";
    }
}

TEST_F(Engine, AChangeWindowsRefusesOrThatDoesNotReadBackIsUndone) {
    for (const std::string refusal : {"PowerWriteACValueIndex 5", "PowerWriteDCValueIndex 5",
                                      "PowerSetActiveScheme 5", "PowerWriteACValueIndex 0"}) {
        ASSERT_TRUE(apply(1, 60));
        power.add("fail " + refusal);
        EXPECT_FALSE(apply(2, 50));
        EXPECT_TRUE(said(refusal.ends_with("0") ? L"tidak sesuai" : L"Windows menolak perubahan"));
        EXPECT_EQ(power.state() + key(L"aktif"), threePlans) << refusal;
    }
}

TEST_F(Engine, AnUnwritableOrDamagedRecordTakesNoChangeAndRestoresWhatItHolds) {
    ASSERT_TRUE(apply(1, 60));
    recoveryWriteText(power.recovery, L"jumlah", L"2147483647");
    EXPECT_TRUE(!apply(2, 50) && said(L"rusak")) << "no entry after a damaged count";
    const std::pair<const wchar_t*, std::wstring> damage[] = {
        {L"aktif", L"{rusak}"},     {L"skema1", L"{A1841308-3541-4FAB-BC81-F71556F20B4A}"},
        {L"ac1", L"120"},           {L"dc1", L"-5"},
        {L"skema2", L"bukan GUID"}, {L"skema3", L"{381B4222-F694-41F0-9685-FF5BB260DF2E}"}};
    for (const auto& [name, value] : damage) // entry 3 has no values: 100 %
        recoveryWriteText(power.recovery, name, value);
    ASSERT_TRUE(restore()) << "a damaged count reads at most 64 entries";
    EXPECT_TRUE(power.has("active " + balancedId) && power.has(saverId + " 100 0 "))
        << "Balanced for an unreadable active plan, values kept within 0..100";
}

TEST_F(Engine, ARestoreThatFailsKeepsTheRecordAndDeletedPlansDoNot) {
    ASSERT_TRUE(apply(2, 50));
    power.add("fail PowerWriteACValueIndex 5");
    EXPECT_FALSE(restore());
    EXPECT_TRUE(said(L"Sebagian pengaturan gagal") && power.recorded());
    // A record that cannot be deleted would put the old values back at every start.
    power.set(threePlans);
    SetFileAttributesW(power.recovery.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(restore());
    EXPECT_TRUE(said(L"tidak dapat dihapus") && power.recorded());
    SetFileAttributesW(power.recovery.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(restore() && !power.recorded());
    // Plans the user deleted in Windows (the one active before too) are skipped.
    power.add("active " + saverId);
    ASSERT_TRUE(apply(1, 60) && apply(2, 50));
    power.set("active " + balancedId + "\nrange 0 100 1\nplan " + highId + " 60 60 Tinggi\n");
    EXPECT_TRUE(restore() && said(L"dihapus") && !power.recorded() &&
                power.has(highId + " 100 100"));
}

TEST(PowerBinding, OnlyTheIncrementMayBeMissing) {
    test::FakePower noIncrement(threePlans + "range 0 100 10\n", L"no_increment");
    EXPECT_TRUE(noIncrement.api.module && probePerfCaps(noIncrement.api).stepPercent == 1);
    test::FakePower noSetActive(threePlans, L"no_set_active");
    EXPECT_EQ(noSetActive.api.module, nullptr);
    EXPECT_NE(probePerfCaps(noSetActive.api).range.reason().find(L"(powrprof.dll) tidak lengkap"),
              std::wstring::npos);
    EXPECT_EQ(probePerfCaps(test::FakePower(threePlans + "range 0 100 10\n").api).stepPercent, 10u);
}

} // namespace
