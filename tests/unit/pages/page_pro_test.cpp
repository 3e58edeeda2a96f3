// The performance-control page: the ways back, the consent switch and the gate
// that keeps it and "Terapkan…" off, the controls once on, and the change state.
#include <gtest/gtest.h>

#include "app/perf_control.h"
#include "page_view.h"
#include "pages/commands.h"

using namespace ovra;

class ProPage : public test::PageView {
protected:
    void SetUp() override {
        test::PageView::SetUp();
        app.capsProbed = true;
        setReading(app.perfCaps.plans, true);
        setReading(app.perfCaps.range, true);
        app.perfCaps.minPercent = 5;
        for (const wchar_t* name : {L"Seimbang", L"Performa tinggi", L"Penghemat daya"})
            app.perfCaps.planList.push_back(PowerPlan{Guid{}, name});
        setReading(app.thermal.maxTemp, 55.0);
    }
    int roleOfText(const std::wstring& content) const {
        const TextRun* run = text(content);
        return run ? run->role : -2;
    }
};

TEST_F(ProPage, BeforeConsentOnlyTheWaysBackAndTheSwitchUnlessTheGateRefuses) {
    show(perfControlPage);
    const HitRegion* restore = hit(commandPerfRestore, 0);
    const HitRegion* reset = hit(commandPerfReset, 0);
    ASSERT_TRUE(restore && reset);
    EXPECT_EQ(reset->rect.left - restore->rect.right, 10);
    EXPECT_NE(hit(commandPerfControl, 0), nullptr) << "the switch is enabled";
    EXPECT_TRUE(argumentsOf(commandPerfPlan).empty() && argumentsOf(commandPerfApply).empty());
    EXPECT_EQ(count(L"Tersedia: 55 \u00B0C (zona termal ACPI)"), 3) << "all but overclocking";
    EXPECT_NE(textStarting(L"Membatasi kecepatan maksimum prosesor (5\u2013100%)"), nullptr);

    setUnavailable(app.thermal.maxTemp, Limitation::Sensor, std::wstring(L"Tanpa zona."));
    show(perfControlPage, 400);
    EXPECT_EQ(hit(commandPerfReset, 0)->rect.left, hit(commandPerfRestore, 0)->rect.left)
        << "a narrow card puts Windows' default under the restore button";
    EXPECT_TRUE(argumentsOf(commandPerfControl).empty()) << "the switch is disabled";
    const TextRun* why = textStarting(L"Kontrol dinonaktifkan karena tidak ada sensor");
    ASSERT_NE(why, nullptr);
    EXPECT_EQ(why->role, test::roleOf(Role::textMuted));
    EXPECT_EQ(count(L"Keterbatasan: Sensor. Tanpa pemantauan suhu, kontrol ini tidak diizinkan. "
                    L"Tanpa zona."),
              3);
}

TEST_F(ProPage, SwitchedOnTheControlsStayAndTheGateTurnsApplyOff) {
    app.perfControlOn = true;
    app.selectedPlan = 1;
    app.settings.safetyLimit = 60;
    setReading(app.thermal.maxTemp, 60.0);
    show(perfControlPage);
    EXPECT_EQ(argumentsOf(commandPerfPlan), (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(roleOfText(L"Performa tinggi"), test::roleOf(Role::onAccent)) << "the chosen one";
    EXPECT_EQ(roleOfText(L"Penghemat daya"), test::roleOf(Role::text));
    EXPECT_EQ(argumentsOf(commandPerfPercent), std::vector<int32_t>{-1}) << "100 is the maximum";
    EXPECT_EQ(argumentsOf(commandSafetyLimit), std::vector<int32_t>{1}) << "60 is the lowest";
    EXPECT_TRUE(argumentsOf(commandPerfApply).empty()) << "at the safety limit";
    app.settings.safetyLimit = 95;
    show(perfControlPage);
    EXPECT_EQ(argumentsOf(commandSafetyLimit), std::vector<int32_t>{-1}) << "95 is the highest";
    EXPECT_NE(hit(commandPerfApply, 0), nullptr);
}

TEST_F(ProPage, AnActiveChangeAndAFailedRestoreStandOut) {
    test::writeTextFile(folder.file(recoveryFileName), "[asli]\r\n");
    show(perfControlPage);
    const TextRun* active = textStarting(L"Perubahan dari Ovra Monitor sedang aktif.");
    ASSERT_NE(active, nullptr);
    EXPECT_EQ(active->role, test::roleOf(Role::statusWarning));

    app.perfMessage = L"Pemulihan otomatis: gagal.";
    app.perfMessageIsError = true;
    app.perfRestoreFailedCause = L"Sensor suhu hilang atau gagal dibaca.";
    show(perfControlPage);
    EXPECT_EQ(textStarting(L"Perubahan dari Ovra Monitor sedang aktif."), nullptr);
    const TextRun* failing = textStarting(L"Pemulihan otomatis gagal");
    ASSERT_NE(failing, nullptr);
    EXPECT_EQ(failing->role, test::roleOf(Role::statusBad));
    EXPECT_EQ(roleOfText(app.perfMessage), test::roleOf(Role::statusBad));
}
