// The performance-control commands with their message boxes answered by the test:
// the gate's refusal, the consent, the confirmation and the reset question.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/perf_control.h"
#include "harness.h"
#include "pages/commands.h"
#include "pages/perf_dialogs.h"
#include "perf/fake_power.h"

namespace ovra {
namespace {

struct Shown {
    std::wstring text, caption;
    UINT type;
};
std::vector<Shown> shown;
int answer = IDNO;

int WINAPI answerBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    shown.push_back({text, caption, type});
    return answer;
}

const Guid highPerformance = fake::planGuid(1);

class PerfCommands : public ::testing::Test {
protected:
    void SetUp() override {
        shown.clear();
        answer = IDNO;
        app = std::make_unique<App>(folder.path);
        app->dialogs.messageBox = answerBox;
        fake::PowerMachine machine;
        machine.plans = {fake::balanced(), fake::plan(1, L"Performa tinggi", 100, 100)};
        machine.active = balancedPlan;
        app->powerApi = fake::usePowerMachine(machine);
        setReading(app->thermal.maxTemp, 50.0);
        refreshPerfControl(*app);
    }

    bool recorded() const { return recoveryFileExists(folder.file(recoveryFileName)); }

    void switchOn() {
        answer = IDYES;
        executeCommand(*app, commandPerfControl, 0);
        ASSERT_TRUE(app->perfControlOn);
        shown.clear();
    }

    test::TempFolder folder{L"ovra-perf-commands"};
    std::unique_ptr<App> app;
};

TEST_F(PerfCommands, ControlStartsOnlyThroughTheGateAndTheConsent) {
    setUnavailable(app->thermal.maxTemp, Limitation::Firmware, L"tidak ada zona");
    executeCommand(*app, commandPerfControl, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind(L"Kontrol dinonaktifkan karena tidak ada sensor suhu", 0), 0u);
    EXPECT_EQ(shown[0].caption, L"Ovra Monitor");
    EXPECT_EQ(shown[0].type, UINT(MB_OK | MB_ICONINFORMATION));
    EXPECT_FALSE(app->perfControlOn);

    setReading(app->thermal.maxTemp, 50.0);
    shown.clear();
    executeCommand(*app, commandPerfControl, 0); // answered No
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Persetujuan kontrol performa");
    EXPECT_EQ(shown[0].type, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(shown[0].text.rfind(L"PERINGATAN\n\nAnda akan mengaktifkan kontrol performa.", 0),
              0u);
    EXPECT_FALSE(app->perfControlOn);
    executeCommand(*app, commandPerfPlan, 1);
    EXPECT_EQ(app->selectedPlan, -1) << "nothing is chosen before consent";

    app->perfMessage = L"lama";
    switchOn();
    EXPECT_EQ(app->selectedPlan, 0) << "the active plan";
    EXPECT_EQ(app->selectedPercent, 100u);
    EXPECT_EQ(app->perfMessage, L"");
}

TEST_F(PerfCommands, ApplyAsksForAPlanThenForConfirmation) {
    switchOn();
    app->selectedPlan = -1;
    executeCommand(*app, commandPerfApply, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Pilih rencana daya terlebih dahulu.");

    executeCommand(*app, commandPerfPlan, 1);
    executeCommand(*app, commandPerfPercent, -1);
    EXPECT_EQ(app->selectedPercent, 95u);
    answer = IDNO;
    shown.clear();
    executeCommand(*app, commandPerfApply, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, L"Konfirmasi perubahan");
    EXPECT_EQ(shown[0].type, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(shown[0].text,
              L"Terapkan perubahan berikut?\n\nRencana daya: Performa tinggi\nStatus prosesor "
              L"maksimum: 95% (saat dicolok & baterai)\nBatas pengaman suhu: 85°C\n\nNilai asli "
              L"disimpan dan dapat dikembalikan kapan saja.");
    EXPECT_FALSE(recorded()) << "No changes nothing";

    answer = IDYES;
    executeCommand(*app, commandPerfApply, 0);
    EXPECT_TRUE(recorded());
    EXPECT_EQ(fake::machine().find(highPerformance)->ac, 95u);
    EXPECT_EQ(app->perfMessage, L"Diterapkan. Pemantauan suhu dipercepat selama perubahan aktif.");
    EXPECT_TRUE(app->perfControlOn);

    // At the limit, the gate refuses with an exclamation and nothing is asked.
    setReading(app->thermal.maxTemp, 85.0);
    shown.clear();
    executeCommand(*app, commandPerfApply, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Suhu saat ini 85°C sudah mencapai batas pengaman 85°C.");
    EXPECT_EQ(shown[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));

    // Switching off undoes the change.
    executeCommand(*app, commandPerfControl, 0);
    EXPECT_FALSE(app->perfControlOn);
    EXPECT_FALSE(recorded());
    EXPECT_EQ(fake::machine().find(highPerformance)->ac, 100u);
}

TEST_F(PerfCommands, ResetRunsOnlyOnYes) {
    fake::machine().find(balancedPlan)->ac = 50;
    executeCommand(*app, commandPerfReset, 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, L"Aktifkan rencana daya \"Seimbang\" bawaan Windows dengan status "
                             L"prosesor maksimum 100%?");
    EXPECT_EQ(shown[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(fake::machine().find(balancedPlan)->ac, 50u);

    switchOn();
    answer = IDYES;
    executeCommand(*app, commandPerfReset, 0);
    EXPECT_EQ(fake::machine().find(balancedPlan)->ac, 100u);
    EXPECT_FALSE(app->perfControlOn);
    EXPECT_FALSE(app->perfMessageIsError);
}

} // namespace
} // namespace ovra
