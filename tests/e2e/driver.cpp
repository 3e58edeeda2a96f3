#include "driver.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "support/wine.h"

namespace e2e {

namespace {

// Wine gives a started program the WINEDLLOVERRIDES of the Unix side, whatever a
// Windows parent puts into its environment, so the override for the program is its
// own key in the prefix's registry, read when it starts.
constexpr wchar_t programOverridesKey[] =
    L"Software\\Wine\\AppDefaults\\OvraMonitor.exe\\DllOverrides";

// Every case starts the real program, which keeps its files in the user's data
// folder; the cases remove that folder, edit settings.ini and switch the theme.
// That is only harmless in a Wine prefix, so on a real Windows PC none runs.
class WinePrefixOnly : public testing::Environment {
public:
    void SetUp() override {
        if (!ovra::test::runningUnderWine())
            GTEST_SKIP() << "the end-to-end cases change the user's data folder and theme, so "
                            "they run only in a Wine prefix";
        // A case that ended early may have left the program on the simulated PC.
        for (const wchar_t* library : {L"pdh", L"powrprof"})
            RegDeleteKeyValueW(HKEY_CURRENT_USER, programOverridesKey, library);
    }
};
testing::Environment* const winePrefixOnly = testing::AddGlobalTestEnvironment(new WinePrefixOnly);

constexpr wchar_t windowClass[] = L"OvraMonitorMainWindow";

HWND windowOfProcess(DWORD processId) {
    for (HWND window : mainWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

} // namespace

std::wstring programPath() {
    const char* unixPath = std::getenv("OVRA_EXE");
    if (!unixPath || !*unixPath) return L"OvraMonitor.exe";
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c)
        path += (*c == '/') ? L'\\' : wchar_t(*c);
    return path;
}

OnSimulatedPc::OnSimulatedPc(const std::wstring& statePath) {
    const wchar_t native[] = L"native";
    RegSetKeyValueW(HKEY_CURRENT_USER, programOverridesKey, L"pdh", REG_SZ, native, sizeof(native));
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", statePath.c_str());
}

OnSimulatedPc::~OnSimulatedPc() {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, programOverridesKey, L"pdh");
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", nullptr);
}

std::wstring dataFolder() {
    wchar_t appData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    return std::wstring(appData) + L"\\OvraMonitor";
}

std::vector<std::wstring> dataFolderFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((dataFolder() + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void removeDataFolder() {
    for (const std::wstring& name : dataFolderFiles())
        DeleteFileW((dataFolder() + L"\\" + name).c_str());
    RemoveDirectoryW(dataFolder().c_str());
}

bool folderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool fileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string readFile(const std::wstring& path) {
    std::string content;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return content;
}

void deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_BLOCK, 5000, &ignored);
}

void settle(HWND window) {
    deliver(window, WM_NULL, 0, 0);
}

void clickAt(HWND window, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    deliver(window, WM_MOUSEMOVE, 0, where);
    deliver(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    deliver(window, WM_LBUTTONUP, 0, where);
}

void clickOpeningDialog(HWND window, POINT point) {
    const LPARAM where = MAKELPARAM(point.x, point.y);
    deliver(window, WM_MOUSEMOVE, 0, where);
    deliver(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageW(window, WM_LBUTTONUP, 0, where);
}

POINT sidebarItem(int page) {
    return POINT{100, 78 + 38 * page + 18};
}

namespace {

std::wstring testProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L'\\'));
}

} // namespace

FakeSystemLibrary::FakeSystemLibrary(const std::wstring& name, const std::wstring& stateVariable,
                                     const std::wstring& statePath)
    : name_(name), stateVariable_(stateVariable) {
    if (!ovra::test::runningUnderWine()) return;
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    installedPath_ = std::wstring(system) + L"\\" + name + L".dll";
    keptPath_ = installedPath_ + L".wine";
    // Wine's own file is kept aside once; a test that died earlier already did.
    if (GetFileAttributesW(keptPath_.c_str()) == INVALID_FILE_ATTRIBUTES &&
        !CopyFileW(installedPath_.c_str(), keptPath_.c_str(), TRUE))
        return;
    const std::wstring fake = testProgramFolder() + L"\\fakes\\" + name + L".dll";
    if (!CopyFileW(fake.c_str(), installedPath_.c_str(), FALSE)) return;
    const wchar_t native[] = L"native";
    if (RegSetKeyValueW(HKEY_CURRENT_USER, programOverridesKey, name.c_str(), REG_SZ, native,
                        sizeof(native)) != ERROR_SUCCESS)
        return;
    SetEnvironmentVariableW(stateVariable.c_str(), statePath.c_str());
    installed_ = true;
}

FakeSystemLibrary::~FakeSystemLibrary() {
    if (keptPath_.empty()) return;
    SetEnvironmentVariableW(stateVariable_.c_str(), nullptr);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, programOverridesKey, name_.c_str());
    if (GetFileAttributesW(keptPath_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    if (CopyFileW(keptPath_.c_str(), installedPath_.c_str(), FALSE)) DeleteFileW(keptPath_.c_str());
}

Screen capture(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    Screen screen;
    screen.width = client.right;
    screen.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = screen.width;
    info.bmiHeader.biHeight = -screen.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        BitBlt(memoryDc, 0, 0, screen.width, screen.height, windowDc, 0, 0, SRCCOPY);
        SelectObject(memoryDc, previous);
        const uint32_t* first = static_cast<const uint32_t*>(bits);
        screen.pixels.assign(first, first + size_t(screen.width) * size_t(screen.height));
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

namespace {

bool runsDown(const Screen& screen, int x, int y, uint32_t colour, int run) {
    for (int n = 0; n < run; ++n)
        if (screen.at(x, y + n) != colour) return false;
    return true;
}

} // namespace

POINT firstColumnRun(const Screen& screen, uint32_t colour, int run) {
    for (int y = 0; y + run <= screen.height; ++y)
        for (int x = pageLeft; x < screen.width; ++x)
            if (runsDown(screen, x, y, colour, run)) return POINT{x, y};
    return POINT{-1, -1};
}

POINT lastColumnRun(const Screen& screen, uint32_t colour, int run) {
    for (int y = screen.height - run; y >= 0; --y)
        for (int x = pageLeft; x < screen.width; ++x)
            if (runsDown(screen, x, y, colour, run)) return POINT{x, y + run - 1};
    return POINT{-1, -1};
}

namespace {

struct BoxSearch {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK findBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    wchar_t name[16] = {}, title[256] = {};
    GetClassNameW(window, name, 16);
    GetWindowTextW(window, title, 256);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && std::wstring(name) == L"#32770" && IsWindowVisible(window) &&
        *search->caption == title)
        search->found = window;
    return search->found == nullptr;
}

BOOL CALLBACK collectStaticText(HWND child, LPARAM data) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") != 0) return TRUE;
    wchar_t text[2048] = {};
    GetWindowTextW(child, text, 2048);
    auto* all = reinterpret_cast<std::wstring*>(data);
    if (*text) *all += std::wstring(text) + L"\n";
    return TRUE;
}

} // namespace

HWND messageBoxOf(DWORD processId, const std::wstring& caption) {
    BoxSearch search{processId, &caption, nullptr};
    EnumWindows(findBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring messageBoxText(HWND box) {
    std::wstring all;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&all));
    return all;
}

void answer(HWND box, int id) {
    // Posted: the box ends its own loop, and the program goes on from there.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
}

bool balloonShown(DWORD programId) {
    struct Search {
        DWORD programId;
        bool found;
    } search{programId, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (std::wstring(name) == L"tooltips_class32" && IsWindowVisible(window) &&
                owner != search->programId)
                search->found = true;
            return !search->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> mainWindows() {
    std::vector<HWND> windows;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr)
        windows.push_back(window);
    return windows;
}

Program::Program(const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + programPath() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        process_ = {};
}

Program::~Program() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        if (HWND window = windowOfProcess(process_.dwProcessId))
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 10000) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Program::waitForWindow(DWORD timeoutMs) {
    HWND window = nullptr;
    eventually([&] { return (window = windowOfProcess(process_.dwProcessId)) != nullptr; },
               timeoutMs);
    return window;
}

void Program::kill() {
    if (!process_.hProcess) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
}

DWORD Program::waitForExit(DWORD timeoutMs) {
    if (!process_.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

} // namespace e2e
