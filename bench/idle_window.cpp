// The baseline of the idle figure: an empty window that runs the timers the
// monitor runs on its Summary page (fast 2 s, slow 10 s, SMART 30 min; the
// process timer runs only on the Processes page) and paints a plain fill.
// With --dxgi it first lists the graphics adapters once, as the monitor must at
// start-up: under Wine that alone maps the OpenGL driver stack into the process.
#include <windows.h>
#include <dxgi.h>

#include <cwchar>

namespace {

LRESULT CALLBACK idleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

void listAdaptersOnce() {
    using CreateFactory = HRESULT(WINAPI*)(REFIID, void**);
    HMODULE dxgi = LoadLibraryExW(L"dxgi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!dxgi) return;
    const auto create = reinterpret_cast<CreateFactory>(
        reinterpret_cast<void*>(GetProcAddress(dxgi, "CreateDXGIFactory1")));
    IDXGIFactory1* factory = nullptr;
    if (create && SUCCEEDED(create(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(&factory)))) {
        IDXGIAdapter1* adapter = nullptr;
        for (UINT index = 0;
             index < 64 && SUCCEEDED(factory->EnumAdapters1(index, &adapter)) && adapter; ++index)
            adapter->Release();
        factory->Release();
    }
    FreeLibrary(dxgi);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (commandLine && std::wcsstr(commandLine, L"--dxgi")) listAdaptersOnce();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = idleWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"OvraIdleBaseline";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Idle baseline",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 1060, 720, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 1;
    SetTimer(window, 1, 2000, nullptr);
    SetTimer(window, 2, 10000, nullptr);
    SetTimer(window, 4, 1800000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
