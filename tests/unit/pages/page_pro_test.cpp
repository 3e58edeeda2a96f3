// The performance-control page: what each capability needs, the consent
// switch, the controls once switched on, and the gate that keeps "Terapkan…"
// off at the safety limit or without a sensor.
#include <gtest/gtest.h>

#include "app/perf_control.h"
#include "page_view.h"
#include "pages/commands.h"
#include "perf/unsupported.h"

using namespace ovra;

namespace {

class ProPage : public test::PageView {
protected:
    void SetUp() override {
        test::PageView::SetUp();
        app.capsProbed = true;
        setReading(app.perfCaps.plans, true);
        setReading(app.perfCaps.range, true);
        app.perfCaps.minPercent = 5;
        app.perfCaps.maxPercent = 100;
        for (const wchar_t* name : {L"Seimbang", L"Performa tinggi", L"Penghemat daya"})
            app.perfCaps.planList.push_back(PowerPlan{Guid{}, name});
        setReading(app.thermal.maxTemp, 55.0);
        app.fanControl = fanControlInfo();
        app.overclock = overclockInfo(L"AMD Ryzen 5 5600X");
    }
    // Control switched on with the active plan read from Windows.
    void switchOn(int32_t selectedPlan = 0) {
        app.perfControlOn = true;
        app.powerState.valid = true;
        app.powerState.activeName = L"Seimbang";
        setReading(app.powerState.acPercent, 100u);
        setReading(app.powerState.dcPercent, 80u);
        app.selectedPlan = selectedPlan;
        app.selectedPercent = 100;
    }
    void showPro(int pageWidth = 852) { show(perfControlPage, pageWidth); }
    int roleOfText(const std::wstring& content) const {
        const TextRun* run = text(content);
        return run ? run->role : -2;
    }
};

const wchar_t consentHint[] =
    L"Mengaktifkan akan menampilkan peringatan dan meminta persetujuan Anda.";
const wchar_t noChange[] = L"Tidak ada perubahan aktif. Pengaturan Windows Anda tidak diubah.";

} // namespace

TEST_F(ProPage, BeforeConsentOffersTheWaysBackAndTheSwitchOnly) {
    showPro();
    const HitRegion* restore = hit(commandPerfRestore, 0);
    const HitRegion* reset = hit(commandPerfReset, 0);
    ASSERT_TRUE(restore && reset);
    EXPECT_EQ(reset->rect.top, restore->rect.top);
    EXPECT_EQ(reset->rect.left, restore->rect.right + 10);
    EXPECT_EQ(text(L"Kembalikan ke pengaturan aman/default")->colour, app.palette[Role::statusBad]);
    EXPECT_EQ(roleOfText(noChange), test::roleOf(Role::textSecondary));
    EXPECT_NE(hit(commandPerfControl, 0), nullptr) << "the switch is enabled";
    EXPECT_NE(text(consentHint), nullptr);
    for (int32_t command :
         {commandPerfPlan, commandPerfPercent, commandPerfApply, commandSafetyLimit})
        EXPECT_TRUE(argumentsOf(command).empty()) << command;
    EXPECT_EQ(text(L"Rencana daya:"), nullptr);

    EXPECT_EQ(count(L"Didukung melalui antarmuka resmi Windows"), 2);
    EXPECT_EQ(roleOfText(L"Didukung melalui antarmuka resmi Windows"),
              test::roleOf(Role::statusGood));
    EXPECT_EQ(count(L"Tersedia: 55 \u00B0C (zona termal ACPI)"), 3)
        << "overclocking has no temperature row";
    EXPECT_NE(text(L"Membatasi kecepatan maksimum prosesor (5\u2013100%) agar lebih dingin dan "
                   L"hemat baterai. Tidak dapat melebihi 100%: ini bukan overclock."),
              nullptr);
    EXPECT_EQ(count(L"Keterbatasan: Tidak didukung. " + app.fanControl.reason()), 1);
    EXPECT_EQ(count(L"Keterbatasan: Tidak didukung. " + app.overclock.reason()), 1);
}

TEST_F(ProPage, WithoutThermalZonesTheSwitchIsOffAndEveryControlSaysWhy) {
    setUnavailable(app.thermal.maxTemp, Limitation::Sensor,
                   std::wstring(L"Tidak ada zona termal ACPI."));
    showPro();
    EXPECT_TRUE(argumentsOf(commandPerfControl).empty()) << "the switch is disabled";
    std::wstring reason;
    ASSERT_FALSE(checkPerfGate(app, reason));
    const TextRun* why = text(reason);
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->role, test::roleOf(Role::textMuted));
    EXPECT_EQ(why->font, FontRole::small);
    EXPECT_GT(why->rect.top, text(L"Aktifkan kontrol performa (mati secara bawaan)")->rect.top);
    EXPECT_EQ(text(consentHint), nullptr);
    EXPECT_EQ(count(L"Keterbatasan: Sensor. Tanpa pemantauan suhu, kontrol ini tidak diizinkan. "
                    L"Tidak ada zona termal ACPI."),
              3);
}

TEST_F(ProPage, BeforeThePageAskedWindowsPlansAndRangeAreMeasuring) {
    app.capsProbed = false;
    showPro();
    EXPECT_EQ(count(L"Mengukur\u2026"), 2);
    EXPECT_EQ(text(L"Didukung melalui antarmuka resmi Windows"), nullptr);
}

TEST_F(ProPage, AtTheSafetyLimitTheControlsStayButApplyIsOff) {
    switchOn();
    setReading(app.thermal.maxTemp, 85.0);
    showPro();
    EXPECT_EQ(argumentsOf(commandPerfPlan), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(argumentsOf(commandPerfPercent), std::vector<int32_t>{-1}) << "100 is the maximum";
    EXPECT_NE(hit(commandPerfControl, 0), nullptr) << "switching off is always possible";
    EXPECT_TRUE(argumentsOf(commandPerfApply).empty());
    EXPECT_EQ(roleOfText(L"Terapkan\u2026"), test::roleOf(Role::textMuted));
    EXPECT_NE(text(L"Rencana aktif saat ini"), nullptr);
    EXPECT_NE(text(L"80%"), nullptr) << "the battery's maximum processor state";

    setReading(app.thermal.maxTemp, 84.0);
    showPro();
    EXPECT_NE(hit(commandPerfApply, 0), nullptr);
    EXPECT_NE(text(L"Status prosesor maksimum (batas 5\u2013100%):"), nullptr);
}

TEST_F(ProPage, OnlyTheChosenPlanIsPrimary) {
    switchOn(-1); // the active plan is not in the list
    showPro();
    for (const PowerPlan& plan : app.perfCaps.planList)
        EXPECT_EQ(roleOfText(plan.name), test::roleOf(Role::text)) << plan.name;

    app.selectedPlan = 1;
    showPro();
    EXPECT_EQ(roleOfText(L"Performa tinggi"), test::roleOf(Role::onAccent));
    EXPECT_EQ(roleOfText(L"Penghemat daya"), test::roleOf(Role::text));
    const HitRegion* first = hit(commandPerfPlan, 0);
    const HitRegion* second = hit(commandPerfPlan, 1);
    EXPECT_EQ(second->rect.left, first->rect.right + 8);
    EXPECT_EQ(second->rect.top, first->rect.top);
}

TEST_F(ProPage, PlanButtonsFlowOntoNewLinesAndWithoutARangeNoPercentStepper) {
    switchOn();
    for (int i = 0; i < 8; ++i)
        app.perfCaps.planList.push_back(
            PowerPlan{Guid{}, L"Rencana buatan pengguna nomor " + std::to_wstring(i)});
    app.perfCaps.range.ok = false;
    showPro();
    const HitRegion* first = hit(commandPerfPlan, 0);
    ASSERT_NE(first, nullptr);
    int lines = 1, previousTop = first->rect.top;
    for (int32_t i = 1; i < 11; ++i) {
        const HitRegion* plan = hit(commandPerfPlan, i);
        ASSERT_NE(plan, nullptr);
        EXPECT_LE(plan->rect.right, pageLeft + 852 - 18) << i;
        if (plan->rect.top != previousTop) {
            EXPECT_EQ(plan->rect.top, previousTop + 40);
            EXPECT_EQ(plan->rect.left, first->rect.left);
            ++lines;
        }
        previousTop = plan->rect.top;
    }
    EXPECT_GE(lines, 3);
    EXPECT_TRUE(argumentsOf(commandPerfPercent).empty());
    EXPECT_EQ(textStarting(L"Status prosesor maksimum (batas"), nullptr);
}

TEST_F(ProPage, InANarrowCardWindowsDefaultMovesUnderTheRestoreButton) {
    showPro(400);
    const HitRegion* restore = hit(commandPerfRestore, 0);
    const HitRegion* reset = hit(commandPerfReset, 0);
    ASSERT_TRUE(restore && reset);
    EXPECT_EQ(reset->rect.left, restore->rect.left);
    EXPECT_EQ(reset->rect.top, restore->rect.top + 40);
}

TEST_F(ProPage, SafetyLimitStepperStopsAtSixtyAndNinetyFive) {
    switchOn();
    app.settings.safetyLimit = 60;
    showPro();
    EXPECT_NE(text(L"60 \u00B0C"), nullptr);
    EXPECT_EQ(argumentsOf(commandSafetyLimit), std::vector<int32_t>{1});
    app.settings.safetyLimit = 95;
    setReading(app.thermal.maxTemp, 40.0);
    showPro();
    EXPECT_EQ(argumentsOf(commandSafetyLimit), std::vector<int32_t>{-1});
    app.settings.safetyLimit = 75;
    showPro();
    EXPECT_EQ(argumentsOf(commandSafetyLimit), (std::vector<int32_t>{-1, 1}));
}

TEST_F(ProPage, ActiveChangeAndItsMessagesStandOut) {
    test::writeTextFile(folder.file(recoveryFileName), "[asli]\r\n");
    app.perfMessage = L"Saat dibuka, Ovra Monitor menemukan perubahan performa dari sesi "
                      L"sebelumnya yang belum dipulihkan, lalu mengembalikannya.";
    app.perfMessageIsError = true;
    showPro();
    EXPECT_EQ(text(noChange), nullptr);
    const TextRun* active = textStarting(L"Perubahan dari Ovra Monitor sedang aktif.");
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->role, test::roleOf(Role::statusWarning));
    const TextRun* message = text(app.perfMessage);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->role, test::roleOf(Role::statusBad));
    EXPECT_EQ(message->font, FontRole::bodyStrong);

    app.perfMessageIsError = false;
    showPro();
    EXPECT_EQ(roleOfText(app.perfMessage), test::roleOf(Role::text));
}
