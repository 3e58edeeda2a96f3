#include "app/app.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "app/perf_control.h"
#include "app/scheduler.h"
#include "app/tray.h"
#include "app/window.h"
#include "app/window_place.h"
#include "store/data_folder.h"
#include "ui/dpi.h"

namespace ovra {

App::App(std::wstring folder) : folder(std::move(folder)) {
    historyInit(history, appFilePath(*this, L"riwayat.csv"),
                appFilePath(*this, L"riwayat.lama.csv"));
    loadPowerApi(perf.powerApi);
}

std::wstring appFilePath(const App& app, const wchar_t* name) {
    return app.folder.empty() ? dataFilePath(name) : app.folder + L"\\" + name;
}

App::~App() {
    pdhClose(machine.fastQuery);
    pdhClose(machine.gpuQuery);
    pdhClose(machine.thermalQuery);
}

bool windowShowsContent(const App& app) {
    return app.window && IsWindowVisible(app.window) && !IsIconic(app.window);
}

RECT initialWindowRect(int dpi, const RECT& workArea) {
    const int workWidth = workArea.right - workArea.left;
    const int workHeight = workArea.bottom - workArea.top;
    const int width = std::min(scaled(1060, dpi), workWidth);
    const int height = std::min(scaled(720, dpi), workHeight);
    const int x = workArea.left + (workWidth - width) / 2;
    const int y = workArea.top + (workHeight - height) / 2;
    return RECT{x, y, x + width, y + height};
}

int runApp(App& app, HINSTANCE instance, bool startMinimized) {
    app.instance = instance;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    loadSettings(app.settings, appFilePath(app, settingsFileName));
    loadWindowPlace(app.view.place, appFilePath(app, settingsFileName));

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = mainWindowClass;
    RegisterClassExW(&windowClass);

    RECT workArea{0, 0, 1060, 720};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    std::vector<RECT> monitors, workAreas;
    listMonitors(monitors, workAreas);
    const WindowStart start =
        chooseWindowStart(app.view.place, monitorLayoutSignature(monitors), workAreas,
                          initialWindowRect(getDpi(nullptr), workArea));
    const RECT& frame = start.frame;
    HWND window = CreateWindowExW(0, mainWindowClass, productName, WS_OVERLAPPEDWINDOW, frame.left,
                                  frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, &app);
    if (!window) return 1;

    showAtStart(window, start, startMinimized);
    UpdateWindow(window);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) >= 1) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void onCreate(App& app) {
    app.view.dpi = getDpi(app.window);
    createFonts(app.view.fonts, app.view.dpi);
    applyTheme(app);

    registerTaskbarCreated(app);
    startMeasuring(app);
    addTrayIcon(app);
    restartTimers(app);
}

void startMeasuring(App& app) {
    // Every counter is added before the first collection, in a fixed order.
    systemInfoRead(app.machine.system);
    cpuInit(app.machine.cpu, app.machine.fastQuery);
    diskIoInit(app.machine.storage, app.machine.fastQuery);
    gpuInit(app.machine.gpu, app.machine.gpuQuery);
    thermalInit(app.machine.thermal, app.machine.thermalQuery);

    pdhCollect(app.machine.fastQuery);
    pdhCollect(app.machine.gpuQuery);
    pdhCollect(app.machine.thermalQuery);

    cpuUpdate(app.machine.cpu);
    memoryUpdate(app.machine.memory);
    networkUpdate(app.machine.network);
    batteryUpdate(app.machine.battery);
    thermalUpdate(app.machine.thermal);
    gpuUpdate(app.machine.gpu);
    smartCheck(app.machine.storage);

    app.perf.fanControl = fanControlInfo();
    app.perf.overclock = overclockInfo(app.machine.cpu.name);

    historySetSaving(app.history, app.settings.saveHistory);

    recoverAtStartup(app);
}

void onClose(App& app) {
    // Closing always ends the program; a change it could not undo stays on record
    // for the next start, and the user is told so once, plainly.
    const std::wstring reason = L"Aplikasi ditutup.";
    if (!restoreWithReason(app, reason)) {
        // The status line is the reason, a blank and why the restore failed.
        const std::wstring text =
            L"Pengaturan performa tidak dapat dipulihkan saat Ovra Monitor ditutup. " +
            app.perf.perfMessage.substr(reason.size() + 1) +
            L"\n\nNilai asli tetap tersimpan dan akan dipulihkan saat Ovra Monitor dibuka lagi.";
        app.dialogs.messageBox(app.window, text.c_str(), productName, MB_OK | MB_ICONWARNING);
    }
    DestroyWindow(app.window);
}

void onDestroy(App& app) {
    for (uintptr_t id : {fastTimer, slowTimer, processTimer, smartTimer})
        KillTimer(app.window, id);
    historyFlush(app.history);
    saveSettings(app.settings, appFilePath(app, settingsFileName));
    if (app.window)
        saveWindowPlace(currentWindowPlace(app.window), appFilePath(app, settingsFileName));
    if (app.view.trayPresent) {
        removeTrayIcon(app);
        app.view.trayPresent = false;
    }
    deleteFonts(app.view.fonts);
    PostQuitMessage(0);
}

// Windows may end the process after either end-session message, so both undo the
// power settings and write the history; neither ever blocks the shutdown nor
// shows a box. A failed restore is kept on record for the next start.
void onQueryEndSession(App& app) {
    restoreWithReason(app, L"Windows dimatikan atau keluar akun.");
    historyFlush(app.history);
}

void onEndSession(App& app, bool ending) {
    if (ending) onQueryEndSession(app);
}

void onPowerBroadcast(App& app, WPARAM event) {
    if (event == PBT_APMSUSPEND) {
        restoreWithReason(app, L"Perangkat masuk mode tidur.");
        // After sleep the user confirms the performance-control warning again.
        app.perf.perfControlOn = false;
    } else if (event == PBT_APMRESUMEAUTOMATIC) {
        batteryUpdate(app.machine.battery);
        drivesUpdate(app.machine.storage);
    }
}

} // namespace ovra
