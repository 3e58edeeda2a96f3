#pragma once
// The one application object: it owns every record of the program for the life
// of the process. Everything runs on the window's thread, inside its messages.
#include <array>
#include <cstdint>
#include <string>
#include <vector>
#include <windows.h>

#include "a11y/host.h"
#include "app/dialogs.h"
#include "health/alerts.h"
#include "perf/perf_engine.h"
#include "perf/power_api.h"
#include "perf/unsupported.h"
#include "sources/battery.h"
#include "sources/cpu.h"
#include "sources/gpu.h"
#include "sources/memory.h"
#include "sources/network.h"
#include "sources/pdh_query.h"
#include "sources/processes.h"
#include "sources/storage.h"
#include "sources/system_info.h"
#include "sources/thermal.h"
#include "store/history.h"
#include "store/settings.h"
#include "ui/fonts.h"
#include "ui/hit_region.h"
#include "ui/palette.h"
#include "ui/ui.h"

namespace ovra {

inline constexpr wchar_t mainWindowClass[] = L"OvraMonitorMainWindow";
inline constexpr wchar_t productName[] = L"Ovra Monitor";
inline constexpr wchar_t settingsFileName[] = L"settings.ini";
inline constexpr int pageCount = 9;
// The pages in sidebar order; the number is the page everywhere (Ctrl+1 is the first).
inline constexpr int summaryPage = 0;
inline constexpr int perfPage = 1;
inline constexpr int storagePage = 2;
inline constexpr int batteryPage = 3;
inline constexpr int sensorsPage = 4;
inline constexpr int processesPage = 5;
inline constexpr int perfControlPage = 7;

// Every user action is a command: an id and one argument, recorded by the pages
// with a rectangle while painting (app/commands.cpp carries them out).
enum Command : int32_t {
    commandNavigate = 1,         // page index
    commandTheme = 2,            // 0 light, 1 dark, 2 follow Windows
    commandFastInterval = 3,     // choice 0..2
    commandSlowInterval = 4,     // choice 0..2
    commandProcessMode = 5,      // 0 off, 1 every 3 s, 2 every 10 s
    commandAutostart = 6,        // toggles
    commandSaveHistory = 7,      // toggles
    commandExportHistory = 8,    //
    commandClearHistory = 9,     //
    commandHistoryRange = 10,    // choice 0 (5 min), 1 (15 min), else 60 min
    commandNotifications = 11,   // toggles
    commandAlertEnabled = 12,    // alert kind
    commandProcessSort = 13,     // sort key
    commandSmartCheck = 14,      //
    commandPerfControl = 20,     // switches performance control on or off
    commandPerfPlan = 21,        // index into the plan list
    commandPerfPercent = 22,     // -1 or +1
    commandPerfApply = 23,       //
    commandPerfRestore = 24,     //
    commandPerfReset = 25,       //
    commandSafetyLimit = 26,     // -1 or +1
    commandOpenDataFolder = 27,  //
    commandExportMetrics = 28,   // toggles
    commandMetricsFolder = 29,   // asks for the folder
    commandAlertThreshold = 100, // + alert kind; argument -1 or +1
};

// What the window shows and where the user is in it.
struct View {
    int dpi = 96;
    Palette palette = buildPalette(false);
    FontSet fonts;
    std::vector<HitRegion> hits;
    // What the last paint drew as text, kept only while recordTextRuns is set.
    bool recordTextRuns = false;
    std::vector<TextRun> textRuns;
    PaintMemory paintMemory; // cards, their fingerprints and heights, from the last paint
    int page = 0;
    // Each page keeps its offset and the height its last paint measured, so a
    // short page never clamps the offset of a long one.
    std::array<int, pageCount> scrollOffsets{};
    std::array<int, pageCount> contentHeights{};
    POINT mouse{-10000, -10000};
    int hovered = -1;
    bool pressedInClient = false; // the left button went down inside the client area
    std::vector<RECT> tipAreas;   // what offers a tip under the pointer, from the last paint
    HoverTip tip;                 // what the last paint found under the pointer
    HWND tipWindow = nullptr;     // made at the first tip
    int scrollGrab = -1; // while the scroll thumb is dragged: the pointer's distance from its top
    bool trayPresent = false;
    AccessState access; // keyboard focus and screen readers
    UINT taskbarCreatedMessage = 0;
    WindowPlace place; // where the window ended last time, then where it ends now
};

// The machine's readings: one record per source and the three counter queries
// they are collected from.
struct Machine {
    SystemInfo system;
    PdhQuery fastQuery;
    PdhQuery gpuQuery;
    PdhQuery thermalQuery;
    CpuInfo cpu;
    MemoryInfo memory;
    NetworkInfo network;
    StorageInfo storage;
    BatteryInfo battery;
    GpuInfo gpu;
    ThermalInfo thermal;
    ProcessList processes;
};

// Performance control: the bound power library, what the device offers, the
// state in force and the user's choices on the page.
struct PerfControl {
    PowerApi powerApi;
    PerfCaps perfCaps;
    PowerState powerState;
    bool capsProbed = false;
    Reading<bool> fanControl;
    Reading<bool> overclock;
    bool perfControlOn = false; // the user confirmed the performance-control warning
    int32_t selectedPlan = -1;
    uint32_t selectedPercent = 100;
    std::wstring perfMessage;
    bool perfMessageIsError = false;
    // The cause of an automatic restore that failed and was announced; empty while
    // none is pending. Set, it sends the retries to the slow tick.
    std::wstring perfRestoreFailedCause;
    // The recovery file exists: looked at once at start-up and after each of the
    // program's own writes and deletes of it, so no tick asks the file system.
    bool changeInForce = false;
};

// The program's version, as the settings page, the sidebar and the metrics file show it.
#define OVRA_VERSION L"1.0.0"

struct App {
    // folder: where the program keeps its files; empty for the per-user data
    // folder. Tests give a folder of their own.
    explicit App(std::wstring folder = {});
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    std::wstring folder; // empty: the data folder, looked up at every use
    HINSTANCE instance = nullptr;
    HWND window = nullptr; // null until the window exists: ticks and start-up work without one
    View view;
    Settings settings;
    Machine machine;
    HistoryStore history;
    AlertState alerts;
    PerfControl perf;
    std::wstring metricsError; // why the metrics file could not be written; empty when it was

    // The message boxes and the save dialog of the commands.
    Dialogs dialogs;

    // The pages: each draws from the top y down in the page area and returns the
    // y below its last element.
    int pageSummary(Ui& ui, int x, int y, int width);
    int pagePerf(Ui& ui, int x, int y, int width);
    int pageStorage(Ui& ui, int x, int y, int width);
    int pageBattery(Ui& ui, int x, int y, int width);
    int pageSensors(Ui& ui, int x, int y, int width);
    int pageProc(Ui& ui, int x, int y, int width);
    int pageHistory(Ui& ui, int x, int y, int width);
    int pagePro(Ui& ui, int x, int y, int width);
    int pageSettings(Ui& ui, int x, int y, int width);
};

// The window's first frame: 1060 x 720 at `dpi`, at most the work area, centred.
RECT initialWindowRect(int dpi, const RECT& workArea);

// The path of one of the program's files (settings, history, recovery file).
std::wstring appFilePath(const App& app, const wchar_t* name);

// Loads the settings, creates the main window and runs the message loop.
// Returns 1 when the window cannot be created, else 0 when the loop ends.
int runApp(App& app, HINSTANCE instance, bool startMinimized);

// Window creation: fonts, theme, startMeasuring, tray icon, timers.
void onCreate(App& app);

// The start-up that needs no window: sources initialised and read once, history
// saving as set, and recovery of power settings left changed by a previous run.
void startMeasuring(App& app);

// The ways the program ends or sleeps.
void onClose(App& app);
void onDestroy(App& app);
void onQueryEndSession(App& app);
void onEndSession(App& app, bool ending);
void onPowerBroadcast(App& app, WPARAM event);

// Undoes any power-setting change recorded in the recovery file and puts the
// reason and the result into perfMessage; does nothing when none is recorded.
bool restoreWithReason(App& app, const std::wstring& reason);

// Whether performance control may be used now; otherwise false with the reason.
bool checkPerfGate(const App& app, std::wstring& reason);

// An automatic restore failed and its record is still there: the retries run at
// the slow tick only, and the page says so.
bool perfRestoreFailing(const App& app);

// Restores the power settings when the temperature sensor is lost or the safety
// limit is reached; does nothing unless a change is active.
void safetyCheck(App& app);

// Re-applies the palette and the title-bar colour for the theme setting.
void applyTheme(App& app);

// The window is visible and not minimised, so painting is worth it.
bool windowShowsContent(const App& app);

} // namespace ovra
