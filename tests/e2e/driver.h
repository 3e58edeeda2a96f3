#pragma once
// Drives the real OvraMonitor.exe from outside, as a user or Windows would.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The program under test, from OVRA_EXE (a Unix path, mapped to Wine's Z: drive).
std::wstring programPath();

// "<roaming application data>\OvraMonitor" of this prefix.
std::wstring dataFolder();
void removeDataFolder();
std::vector<std::wstring> dataFolderFiles(); // names, sorted; empty when absent
bool folderExists(const std::wstring& path);
bool fileExists(const std::wstring& path);
std::string readFile(const std::wstring& path);

// While it lives, programs started run on the simulated PC (tests/fixtures/fake_pdh.cpp):
// they load the stand-in pdh.dll, which serves the counters of the state file at
// `statePath` (a Windows path; write it before or while the program runs).
class OnSimulatedPc {
public:
    explicit OnSimulatedPc(const std::wstring& statePath);
    ~OnSimulatedPc();
    OnSimulatedPc(const OnSimulatedPc&) = delete;
    OnSimulatedPc& operator=(const OnSimulatedPc&) = delete;
};

// One started copy of the program. The destructor ends it if it still runs.
class Program {
public:
    explicit Program(const std::wstring& arguments = L"");
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    DWORD processId() const { return process_.dwProcessId; }
    // Waits for the process's own main window; null on time-out.
    HWND waitForWindow(DWORD timeoutMs = 30000);
    // Waits for the process to end and returns its exit code (STILL_ACTIVE on time-out).
    DWORD waitForExit(DWORD timeoutMs = 30000);
    // Ends the process at once, as a crash would: nothing of its own runs.
    void kill();

private:
    PROCESS_INFORMATION process_{};
};

// Hands a message to the window and waits until it is handled. A message sent to
// another thread overtakes the ones posted before it, so input that a check
// depends on is sent this way rather than posted.
void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Waits until the window has handled the messages sent to it so far.
void settle(HWND window);
// A left click as the mouse makes it: move, press and release at `point`.
void clickAt(HWND window, POINT point);
// The same click when it opens a modal window: the release is posted, so the
// caller goes on while the program waits for an answer.
void clickOpeningDialog(HWND window, POINT point);
// Centre of a sidebar item at 96 DPI.
POINT sidebarItem(int page);

// A simulated system library: the build's fake "<name>.dll" (tests/fakes) put in
// the prefix's system folder and chosen over Wine's own by a DLL override "native"
// for OvraMonitor.exe alone (Wine's per-program AppDefaults key; an override in
// WINEDLLOVERRIDES set here would not reach the started program). The fake keeps
// its state in the text file named by the environment variable `stateVariable`.
// The destructor puts Wine's own file, the override and the environment back.
class FakeSystemLibrary {
public:
    FakeSystemLibrary(const std::wstring& name, const std::wstring& stateVariable,
                      const std::wstring& statePath);
    ~FakeSystemLibrary();
    FakeSystemLibrary(const FakeSystemLibrary&) = delete;
    FakeSystemLibrary& operator=(const FakeSystemLibrary&) = delete;
    bool installed() const { return installed_; }

private:
    std::wstring name_, installedPath_, keptPath_, stateVariable_;
    bool installed_ = false;
};

// The client area as the screen shows it, one 0x00RRGGBB value per pixel.
struct Screen {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
Screen capture(HWND window);

constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
// Colours of the light theme.
constexpr uint32_t lightBackground = rgb(0xF3, 0xF5, 0xF7), darkBackground = rgb(0x16, 0x18, 0x1C);
constexpr uint32_t lightAccent = rgb(0x0D, 0x7A, 0x6A), lightToggleOff = rgb(0xBE, 0xC6, 0xCD);
constexpr int pageLeft = 236; // sidebar and margin at 96 DPI

// The right margin of the page area shows the page background.
uint32_t pageBackground(HWND window);

// The first point of the page area, row by row, where `colour` runs at least
// `run` pixels down; (-1, -1) when there is none.
POINT firstColumnRun(const Screen& screen, uint32_t colour, int run);
// The same from the bottom up: the lowest pixel of the lowest such run.
POINT lastColumnRun(const Screen& screen, uint32_t colour, int run);

// A message box of the process with this caption, shown and waiting for an
// answer; null when there is none.
HWND messageBoxOf(DWORD processId, const std::wstring& caption);
// The texts the message box shows, one per static control, joined by newlines.
std::wstring messageBoxText(HWND box);
// Answers the message box as a click on its button `id` (IDYES, IDOK, ...) would.
void answer(HWND box, int id);

// A visible balloon: a tooltip window of another process than the program's (the
// shell's notification area draws it).
bool balloonShown(DWORD programId);

// Every top-level window of the main window class.
std::vector<HWND> mainWindows();

// Polls `condition` every 50 ms until it holds or the time is up.
template <class Condition> bool eventually(Condition condition, DWORD timeoutMs = 10000) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(50);
    }
}

} // namespace e2e
