#include "driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/wine.h"

namespace e2e {

namespace {

// Wine hands a started program the Unix side's WINEDLLOVERRIDES, whatever its
// parent sets, so a program's override is its own key, read when it starts.
constexpr wchar_t overridesKey[] = L"Software\\Wine\\AppDefaults\\OvraMonitor.exe\\DllOverrides";

void setOverride(const wchar_t* library, bool native) {
    native ? RegSetKeyValueW(HKEY_CURRENT_USER, overridesKey, library, REG_SZ, L"native", 14)
           : RegDeleteKeyValueW(HKEY_CURRENT_USER, overridesKey, library);
}

// The cases change the user's data folder and theme: harmless only in a Wine prefix.
class WinePrefixOnly : public testing::Environment {
    void SetUp() override {
        if (!ovra::test::runningUnderWine()) GTEST_SKIP() << "runs only in a Wine prefix";
        setOverride(L"pdh", false); // left by a case that died
        setOverride(L"powrprof", false);
    }
};
testing::Environment* const winePrefixOnly = testing::AddGlobalTestEnvironment(new WinePrefixOnly);

DWORD ownerOf(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

} // namespace

std::wstring programPath() {
    std::wstring path = L"Z:";
    for (const char* c = std::getenv("OVRA_EXE"); c && *c; ++c)
        path += *c == '/' ? L'\\' : wchar_t(*c);
    return path.size() > 2 ? path : L"OvraMonitor.exe";
}

void simulatePc(const wchar_t* statePath) {
    setOverride(L"pdh", statePath != nullptr);
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", statePath);
}

std::wstring dataFolder() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\OvraMonitor";
}

void removeDataFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dataFolder(), ignored);
}

bool fileExists(const std::wstring& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

std::string readFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, nullptr);
}

void clickOpeningDialog(HWND window, POINT point) {
    deliver(window, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    deliver(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

void pressChord(WORD modifier, WORD key) {
    INPUT inputs[4] = {};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = i == 0 || i == 3 ? modifier : key;
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, inputs, sizeof(INPUT));
}

void clickAt(HWND window, POINT point) {
    clickOpeningDialog(window, point);
    settle(window);
}

FakeSystemLibrary::FakeSystemLibrary(const std::wstring& name, const std::wstring& stateVariable,
                                     const std::wstring& statePath)
    : name_(name), stateVariable_(stateVariable) {
    wchar_t system[MAX_PATH] = {}, self[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    installedPath_ = std::wstring(system) + L"\\" + name + L".dll";
    keptPath_ = installedPath_ + L".wine"; // kept once: a case that died already did
    const std::wstring fake =
        std::wstring(self, wcsrchr(self, L'\\')) + L"\\fakes\\" + name + L".dll";
    installed_ =
        (fileExists(keptPath_) || CopyFileW(installedPath_.c_str(), keptPath_.c_str(), TRUE)) &&
        CopyFileW(fake.c_str(), installedPath_.c_str(), FALSE);
    setOverride(name.c_str(), installed_);
    if (installed_) SetEnvironmentVariableW(stateVariable.c_str(), statePath.c_str());
}

FakeSystemLibrary::~FakeSystemLibrary() {
    SetEnvironmentVariableW(stateVariable_.c_str(), nullptr);
    setOverride(name_.c_str(), false);
    if (fileExists(keptPath_) && CopyFileW(keptPath_.c_str(), installedPath_.c_str(), FALSE))
        DeleteFileW(keptPath_.c_str());
}

Screen capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Screen screen{client.right, client.bottom, {}};
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(info.bmiHeader), screen.width, -screen.height, 1, 32, 0, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC windowDc = GetDC(window), memoryDc = CreateCompatibleDC(windowDc);
    if (HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, screen.width, screen.height, windowDc, 0, 0, SRCCOPY);
        SelectObject(memoryDc, previous);
        screen.pixels.assign(static_cast<const uint32_t*>(bits),
                             static_cast<const uint32_t*>(bits) + screen.width * screen.height);
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return screen;
}

uint32_t pageBackground(HWND window) {
    const Screen screen = capture(window);
    return screen.pixels.empty() ? 0 : screen.at(screen.width - 20, screen.height - 20);
}

POINT columnRun(const Screen& screen, uint32_t colour, int run, bool fromTop) {
    for (int row = 0; row + run <= screen.height; ++row) {
        const int y = fromTop ? row : screen.height - run - row;
        for (int x = pageLeft, n = 0; x < screen.width; ++x, n = 0) {
            while (n < run && screen.at(x, y + n) == colour)
                ++n;
            if (n == run) return POINT{x, fromTop ? y : y + run - 1};
        }
    }
    return POINT{-1, -1};
}

HWND messageBoxOf(DWORD processId, const std::wstring& caption) {
    for (HWND box : topWindows(L"#32770")) {
        wchar_t title[256] = {};
        GetWindowTextW(box, title, 256);
        if (ownerOf(box) == processId && IsWindowVisible(box) && caption == title) return box;
    }
    return nullptr;
}

void answer(HWND box, int id) { // posted: the box ends its own loop
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(box, id)));
}

std::vector<HWND> topWindows(const wchar_t* className) {
    std::vector<HWND> windows;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr));)
        windows.push_back(w);
    return windows;
}

Program::Program(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + programPath() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        process_ = {};
}

Program::~Program() {
    if (!process_.hProcess) return;
    if (HWND window = waitForExit(0) == STILL_ACTIVE ? waitForWindow(0) : nullptr)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (waitForExit(10000) == STILL_ACTIVE) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::waitForWindow(DWORD timeoutMs) {
    HWND found = nullptr;
    eventually(
        [&] {
            for (HWND window : topWindows(mainWindowClass))
                if (ownerOf(window) == process_.dwProcessId) found = window;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

DWORD Program::waitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (process_.hProcess && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void Program::kill() {
    if (process_.hProcess) TerminateProcess(process_.hProcess, 1);
    waitForExit(10000);
}

} // namespace e2e
