// The baselines of the idle figure: a window that runs the timers the monitor runs
// on its Summary page (fast 2 s, slow 10 s, SMART 30 min; the process timer runs
// only on the Processes page) and paints a plain fill at each of them.
//   (no option)  an empty window: nothing but the timers and the fill.
//   --ticks      on each timer also the bare Windows calls the monitor's tick makes
//                there: what any program that measures the same things must pay.
//   --dxgi       first lists the graphics adapters once, as the monitor must at
//                start-up: under Wine that alone maps the OpenGL driver stack.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <windows.h>
#include <dxgi.h>
#include <pdh.h>
#include <psapi.h>
#include <setupapi.h>
#include <winioctl.h>

#include <cwchar>
#include <vector>

#include "bare_calls.h"

namespace {

// The counter functions, looked up in the system's pdh.dll like the monitor does.
struct Pdh {
    decltype(&PdhOpenQueryW) open = nullptr;
    decltype(&PdhAddEnglishCounterW) add = nullptr;
    decltype(&PdhCollectQueryData) collect = nullptr;
    decltype(&PdhGetFormattedCounterValue) value = nullptr;
    decltype(&PdhGetFormattedCounterArrayW) array = nullptr;
};

template <class Function> Function find(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A counter query with the counters of one of the monitor's queries.
struct Query {
    PDH_HQUERY handle = nullptr;
    std::vector<PDH_HCOUNTER> single, wildcard;
};

Pdh pdh;
Query fastQuery, gpuQuery, thermalQuery;
std::vector<unsigned char> items(64 * 1024);
bool bareCalls = false;

Query openQuery(std::initializer_list<const wchar_t*> singles,
                std::initializer_list<const wchar_t*> wildcards) {
    Query query;
    if (!pdh.open || pdh.open(nullptr, 0, &query.handle) != ERROR_SUCCESS) return query;
    PDH_HCOUNTER counter = nullptr;
    for (const wchar_t* path : singles)
        if (pdh.add(query.handle, path, 0, &counter) == ERROR_SUCCESS) query.single.push_back(counter);
    for (const wchar_t* path : wildcards)
        if (pdh.add(query.handle, path, 0, &counter) == ERROR_SUCCESS)
            query.wildcard.push_back(counter);
    pdh.collect(query.handle); // rates need a first collection
    return query;
}

void collect(const Query& query) {
    if (!query.handle) return;
    pdh.collect(query.handle);
    for (PDH_HCOUNTER counter : query.single) {
        DWORD type = 0;
        PDH_FMT_COUNTERVALUE value{};
        pdh.value(counter, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, &type, &value);
    }
    for (PDH_HCOUNTER counter : query.wildcard) {
        DWORD bytes = DWORD(items.size()), count = 0;
        pdh.array(counter, PDH_FMT_DOUBLE, &bytes, &count,
                  reinterpret_cast<PDH_FMT_COUNTERVALUE_ITEM_W*>(items.data()));
    }
}

void openQueries() {
    const HMODULE module = LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return;
    pdh = {find<decltype(pdh.open)>(module, "PdhOpenQueryW"),
           find<decltype(pdh.add)>(module, "PdhAddEnglishCounterW"),
           find<decltype(pdh.collect)>(module, "PdhCollectQueryData"),
           find<decltype(pdh.value)>(module, "PdhGetFormattedCounterValue"),
           find<decltype(pdh.array)>(module, "PdhGetFormattedCounterArrayW")};
    if (!pdh.open || !pdh.add || !pdh.collect || !pdh.value || !pdh.array) {
        pdh.open = nullptr;
        return;
    }
    fastQuery = openQuery({L"\\Processor Information(_Total)\\% Processor Performance"},
                          {L"\\LogicalDisk(*)\\Disk Read Bytes/sec",
                           L"\\LogicalDisk(*)\\Disk Write Bytes/sec"});
    gpuQuery = openQuery({}, {L"\\GPU Engine(*)\\Utilization Percentage",
                              L"\\GPU Adapter Memory(*)\\Dedicated Usage",
                              L"\\GPU Adapter Memory(*)\\Shared Usage"});
    thermalQuery = openQuery({}, {L"\\Thermal Zone Information(*)\\Temperature"});
}

// The fast tick's calls: the counter query, processor times, memory, the
// interface table and the clocks.
void fastCalls() {
    collect(fastQuery);
    bench::fastTickSystemCalls();
    GetTickCount64();
}

// The slow tick's calls: the GPU and thermal queries, the power status and the
// battery list, and each drive's type, space, volume and disk number.
void slowCalls() {
    collect(gpuQuery);
    collect(thermalQuery);
    SYSTEM_POWER_STATUS power{};
    GetSystemPowerStatus(&power);
    static const GUID batteryClass = {0x72631e54, 0x78a4, 0x11d0,
                                      {0xbc, 0xf7, 0x00, 0xaa, 0x00, 0xb7, 0xb3, 0x2a}};
    const HDEVINFO list = SetupDiGetClassDevsW(&batteryClass, nullptr, nullptr,
                                               DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (list != INVALID_HANDLE_VALUE) {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        for (DWORD i = 0; i < 8 && SetupDiEnumDeviceInterfaces(list, nullptr, &batteryClass, i, &data);
             ++i) {
        }
        SetupDiDestroyDeviceInfoList(list);
    }
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
    const DWORD mask = GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (!(mask & (1u << (letter - L'A')))) continue;
        const wchar_t root[] = {letter, L':', L'\\', L'\0'};
        const UINT type = GetDriveTypeW(root);
        if (type != DRIVE_FIXED && type != DRIVE_REMOVABLE) continue;
        ULARGE_INTEGER callerFree{}, total{}, totalFree{};
        GetDiskFreeSpaceExW(root, &callerFree, &total, &totalFree);
        wchar_t label[MAX_PATH + 1], system[MAX_PATH + 1];
        DWORD serial = 0, longest = 0, flags = 0;
        GetVolumeInformationW(root, label, MAX_PATH + 1, &serial, &longest, &flags, system,
                              MAX_PATH + 1);
        const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', letter, L':', L'\0'};
        const HANDLE device = CreateFileW(volume, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (device != INVALID_HANDLE_VALUE) {
            STORAGE_DEVICE_NUMBER number{};
            DWORD bytes = 0;
            DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                            sizeof number, &bytes, nullptr);
            CloseHandle(device);
        }
    }
    SetThreadErrorMode(previousMode, nullptr);
}

LRESULT CALLBACK idleWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (bareCalls && wParam == 1) fastCalls();
        if (bareCalls && wParam == 2) slowCalls();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
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
    const auto create = find<CreateFactory>(dxgi, "CreateDXGIFactory1");
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
    bareCalls = commandLine && std::wcsstr(commandLine, L"--ticks");
    if (bareCalls) {
        openQueries();
        fastCalls();
        slowCalls();
    }
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
