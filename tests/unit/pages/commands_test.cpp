// The command dispatcher: settings saved at once, confirmations and their exact
// texts, exports, and the process list following its mode. Commands that save
// the settings write settings.ini in the test's own folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_fixture.h"

#include <commdlg.h>

#include "pages/commands.h"

using namespace ovra;

namespace {

struct ShownBox {
    std::wstring text, caption;
    UINT type;
};
std::vector<ShownBox> boxes;
int boxAnswer = IDNO;
std::wstring chosenPath; // empty: the user cancels the save dialog
std::vector<SaveFileRequest> saveRequests;

int WINAPI fakeMessageBox(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
    boxes.push_back({text, caption, type});
    return boxAnswer;
}

bool fakeSaveFile(HWND, const SaveFileRequest& request, std::wstring& chosen) {
    saveRequests.push_back(request);
    chosen = chosenPath;
    return !chosenPath.empty();
}

class Commands : public test::AppWindow {
protected:
    void SetUp() override {
        test::AppWindow::SetUp();
        app.dialogs.messageBox = fakeMessageBox;
        app.dialogs.saveFile = fakeSaveFile;
        boxes.clear();
        saveRequests.clear();
        boxAnswer = IDNO;
        chosenPath.clear();
        DeleteFileW(settingsPath().c_str());
    }
    std::wstring settingsPath() const { return folder.file(settingsFileName); }
    int savedInt(const wchar_t* key) const {
        return static_cast<int>(GetPrivateProfileIntW(L"umum", key, -1, settingsPath().c_str()));
    }
    // Runs a command and tells whether it rewrote settings.ini.
    bool runAndSaved(int32_t command, int32_t argument) {
        DeleteFileW(settingsPath().c_str());
        executeCommand(app, command, argument);
        return GetFileAttributesW(settingsPath().c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void addSamples(int count) {
        for (int i = 0; i < count; ++i) {
            Sample sample;
            sample.time = 133'000'000'000'000'000ull + uint64_t(i) * 20'000'000;
            sample.cpuPercent = 12.5f;
            historyAppend(app.history, sample);
        }
    }
};

} // namespace

TEST_F(Commands, EachSettingChangesAndIsSavedAtOnce) {
    EXPECT_TRUE(runAndSaved(commandTheme, 1));
    EXPECT_EQ(app.settings.theme, 1);
    EXPECT_TRUE(app.palette.dark);
    EXPECT_EQ(savedInt(L"tema"), 1);

    EXPECT_TRUE(runAndSaved(commandFastInterval, 2));
    EXPECT_EQ(savedInt(L"interval_cepat_ms"), 5000);
    EXPECT_TRUE(runAndSaved(commandFastInterval, -3));
    EXPECT_EQ(app.settings.fastIntervalMs, 1000);
    EXPECT_TRUE(timerRuns(1));
    EXPECT_TRUE(runAndSaved(commandSlowInterval, 9));
    EXPECT_EQ(savedInt(L"interval_lambat_ms"), 30000);

    EXPECT_TRUE(runAndSaved(commandSaveHistory, 0));
    EXPECT_TRUE(app.settings.saveHistory);
    EXPECT_TRUE(app.history.saving);
    EXPECT_EQ(savedInt(L"riwayat_disimpan"), 1);
    EXPECT_TRUE(runAndSaved(commandSaveHistory, 0));
    EXPECT_FALSE(app.history.saving);

    EXPECT_TRUE(runAndSaved(commandHistoryRange, 0));
    EXPECT_EQ(savedInt(L"rentang_riwayat_menit"), 5);
    EXPECT_TRUE(runAndSaved(commandHistoryRange, 1));
    EXPECT_EQ(app.settings.historyRangeMinutes, 15);
    EXPECT_TRUE(runAndSaved(commandHistoryRange, 2));
    EXPECT_EQ(app.settings.historyRangeMinutes, 60);
    EXPECT_TRUE(runAndSaved(commandHistoryRange, 7));
    EXPECT_EQ(app.settings.historyRangeMinutes, 60);

    EXPECT_TRUE(runAndSaved(commandNotifications, 0));
    EXPECT_EQ(savedInt(L"notifikasi"), 0);
    EXPECT_TRUE(runAndSaved(commandAlertEnabled, 3));
    EXPECT_FALSE(app.settings.alertEnabled[3]);
    EXPECT_EQ(savedInt(L"peringatan3_aktif"), 0);
    EXPECT_TRUE(runAndSaved(commandAlertEnabled, 99)); // clamped to the last kind
    EXPECT_FALSE(app.settings.alertEnabled[4]);

    EXPECT_TRUE(runAndSaved(commandSafetyLimit, -1));
    EXPECT_EQ(savedInt(L"suhu_pengaman"), 80);
}

TEST_F(Commands, ThresholdStepsStopAtTheKindsRange) {
    EXPECT_TRUE(runAndSaved(commandAlertThreshold + 1, +1)); // RAM: step 1, at most 98
    EXPECT_EQ(app.settings.alertThreshold[1], 86);
    EXPECT_EQ(savedInt(L"peringatan1_ambang"), 86);
    app.settings.alertThreshold[0] = 100; // CPU: step 5, at most 100
    EXPECT_TRUE(runAndSaved(commandAlertThreshold + 0, +1));
    EXPECT_EQ(app.settings.alertThreshold[0], 100) << "the maximum is kept";
    EXPECT_EQ(savedInt(L"peringatan0_ambang"), 100) << "and the file is still rewritten";
    app.settings.alertThreshold[2] = 2;
    EXPECT_TRUE(runAndSaved(commandAlertThreshold + 2, -1));
    EXPECT_EQ(app.settings.alertThreshold[2], 2);
    app.settings.safetyLimit = 95;
    executeCommand(app, commandSafetyLimit, +1);
    EXPECT_EQ(app.settings.safetyLimit, 95);
}

TEST_F(Commands, OutOfRangeCommandsChangeNothing) {
    const Settings before = app.settings;
    EXPECT_FALSE(runAndSaved(commandTheme, 3));
    EXPECT_FALSE(runAndSaved(commandTheme, -1));
    EXPECT_FALSE(runAndSaved(commandAlertThreshold + 5, 1));
    EXPECT_FALSE(runAndSaved(15, 0));
    EXPECT_FALSE(runAndSaved(-7, 0));
    EXPECT_EQ(app.settings.theme, before.theme);
    EXPECT_EQ(app.settings.alertThreshold, before.alertThreshold);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(Commands, ProcessModeOffStopsTheProcessTimer) {
    app.settings.processMode = 1;
    navigateTo(app, processesPage);
    ASSERT_TRUE(timerRuns(3));
    EXPECT_FALSE(app.processes.rows.empty()) << "the list is read on entering the page";
    EXPECT_TRUE(runAndSaved(commandProcessMode, 0));
    EXPECT_FALSE(timerRuns(3));
    EXPECT_TRUE(app.processes.rows.empty());
    EXPECT_EQ(savedInt(L"mode_proses"), 0);
    EXPECT_TRUE(runAndSaved(commandProcessMode, 2));
    EXPECT_TRUE(timerRuns(3));
    navigateTo(app, 0);
    EXPECT_TRUE(runAndSaved(commandProcessMode, 1));
    EXPECT_FALSE(timerRuns(3)) << "only while its page is shown";
}

TEST_F(Commands, NavigatingToTheCurrentPageDoesNothing) {
    navigateTo(app, 4);
    KillTimer(window, 1);
    EXPECT_FALSE(runAndSaved(commandNavigate, 4));
    EXPECT_FALSE(timerRuns(1));
    EXPECT_FALSE(runAndSaved(commandNavigate, 8));
    EXPECT_EQ(app.page, 8);
    EXPECT_FALSE(timerRuns(1)) << "a page change leaves the sampling timers alone";
}

TEST_F(Commands, ClearingHistoryAsksFirstWithNoAsDefault) {
    addSamples(5);
    executeCommand(app, commandClearHistory, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Hapus semua riwayat (di memori dan berkas riwayat di perangkat "
                             L"ini)? Tindakan ini tidak dapat dibatalkan.");
    EXPECT_EQ(boxes[0].caption, L"Ovra Monitor");
    EXPECT_EQ(boxes[0].type, UINT(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2));
    EXPECT_EQ(app.history.count, 5u) << "No keeps everything";
    boxAnswer = IDYES;
    executeCommand(app, commandClearHistory, 0);
    EXPECT_EQ(app.history.count, 0u);
    EXPECT_EQ(boxes.size(), 2u) << "a clean clear reports nothing";
}

TEST_F(Commands, ExportAsksForAFileAndReportsTheResult) {
    executeCommand(app, commandExportHistory, 0);
    ASSERT_EQ(saveRequests.size(), 1u);
    const SaveFileRequest& request = saveRequests[0];
    EXPECT_EQ(request.filter, std::wstring(L"Berkas CSV (*.csv)\0*.csv\0", 26));
    EXPECT_EQ(request.initialName, L"riwayat-ovra-monitor.csv");
    EXPECT_EQ(request.defaultExtension, L"csv");
    EXPECT_EQ(request.flags, DWORD(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
    EXPECT_TRUE(boxes.empty()) << "cancelling the dialog ends the command";

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    chosenPath = std::wstring(temp) + L"ovra-export-test.csv";
    DeleteFileW(chosenPath.c_str());
    addSamples(3);
    executeCommand(app, commandExportHistory, 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Riwayat diekspor ke:\n" + chosenPath);
    EXPECT_EQ(boxes[0].type, UINT(MB_ICONINFORMATION));
    EXPECT_NE(GetFileAttributesW(chosenPath.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(chosenPath.c_str());

    chosenPath = std::wstring(temp) + L"ovra-no-such-folder\\export.csv";
    executeCommand(app, commandExportHistory, 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text.rfind(L"Ekspor gagal: ", 0), 0u) << "got: " << boxes[1].text.size();
    EXPECT_GT(boxes[1].text.size(), std::wstring(L"Ekspor gagal: ").size());
    EXPECT_EQ(boxes[1].type, UINT(MB_ICONERROR));
    EXPECT_EQ(boxes[1].caption, L"Ovra Monitor");
}

TEST_F(Commands, SortingReordersTheShownRowsWithoutSaving) {
    app.processes.rows = {ProcessRow{1, L"a.exe", true, true, 50.0, 100},
                          ProcessRow{2, L"b.exe", true, true, 10.0, 900}};
    EXPECT_FALSE(runAndSaved(commandProcessSort, 1));
    EXPECT_EQ(app.processes.sortBy, 1u);
    EXPECT_EQ(app.processes.rows[0].pid, 2u);
    EXPECT_FALSE(runAndSaved(commandProcessSort, 0));
    EXPECT_EQ(app.processes.rows[0].pid, 1u);
}
