#include "app/commands.h"

#include <algorithm>
#include <array>

#include <commdlg.h>
#include <shellapi.h>

#include "app/app.h"
#include "app/metrics_export.h"
#include "app/perf_control.h"
#include "app/scheduler.h"
#include "app/perf_dialogs.h"
#include "app/window.h"
#include "store/autostart.h"
#include "store/data_folder.h"
#include "export/metrics_file.h"

namespace ovra {

namespace {

int messageBox(App& app, const std::wstring& text, UINT type) {
    return app.dialogs.messageBox(app.window, text.c_str(), productName, type);
}

void saveAppSettings(App& app) {
    saveSettings(app.settings, appFilePath(app, settingsFileName));
}

// Commands that change one setting; each saves the settings at once.
bool settingsCommand(App& app, int32_t command, int32_t argument) {
    Settings& settings = app.settings;
    const int32_t choice = std::clamp(argument, 0, 2);
    switch (command) {
    case commandTheme:
        if (argument < 0 || argument > 2) return true;
        settings.theme = argument;
        saveAppSettings(app);
        applyTheme(app);
        return true;
    case commandFastInterval:
        settings.fastIntervalMs = std::array<int32_t, 3>{1000, 2000, 5000}[size_t(choice)];
        saveAppSettings(app);
        restartTimers(app);
        return true;
    case commandSlowInterval:
        settings.slowIntervalMs = std::array<int32_t, 3>{5000, 10000, 30000}[size_t(choice)];
        saveAppSettings(app);
        restartTimers(app);
        return true;
    case commandProcessMode:
        settings.processMode = choice;
        saveAppSettings(app);
        if (choice == 0)
            processClear(app.machine.processes);
        else if (app.view.page == processesPage)
            processUpdate(app.machine.processes, app.machine.cpu.logicalProcessors);
        // The mode drives the process timer alone; the sampling and SMART timers
        // keep their phase.
        restartProcessTimer(app);
        return true;
    case commandSaveHistory:
        settings.saveHistory = !settings.saveHistory;
        historySetSaving(app.history, settings.saveHistory);
        saveAppSettings(app);
        return true;
    case commandHistoryRange:
        settings.historyRangeMinutes = argument == 0 ? 5 : argument == 1 ? 15 : 60;
        saveAppSettings(app);
        return true;
    case commandNotifications:
        settings.notifications = !settings.notifications;
        saveAppSettings(app);
        return true;
    case commandAlertEnabled: {
        const size_t kind = size_t(std::clamp(argument, 0, alertKindCount - 1));
        settings.alertEnabled[kind] = !settings.alertEnabled[kind];
        saveAppSettings(app);
        return true;
    }
    case commandSafetyLimit:
        settings.safetyLimit =
            std::clamp(settings.safetyLimit + 5 * argument, lowestSafetyLimit, highestSafetyLimit);
        saveAppSettings(app);
        safetyCheck(app);
        return true;
    default: break;
    }
    if (command >= commandAlertThreshold && command < commandAlertThreshold + alertKindCount) {
        const int kind = command - commandAlertThreshold;
        const AlertKindInfo& info = alertKindInfo(static_cast<AlertKind>(kind));
        int32_t& threshold = settings.alertThreshold[size_t(kind)];
        threshold =
            std::min(std::max(threshold + argument * info.step, info.minimum), info.maximum);
        saveAppSettings(app);
        return true;
    }
    return false;
}

void exportHistory(App& app) {
    std::wstring path;
    if (!app.dialogs.saveFile(app.window, exportFileRequest(), path)) return;
    std::wstring error;
    if (historyExport(app.history, path, error))
        messageBox(app, L"Riwayat diekspor ke:\n" + path, MB_ICONINFORMATION);
    else
        messageBox(app, L"Ekspor gagal: " + error, MB_ICONERROR);
}

void clearHistory(App& app) {
    const int answer = messageBox(app,
                                  L"Hapus semua riwayat (di memori dan berkas riwayat di "
                                  L"perangkat ini)? Tindakan ini tidak dapat dibatalkan.",
                                  MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    std::wstring error;
    if (!historyClear(app.history, error))
        messageBox(app, L"Sebagian riwayat gagal dihapus: " + error, MB_ICONERROR);
}

void toggleAutostart(App& app) {
    std::wstring error;
    if (!setAutostart(!isAutostartEnabled(), error))
        messageBox(app, L"Gagal mengubah pengaturan: " + error, MB_ICONERROR);
}

// The metrics folder through the save dialog: the folder of the file name chosen.
void chooseMetricsFolder(App& app) {
    SaveFileRequest request;
    request.filter = std::wstring(L"Berkas metrik Prometheus (*.prom)\0*.prom\0", 42);
    request.initialName = metricsFileName(signedInUser());
    request.defaultExtension = L"prom";
    request.flags = OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    std::wstring path;
    if (!app.dialogs.saveFile(app.window, request, path)) return;
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return;
    if (app.settings.exportMetrics) removeMetricsFile(app);
    app.settings.metricsFolder = path.substr(0, slash == 2 ? 3 : slash);
    saveAppSettings(app);
    exportMetrics(app);
}

// Commands that act rather than change a setting.
bool actionCommand(App& app, int32_t command, int32_t argument) {
    switch (command) {
    case commandAutostart: toggleAutostart(app); return true;
    case commandExportHistory: exportHistory(app); return true;
    case commandClearHistory: clearHistory(app); return true;
    case commandSmartCheck: smartCheck(app.machine.storage); return true;
    case commandProcessSort:
        // The key is not a setting: it lasts until the program closes.
        if (argument < 0) return true;
        app.machine.processes.sortBy = static_cast<uint32_t>(argument);
        processSort(app.machine.processes);
        return true;
    case commandExportMetrics:
        if (app.settings.exportMetrics) removeMetricsFile(app);
        app.settings.exportMetrics = !app.settings.exportMetrics;
        saveAppSettings(app);
        exportMetrics(app);
        return true;
    case commandMetricsFolder: chooseMetricsFolder(app); return true;
    case commandOpenDataFolder:
        ShellExecuteW(app.window, L"open", dataFolder().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        return true;
    default: return false;
    }
}

// Performance control (src/pages/perf_dialogs.h, src/app/perf_control.h):
// choosing and stepping do nothing until the user has confirmed the warning;
// restoring needs no confirmation.
bool perfCommand(App& app, int32_t command, int32_t argument) {
    switch (command) {
    case commandPerfControl: togglePerfControlCommand(app); return true;
    case commandPerfPlan: choosePerfPlan(app, argument); return true;
    case commandPerfPercent: stepPerfPercent(app, argument); return true;
    case commandPerfApply: applyPerfChangeCommand(app); return true;
    case commandPerfRestore: restorePerfSettings(app); return true;
    case commandPerfReset: resetPerfCommand(app); return true;
    default: return false;
    }
}

} // namespace

SaveFileRequest exportFileRequest() {
    SaveFileRequest request;
    request.filter = std::wstring(L"Berkas CSV (*.csv)\0*.csv\0", 26);
    request.initialName = L"riwayat-ovra-monitor.csv";
    request.defaultExtension = L"csv";
    request.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    return request;
}

void executeCommand(App& app, int32_t command, int32_t argument) {
    // Choosing the page already shown does nothing at all, not even a repaint.
    if (command == commandNavigate) return navigateTo(app, argument);
    if (!settingsCommand(app, command, argument) && !actionCommand(app, command, argument))
        perfCommand(app, command, argument);
    invalidateWindow(app);
}

} // namespace ovra
