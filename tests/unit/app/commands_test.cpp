// The commands: each setting saved at once; export and clear with their dialogs, faked.
#include <gtest/gtest.h>

#include "pages/app_fixture.h"

#include <commdlg.h>

#include "app/commands.h"
#include "app/scheduler.h"
#include "sources/format.h"
#include "store/settings_fields.h"

using namespace ovra;

namespace {

struct User {
    std::vector<std::pair<std::wstring, UINT>> boxes; // the message boxes shown
    int answer = IDNO;
    std::wstring chosenPath; // empty: the save dialog is cancelled
} user;

int WINAPI fakeMessageBox(HWND, LPCWSTR text, LPCWSTR, UINT type) {
    user.boxes.push_back({text, type});
    return user.answer;
}

bool fakeSaveFile(HWND, const SaveFileRequest& request, std::wstring& chosen) {
    EXPECT_EQ(request.flags, DWORD(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
    chosen = user.chosenPath;
    return !chosen.empty();
}

class Commands : public test::AppWindow {
protected:
    void SetUp() override {
        test::AppWindow::SetUp();
        app.dialogs = {fakeMessageBox, fakeSaveFile};
        user = {};
    }
};

} // namespace

TEST_F(Commands, EachSettingCommandSavesItsValueAtOnce) {
    app.settings.alertThreshold[0] = 100;
    // field: the key's place in settings.ini (an alert's switch 7 + 2 × kind, its threshold next)
    const struct { int32_t command, argument, field, expected; } cases[] = {
        {commandTheme, 1, 0, 1}, {commandFastInterval, 2, 1, 5000},
        {commandFastInterval, -3, 1, 1000}, {commandSlowInterval, 9, 2, 30000},
        {commandSlowInterval, 1, 2, 10000}, {commandProcessMode, 7, 3, 2},
        {commandSaveHistory, 0, 4, 1}, {commandNotifications, 0, 5, 0},
        {commandHistoryRange, 1, 6, 15}, {commandHistoryRange, 7, 6, 60},
        {commandHistoryRange, 0, 6, 5}, {commandAlertEnabled, 9, 15, 0},
        {commandAlertThreshold + 1, 1, 10, 86}, {commandAlertThreshold, 1, 8, 100},
        {commandSafetyLimit, -1, 17, 80}};
    for (const auto& c : cases) {
        executeCommand(app, c.command, c.argument);
        Settings saved;
        loadSettings(saved, folder.file(settingsFileName));
        EXPECT_EQ(settingValue(saved, size_t(c.field)), c.expected) << "row " << &c - cases;
    }
}

TEST_F(Commands, TheProcessModeTouchesOnlyTheProcessTimerAndAnIntervalItsTimer) {
    app.view.page = processesPage;
    executeCommand(app, commandProcessMode, 2);
    EXPECT_TRUE(timerRuns(processTimer) && !timerRuns(fastTimer) && !timerRuns(smartTimer));
    executeCommand(app, commandSlowInterval, 0);
    EXPECT_TRUE(timerRuns(slowTimer));
}

TEST_F(Commands, ExportAndClearAskFirstAndReportTheOutcome) {
    historyAppend(app.history, Sample{133'590'241'890'000'000ull, 12.5f});
    for (const std::wstring& to :
         {std::wstring(), folder.file(L"ekspor.csv"), folder.file(L"x\\e.csv")}) {
        user.chosenPath = to; // cancelled first: nothing more
        executeCommand(app, commandExportHistory, 0);
    }
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_NE(user.boxes[0].first.find(folder.file(L"ekspor.csv")), std::wstring::npos);
    EXPECT_EQ(user.boxes[0].second, UINT(MB_ICONINFORMATION));
    EXPECT_EQ(user.boxes[1], std::pair(L"Ekspor gagal: " + windowsErrorText(ERROR_PATH_NOT_FOUND),
                                       UINT(MB_ICONERROR)));
    executeCommand(app, commandClearHistory, 0);
    EXPECT_EQ(user.boxes[2].second, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(app.history.count, 1u) << "No keeps everything";
    user.answer = IDYES;
    test::writeTextFile(app.history.path, "x");
    test::writeTextFile(app.history.oldPath, "x");
    HANDLE sheet = CreateFileW(app.history.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    executeCommand(app, commandClearHistory, 0);
    CloseHandle(sheet);
    EXPECT_EQ(app.history.count, 0u) << "memory is cleared in any case";
    EXPECT_EQ(user.boxes.at(4), std::pair(L"Sebagian riwayat gagal dihapus: " +
                                              windowsErrorText(ERROR_SHARING_VIOLATION),
                                          UINT(MB_ICONERROR)));
    executeCommand(app, commandClearHistory, 0);
    EXPECT_EQ(user.boxes.size(), 6u) << "a clean clear reports nothing";
    EXPECT_EQ(historyFileBytes(app.history), 0u) << "both files deleted";
}
