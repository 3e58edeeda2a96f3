// Photographs every page of the running program, as a user would see it:
//   shoot.exe <program> <output folder> <pages> <client width> <client height> <settle ms>
// starts the program (with this process's environment), waits for its main
// window, sizes its client area (dip, scaled with the window's DPI), lets it
// measure for <settle ms>, then for each digit of <pages> presses Ctrl+digit and
// saves the client area as "<output folder>\page-<digit>.bmp". Closes the
// program at the end. Exit code 0 when every picture was saved.
//   shoot.exe --luid
// prints the LUID of the first hardware graphics adapter as performance-counter
// instance names write it ("luid_0x00000000_0x0000D1A2"), so the simulated PC's
// GPU counters can name the adapter the program will find.
#include <windows.h>
#include <dxgi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr wchar_t windowClass[] = L"OvraMonitorMainWindow";

HWND windowOfProcess(DWORD processId) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, windowClass, nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND waitForWindow(DWORD processId, HANDLE process) {
    for (int i = 0; i < 600; ++i) {
        if (HWND window = windowOfProcess(processId)) return window;
        if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

// Makes the client area exactly width x height pixels, at the top left of the screen.
void sizeClient(HWND window, int width, int height) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int frameX = (outer.right - outer.left) - client.right;
    const int frameY = (outer.bottom - outer.top) - client.bottom;
    SetWindowPos(window, nullptr, 0, 0, width + frameX, height + frameY,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
}

// Ctrl + a top-row digit, pressed for real so the program sees Ctrl held down.
void pressControlDigit(HWND window, wchar_t digit) {
    SetForegroundWindow(window);
    SetFocus(window);
    Sleep(100);
    key(VK_CONTROL, false);
    key(static_cast<WORD>(digit), false);
    key(static_cast<WORD>(digit), true);
    key(VK_CONTROL, true);
}

// Copies a rectangle of `source` (a window's DC, or the screen's with null) into a
// 24-bit BMP file.
bool saveArea(HWND source, RECT area, const std::wstring& path) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width < 1 || height < 1) return false;
    HWND window = source;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height; // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memoryDc && bitmap) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        copied =
            BitBlt(memoryDc, 0, 0, width, height, windowDc, area.left, area.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memoryDc, previous);
    }
    ReleaseDC(window, windowDc);
    if (memoryDc) DeleteDC(memoryDc);

    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageBytes = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + imageBytes;
    bool written = false;
    if (copied) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD done = 0;
            written = WriteFile(file, &header, sizeof(header), &done, nullptr) &&
                      WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &done, nullptr) &&
                      WriteFile(file, bits, imageBytes, &done, nullptr);
            CloseHandle(file);
        }
    }
    if (bitmap) DeleteObject(bitmap);
    return written;
}

// The window's client area as the screen shows it.
bool saveClient(HWND window, const std::wstring& path) {
    RECT client;
    GetClientRect(window, &client);
    return saveArea(window, client, path);
}

// The tip of the program, when one shows.
HWND visibleTip() {
    HWND tip = FindWindowW(L"OvraMonitorTip", nullptr);
    return tip && IsWindowVisible(tip) ? tip : nullptr;
}

// Moves the real pointer down the client area at `x` (dip) until a tip shows, then
// saves the screen around the tip and the pointer.
bool photographTip(HWND window, int x, UINT dpi, const std::wstring& path) {
    RECT client;
    GetClientRect(window, &client);
    for (int y = 0; y < client.bottom; y += MulDiv(10, int(dpi), 96)) {
        POINT at{MulDiv(x, int(dpi), 96), y};
        ClientToScreen(window, &at);
        SetCursorPos(at.x, at.y);
        Sleep(80);
        if (HWND tip = visibleTip()) {
            Sleep(200);
            RECT area;
            GetWindowRect(tip, &area);
            const RECT pointer{at.x, at.y, at.x + 1, at.y + 1};
            UnionRect(&area, &area, &pointer);
            InflateRect(&area, MulDiv(160, int(dpi), 96), MulDiv(60, int(dpi), 96));
            RECT frame;
            GetWindowRect(window, &frame);
            IntersectRect(&area, &area, &frame); // nothing of the empty screen beside it
            return saveArea(nullptr, area, path);
        }
    }
    std::fwprintf(stderr, L"no tip for %ls\n", path.c_str());
    return false;
}

// Opens the tray menu as the shell does, points at an item with the keyboard and
// saves the screen around the menu.
bool photographTrayMenu(HWND window, UINT dpi, const std::wstring& path) {
    POINT anchor{MulDiv(600, int(dpi), 96), MulDiv(120, int(dpi), 96)};
    ClientToScreen(window, &anchor);
    SetCursorPos(anchor.x, anchor.y);
    PostMessageW(window, WM_APP + 1, MAKEWPARAM(anchor.x, anchor.y), MAKELPARAM(WM_CONTEXTMENU, 1));
    HWND menu = nullptr;
    for (int i = 0; i < 100 && !(menu && IsWindowVisible(menu)); ++i, Sleep(50))
        menu = FindWindowW(L"#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return false;
    for (int step = 0; step < 4; ++step)
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    Sleep(500);
    RECT area;
    GetWindowRect(menu, &area);
    InflateRect(&area, MulDiv(24, int(dpi), 96), MulDiv(24, int(dpi), 96));
    const bool saved = saveArea(nullptr, area, path);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    return saved;
}

// A process whose name is too long for its column: a suspended copy of this program.
PROCESS_INFORMATION startLongNamedProcess(std::wstring& copy) {
    wchar_t temp[MAX_PATH] = {}, self[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    copy =
        std::wstring(temp) + L"layanan-sinkronisasi-berkas-latar-belakang-dengan-nama-panjang.exe";
    PROCESS_INFORMATION process{};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (CopyFileW(self, copy.c_str(), FALSE))
        CreateProcessW(copy.c_str(), nullptr, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                       nullptr, &startup, &process);
    return process;
}

// The first adapter DXGI lists that is not the software renderer; 1 when none.
int printAdapterLuid() {
    using CreateFactory = HRESULT(WINAPI*)(REFIID, void**);
    HMODULE dxgi = LoadLibraryExW(L"dxgi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    auto create = dxgi ? reinterpret_cast<CreateFactory>(
                             reinterpret_cast<void*>(GetProcAddress(dxgi, "CreateDXGIFactory1")))
                       : nullptr;
    IDXGIFactory1* factory = nullptr;
    if (!create || FAILED(create(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory))))
        return 1;
    int result = 1;
    IDXGIAdapter1* adapter = nullptr;
    for (UINT i = 0; result != 0 && factory->EnumAdapters1(i, &adapter) == S_OK; ++i) {
        DXGI_ADAPTER_DESC1 desc{};
        if (SUCCEEDED(adapter->GetDesc1(&desc)) && !(desc.Flags & DXGI_ADAPTER_FLAG_SOFTWARE)) {
            std::wprintf(L"luid_0x%08lX_0x%08lX\n",
                         static_cast<unsigned long>(desc.AdapterLuid.HighPart),
                         desc.AdapterLuid.LowPart);
            result = 0;
        }
        adapter->Release();
    }
    factory->Release();
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"--luid") == 0) return printAdapterLuid();
    if (argc != 7) {
        std::fwprintf(stderr, L"usage: shoot.exe <program> <output folder> <pages> <client "
                              L"width dip> <client height dip> <settle ms>\n");
        return 2;
    }
    const std::wstring program = argv[1], folder = argv[2], pages = argv[3];
    const int width = _wtoi(argv[4]), height = _wtoi(argv[5]);
    const DWORD settleMs = static_cast<DWORD>(_wtoi(argv[6]));

    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::fwprintf(stderr, L"could not start %ls (error %lu)\n", program.c_str(),
                      GetLastError());
        return 1;
    }
    int failures = 0;
    HWND window = waitForWindow(process.dwProcessId, process.hProcess);
    if (!window) {
        std::fwprintf(stderr, L"the program showed no window\n");
        failures = 1;
    } else {
        const UINT dpi = GetDpiForWindow(window);
        sizeClient(window, MulDiv(width, static_cast<int>(dpi), 96),
                   MulDiv(height, static_cast<int>(dpi), 96));
        // The pages are taken with the pointer away from the window, so nothing hovers.
        SetCursorPos(0, 0);
        Sleep(settleMs);
        for (wchar_t digit : pages) {
            pressControlDigit(window, digit);
            Sleep(700);
            const std::wstring path = folder + L"\\page-" + digit + L".bmp";
            if (!saveClient(window, path)) {
                std::fwprintf(stderr, L"could not save %ls\n", path.c_str());
                ++failures;
            }
        }
        // The readouts on hover and the tray menu: the whole of a cut process name,
        // a chart's sample, the menu with an item pointed at; each only said when it fails.
        std::wstring copy;
        const PROCESS_INFORMATION waiting = startLongNamedProcess(copy);
        const int sidebar = 208 + 28; // dip
        pressControlDigit(window, L'6');
        Sleep(1500);
        photographTip(window, sidebar + 40, dpi, folder + L"\\extra-tip.bmp");
        pressControlDigit(window, L'2');
        Sleep(700);
        photographTip(window, width - 90, dpi, folder + L"\\extra-readout.bmp");
        SetCursorPos(0, 0);
        if (!photographTrayMenu(window, dpi, folder + L"\\extra-menu.bmp"))
            std::fwprintf(stderr, L"no tray menu photographed\n");
        if (waiting.hProcess) {
            TerminateProcess(waiting.hProcess, 0);
            WaitForSingleObject(waiting.hProcess, 5000);
            CloseHandle(waiting.hThread);
            CloseHandle(waiting.hProcess);
        }
        DeleteFileW(copy.c_str());
        std::wprintf(L"%u dpi, %zu pages\n", dpi, pages.size());
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 15000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return failures == 0 ? 0 : 1;
}
