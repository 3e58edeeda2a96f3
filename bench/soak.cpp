// The monitor running for days, compressed: fast ticks, slow ticks, process
// updates and paints of every page through the program's own code, with history
// saving on. After a warm-up nothing may grow: GDI objects, kernel handles and
// private memory stay where they were, the ring stays at 1800 samples and the
// history never takes more than its two files.
//
//   ovra_soak [fast ticks] [paints]     (default 100000 and 10000; exit 1 on growth)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "canvas.h"
#include "app/scheduler.h"
#include "app/window.h"
#include "store/history.h"
#include "support/process_resources.h"

using namespace ovra;

namespace {

constexpr uint64_t rotationBytes = 8'388'608;

struct Resources {
    size_t gdi = 0, handles = 0;
    uint64_t privateBytes = 0;
};

double nowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

Resources resourcesNow() {
    HANDLE self = GetCurrentProcess();
    return Resources{test::gdiObjectCount(self), test::kernelHandleCount(GetCurrentProcessId()),
                     test::privateBytes(self)};
}

uint64_t fileBytes(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::vector<std::wstring> historyFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\riwayat*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// A history file that has been growing for days: a few thousand rows short of
// rotation, so that the run rotates it.
void seedHistoryFile(const std::wstring& path, const Sample& sample, uint64_t roomBytes) {
    const std::string row = formatCsvRow(sample);
    std::string text = csvHeader;
    while (text.size() + row.size() < rotationBytes - roomBytes)
        text += row;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

void removeFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const long ticks = argc > 1 ? std::atol(argv[1]) : 100000;
    const long paints = argc > 2 ? std::atol(argv[2]) : 10000;
    if (ticks < 2000 || paints < 10) {
        std::fprintf(stderr, "soak: at least 2000 ticks and 10 paints\n");
        return 2;
    }

    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        std::wstring(temp) + L"ovra-soak-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);

    bool ok = true;
    auto fail = [&ok](const char* what) {
        std::printf("soak: FAILED: %s\n", what);
        ok = false;
    };
    {
        auto app = std::make_unique<App>(folder);
        startMeasuring(*app);
        Sample seed;
        seed.time = 133'000'000'000'000'000ull;
        seed.cpuPercent = 12.5f;
        seed.ramPercent = 48.0f;
        // Rows are 40 to 70 bytes: rotation comes within the first quarter of the run.
        seedHistoryFile(appFilePath(*app, L"riwayat.csv"), seed, uint64_t(ticks) * 8);
        historySetSaving(app->history, true);
        createFonts(app->view.fonts, app->view.dpi);
        bench::Canvas canvas(1060, 720);
        const RECT client{0, 0, 1060, 720};
        // A shown window of the same size: after each tick the cards that changed
        // are invalidated in it and painted at once, as the real window would.
        HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1060, 720,
                                      nullptr, nullptr, nullptr, nullptr);
        long parts = 0;

        const long ticksPerPaint = ticks / paints > 0 ? ticks / paints : 1;
        const long warmUp = ticks / 10;
        Resources before{}, after{};
        long painted = 0;
        double fastMs = 0, slowMs = 0, paintMs = 0;
        for (long tick = 1; tick <= ticks; ++tick) {
            double start = nowMs();
            fastTick(*app);
            fastMs += nowMs() - start;
            RECT update{};
            app->window = window;
            invalidateChangedParts(*app);
            app->window = nullptr;
            if (window && GetUpdateRect(window, &update, FALSE)) {
                paintWindow(*app, canvas.dc, client, update);
                ValidateRect(window, nullptr);
                ++parts;
            }
            if (tick % 10 == 0) {
                start = nowMs();
                slowTick(*app);
                slowMs += nowMs() - start;
            }
            if (tick % ticksPerPaint == 0 && painted < paints) {
                app->view.page = int(painted % pageCount);
                if (app->view.page == processesPage)
                    processUpdate(app->machine.processes, app->machine.cpu.logicalProcessors);
                const double paintStart = nowMs();
                paintWindow(*app, canvas.dc, client);
                paintMs += nowMs() - paintStart;
                if (window) ValidateRect(window, nullptr);
                ++painted;
            }
            if (tick == warmUp) before = resourcesNow();
        }
        historyFlush(app->history);
        after = resourcesNow();
        if (window) DestroyWindow(window);
        std::printf("soak: %ld parts painted after a tick\n", parts);

        std::printf("soak: %ld fast ticks (%.2f ms each), %ld slow ticks (%.2f ms each), %ld "
                    "paints (%.2f ms each)\n",
                    ticks, fastMs / ticks, ticks / 10, slowMs / double(ticks / 10), painted,
                    painted ? paintMs / painted : 0.0);
        std::printf("soak: GDI objects %zu -> %zu, kernel handles %zu -> %zu, private memory "
                    "%.1f -> %.1f MB\n",
                    before.gdi, after.gdi, before.handles, after.handles,
                    double(before.privateBytes) / 1048576, double(after.privateBytes) / 1048576);
        if (before.gdi == 0 || before.handles == 0 || before.privateBytes == 0)
            fail("a resource count is not available here");
        if (after.gdi > before.gdi) fail("GDI objects grew");
        if (after.handles > before.handles) fail("kernel handles grew");
        // The heap may settle a little after the warm-up; a leak of one small
        // allocation per tick would add megabytes.
        if (after.privateBytes > before.privateBytes + 1'048'576) fail("private memory grew");

        if (app->history.count != historyCapacity) fail("the ring does not hold 1800 samples");
        const std::vector<std::wstring> files = historyFiles(folder);
        std::printf("soak: history files:");
        for (const std::wstring& name : files)
            std::printf(" %ls (%llu bytes)", name.c_str(),
                        static_cast<unsigned long long>(fileBytes(folder + L"\\" + name)));
        std::printf("\n");
        if (files.size() != 2) fail("the history is not exactly its two files");
        for (const std::wstring& name : files)
            if (fileBytes(folder + L"\\" + name) > rotationBytes + 65536)
                fail("a history file outgrew the rotation size");
        deleteFonts(app->view.fonts);
    }
    removeFolder(folder);
    std::printf("soak: %s\n", ok ? "no growth" : "FAILED");
    return ok ? 0 : 1;
}
