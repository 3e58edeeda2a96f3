// The performance-control commands with their message boxes answered by the test.
// The boxes are modal and the timers keep running meanwhile, so the answer may
// come after the sensor was lost or the limit reached.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "app/app.h"
#include "app/perf_control.h"
#include "pages/commands.h"
#include "perf/power_machine.h"

namespace ovra {
namespace {

std::vector<std::wstring> shown; // caption, type and text of each box
std::function<int(const std::wstring& caption)> answer;

int WINAPI answerBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    shown.push_back(caption + (L" " + std::to_wstring(type)) + L" " + text);
    return answer(caption);
}

class PerfCommands : public ::testing::Test {
protected:
    void SetUp() override {
        shown.clear();
        app->dialogs.messageBox = answerBox;
        app->powerApi = power.api;
        setReading(app->thermal.maxTemp, 50.0);
        refreshPerfCaps(*app);
    }
    // Answers `reply`; while the box `during` is open, the temperature becomes `later`.
    void answerWith(int reply, const wchar_t* during = L"", double later = 50) {
        answer = [=, this](const std::wstring& caption) {
            if (caption != during) return reply;
            setReading(app->thermal.maxTemp, later);
            if (later < 0) setUnavailable(app->thermal.maxTemp, Limitation::Sensor, L"hilang");
            return reply;
        };
    }
    bool shownStarting(size_t i, const std::wstring& start) const {
        return shown.size() > i && shown[i].rfind(start, 0) == 0;
    }

    test::FakePower power;
    std::unique_ptr<App> app = std::make_unique<App>(power.folder.path);
};

const std::wstring consent = L"Persetujuan kontrol performa " +
                             std::to_wstring(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) +
                             L" PERINGATAN";
const std::wstring information = L"Ovra Monitor " + std::to_wstring(MB_OK | MB_ICONINFORMATION);

TEST_F(PerfCommands, ControlStartsOnlyThroughTheGateAndTheConsentAndStaysGated) {
    answerWith(IDYES, L"Persetujuan kontrol performa", -1);
    executeCommand(*app, commandPerfControl, 0); // the sensor is lost while asking
    EXPECT_TRUE(shownStarting(0, consent));
    EXPECT_TRUE(shownStarting(1, information + L" Kontrol dinonaktifkan karena tidak ada sensor"));
    executeCommand(*app, commandPerfControl, 0); // and is refused at once now
    EXPECT_TRUE(shownStarting(2, information + L" Kontrol dinonaktifkan"));
    EXPECT_FALSE(app->perfControlOn);

    setReading(app->thermal.maxTemp, 50.0);
    answerWith(IDNO);
    executeCommand(*app, commandPerfControl, 0);
    executeCommand(*app, commandPerfPlan, 1);
    EXPECT_EQ(app->selectedPlan, -1) << "nothing is chosen before consent";
    answerWith(IDYES);
    executeCommand(*app, commandPerfControl, 0);
    EXPECT_EQ(shown.size(), 5u);
    EXPECT_TRUE(app->perfControlOn);
    EXPECT_EQ(app->selectedPlan, 0) << "the active plan";
}

TEST_F(PerfCommands, ApplyAsksForAPlanAndConfirmationAndHoldsTheGateAfterIt) {
    answerWith(IDYES);
    executeCommand(*app, commandPerfControl, 0);
    app->selectedPlan = -1;
    executeCommand(*app, commandPerfApply, 0);
    EXPECT_TRUE(shownStarting(1, information + L" Pilih rencana daya"));
    executeCommand(*app, commandPerfPlan, 1);
    executeCommand(*app, commandPerfPercent, -1);
    answerWith(IDNO);
    executeCommand(*app, commandPerfApply, 0);
    EXPECT_NE(shown[2].find(L"Rencana daya: Performa tinggi\nStatus prosesor maksimum: 95% "
                            L"(saat dicolok & baterai)\nBatas pengaman suhu: 85°C\n"),
              std::wstring::npos);
    answerWith(IDYES, L"Konfirmasi perubahan", 85.0); // the limit is reached while asking
    executeCommand(*app, commandPerfApply, 0);
    EXPECT_TRUE(shownStarting(4, L"Ovra Monitor " + std::to_wstring(MB_OK | MB_ICONEXCLAMATION) +
                                     L" Suhu saat ini 85°C"));
    EXPECT_TRUE(power.has(test::highId + " 100 100"));
    answerWith(IDYES);
    setReading(app->thermal.maxTemp, 50.0);
    executeCommand(*app, commandPerfApply, 0);
    EXPECT_TRUE(power.has(test::highId + " 95 95"));

    answerWith(IDNO);
    executeCommand(*app, commandPerfReset, 0);
    EXPECT_TRUE(shownStarting(6, L"Ovra Monitor " + std::to_wstring(MB_YESNO | MB_ICONQUESTION)));
    EXPECT_TRUE(power.has(test::highId + " 95 95"));
    answerWith(IDYES);
    executeCommand(*app, commandPerfReset, 0);
    EXPECT_TRUE(power.has("active " + test::balancedId) && power.has(test::highId + " 100 100"));
    EXPECT_FALSE(app->perfControlOn);
}

} // namespace
} // namespace ovra
