// The paint figures: one paint of each page, and the history page over a full
// ring, each against a plain fill and copy of the same 1060 x 720 bitmap.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/app.h"
#include "app/scheduler.h"
#include "canvas.h"
#include "harness.h"
#include "app/window.h"

using namespace ovra;

namespace {

constexpr int width = 1060, height = 720;
constexpr const char* pageNames[pageCount] = {"Ringkasan", "Performa", "Penyimpanan",
                                              "Baterai",   "Sensor",   "Proses",
                                              "Riwayat",   "Pro",      "Pengaturan"};

// What any paint must do at least: an off-screen bitmap filled and copied.
void fillAndCopy(HDC target) {
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const RECT all{0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    BitBlt(target, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

uint64_t fileTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return (uint64_t(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

} // namespace

void paintFigures(const std::wstring& folder) {
    auto app = std::make_unique<App>(folder);
    startMeasuring(*app);
    fastTick(*app);
    processUpdate(app->machine.processes, app->machine.cpu.logicalProcessors);
    createFonts(app->view.fonts, app->view.dpi);
    bench::Canvas screen(width, height);
    const RECT client{0, 0, width, height};

    const double baseline = bench::perCallMs([&] { fillAndCopy(screen.dc); }, 7, 20);
    // A full paint as after a scroll or a hover (card heights known from the paint
    // before), and as the first paint of the page (every card measured afresh).
    for (int page = 0; page < pageCount; ++page) {
        app->view.page = page;
        const double paint = bench::perCallMs([&] { paintWindow(*app, screen.dc, client); }, 7, 20);
        const double first = bench::perCallMs(
            [&] {
                app->view.paintMemory.heights.clear();
                paintWindow(*app, screen.dc, client);
            },
            7, 20);
        char name[64];
        std::snprintf(name, sizeof name, "2. paint of page %d %s", page + 1, pageNames[page]);
        bench::report(name, paint, baseline, "ms", 2.0);
        std::snprintf(name, sizeof name, "2. first paint of page %d %s", page + 1, pageNames[page]);
        bench::report(name, first, baseline, "ms", 2.0);
    }

    // What a fast tick costs the Summary page in a real window when one value
    // changed: the fingerprints, then the paint of the cards that changed.
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                  nullptr, nullptr, nullptr, nullptr);
    app->window = window;
    app->view.page = 0;
    paintWindow(*app, screen.dc, client);
    double usage = 10;
    const double tick = bench::perCallMs(
        [&] {
            setReading(app->machine.cpu.usage, usage = usage > 80 ? 10 : usage + 7);
            ValidateRect(window, nullptr);
            invalidateChangedParts(*app);
            RECT update{};
            if (GetUpdateRect(window, &update, FALSE))
                paintWindow(*app, screen.dc, client, update);
        },
        7, 20);
    bench::report("2. Summary repaint after a tick (CPU changed)", tick, baseline, "ms");
    const double fingerprints = bench::perCallMs([&] { invalidateChangedParts(*app); }, 7, 20);
    bench::report("2. Summary tick, no change (fingerprints only)", fingerprints, baseline, "ms");
    app->window = nullptr;
    DestroyWindow(window);

    // A full ring two seconds apart, every value present, drawn in all five charts.
    const uint64_t now = fileTimeNow();
    historyClearRing(app->history);
    for (uint64_t i = 0; i < historyCapacity; ++i) {
        Sample sample;
        sample.time = now - (historyCapacity - 1 - i) * 20'000'000ull;
        sample.cpuPercent = float(i % 100);
        sample.ramPercent = 40.0f + float(i % 20);
        sample.downloadRate = float(i * 1000 % 700000);
        sample.uploadRate = float(i * 300 % 90000);
        sample.diskReadRate = float(i * 5000 % 9000000);
        sample.diskWriteRate = float(i * 7000 % 5000000);
        sample.temperature = 40.0f + float(i % 30);
        historyAppend(app->history, sample);
    }
    app->settings.historyRangeMinutes = 60;
    app->view.page = 6;
    const double history = bench::perCallMs([&] { paintWindow(*app, screen.dc, client); }, 7, 20);
    bench::report("3. history page, 1800 samples in five charts", history, baseline, "ms", 5.0);
    deleteFonts(app->view.fonts);
}
