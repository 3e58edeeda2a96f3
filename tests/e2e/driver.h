#pragma once
// Drives the real OvraMonitor.exe from outside, as a user or Windows would.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

std::wstring programPath(); // OVRA_EXE (a Unix path) on Wine's Z: drive
std::wstring dataFolder();  // "<roaming application data>\OvraMonitor" of this prefix
void removeDataFolder();
bool fileExists(const std::wstring& path);
std::string readFile(const std::wstring& path);

// Programs started load the simulated PC's pdh.dll (tests/fixtures/fake_pdh.cpp) with
// this state file; null: Wine's own again. OnSimulatedPc does it while it lives.
void simulatePc(const wchar_t* statePath);
struct OnSimulatedPc {
    explicit OnSimulatedPc(const std::wstring& statePath) { simulatePc(statePath.c_str()); }
    ~OnSimulatedPc() { simulatePc(nullptr); }
};

// One started copy of the program; the destructor closes it, or ends it after 10 s.
class Program {
public:
    explicit Program(const std::wstring& arguments = L"");
    ~Program();
    Program(const Program&) = delete;
    DWORD processId() const { return process_.dwProcessId; }
    HWND waitForWindow(DWORD timeoutMs = 30000); // its main window; null on time-out
    DWORD waitForExit(DWORD timeoutMs = 30000);  // the exit code; STILL_ACTIVE on time-out
    void kill();                                 // as a crash: nothing of its own runs

private:
    PROCESS_INFORMATION process_{};
};

// Sent and waited for, as a sent message overtakes posted ones.
void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
inline void settle(HWND window) { // the messages sent so far are handled
    deliver(window, WM_NULL, 0, 0);
}
void clickAt(HWND window, POINT point);
// Real key presses through the input queue: `key` while `modifier` is held down.
void pressChord(WORD modifier, WORD key);
void clickOpeningDialog(HWND window, POINT point); // the release is posted
inline POINT sidebarItem(int page) {               // its centre at 96 DPI
    return POINT{100, 78 + 38 * page + 18};
}

// The build's fake "<name>.dll" (tests/fakes) in the prefix's system folder, chosen
// over Wine's by a per-program DLL override, its state file named by `stateVariable`;
// the destructor puts Wine's file, the override and the environment back.
class FakeSystemLibrary {
public:
    FakeSystemLibrary(const std::wstring& name, const std::wstring& stateVariable,
                      const std::wstring& statePath);
    ~FakeSystemLibrary();
    bool installed() const { return installed_; }

private:
    std::wstring name_, installedPath_, keptPath_, stateVariable_;
    bool installed_ = false;
};

struct Screen { // the client area as shown, one 0x00RRGGBB value per pixel
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};
Screen capture(HWND window);
constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return (r << 16) | (g << 8) | b;
}
constexpr uint32_t lightBackground = rgb(0xF3, 0xF5, 0xF7), darkBackground = rgb(0x16, 0x18, 0x1C);
constexpr uint32_t lightAccent = rgb(0x0D, 0x7A, 0x6A), lightToggleOff = rgb(0xBE, 0xC6, 0xCD);
constexpr int pageLeft = 236;         // sidebar and margin at 96 DPI
uint32_t pageBackground(HWND window); // the page area's right margin
// The first point of the page area, row by row, where `colour` runs `run` pixels down,
// or from the bottom the lowest pixel of the lowest run; (-1, -1) when there is none.
POINT columnRun(const Screen& screen, uint32_t colour, int run, bool fromTop);
inline POINT firstColumnRun(const Screen& screen, uint32_t colour, int run) {
    return columnRun(screen, colour, run, true);
}
inline POINT lastColumnRun(const Screen& screen, uint32_t colour, int run) {
    return columnRun(screen, colour, run, false);
}

HWND messageBoxOf(DWORD processId, const std::wstring& caption); // shown, or null
void answer(HWND box, int id);                                   // as a click on its button `id`

constexpr wchar_t mainWindowClass[] = L"OvraMonitorMainWindow";
std::vector<HWND> topWindows(const wchar_t* className); // every one of the class

template <class Condition> bool eventually(Condition condition, DWORD timeoutMs = 10000) {
    for (const ULONGLONG end = GetTickCount64() + timeoutMs; !condition(); Sleep(50))
        if (GetTickCount64() >= end) return false;
    return true;
}

} // namespace e2e
