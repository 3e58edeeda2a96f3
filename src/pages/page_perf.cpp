// The Performance page: processor, memory, network and graphics, each with its
// current values, a short history chart and the reason for every missing value.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"
#include "ui/chart.h"

namespace ovra {

namespace {

constexpr wchar_t downArrow[] = L"\u2193 ";
constexpr wchar_t upArrow[] = L"   \u2191 "; // three blanks part the two directions

// The chart across the column, `heightDip` tall; the column moves `advanceDip` down.
void chartRow(Col& col, const App& app, SampleField first, Role firstColour, SampleField second,
              Role secondColour, ChartScale scale, uint32_t minutes, int heightDip,
              int advanceDip) {
    Ui& ui = *col.ui;
    const RECT rect{col.x, col.y, col.x + col.width, col.y + ui.px(heightDip)};
    drawChart(ui, app.history, rect, first, ui.colour(firstColour), second,
              second ? Colour(ui.colour(secondColour)) : Colour(0), scale, minutes);
    col.y += ui.px(advanceDip);
}

struct ProcessorGrid {
    int columns = 1;
    int cellWidth = 0;
    int rows = 0;
};

ProcessorGrid processorGrid(int columnWidth, size_t processors, int dpi) {
    ProcessorGrid grid;
    grid.columns = std::max(1, columnWidth / scaled(150, dpi));
    grid.cellWidth = columnWidth / grid.columns;
    grid.rows = int((processors + size_t(grid.columns) - 1) / size_t(grid.columns));
    return grid;
}

// A link speed as people say it: 100 Mbps, 1 Gbps, 2,5 Gbps.
std::wstring linkSpeedText(uint64_t bitsPerSecond) {
    if (bitsPerSecond == 0 || bitsPerSecond == UINT64_MAX) return L"tidak dilaporkan";
    if (bitsPerSecond <= 999'999'999ull)
        return formatNumber(double(bitsPerSecond) / 1e6, 0) + L" Mbps";
    const int decimals = bitsPerSecond % 1'000'000'000ull == 0 ? 0 : 1;
    return formatNumber(double(bitsPerSecond) / 1e9, decimals) + L" Gbps";
}

// Every logical processor's use in cells of 150 dip, row by row.
void perProcessorGrid(Col& col, const CpuInfo& cpu) {
    Ui& ui = *col.ui;
    if (!cpu.perProcessorStatus.ok || cpu.perProcessorUsage.empty()) {
        readingRow(col, L"Per prosesor logical", false, L"", cpu.perProcessorStatus.limitation,
                   cpu.perProcessorStatus.reason());
        return;
    }
    const ProcessorGrid grid = processorGrid(col.width, cpu.perProcessorUsage.size(), ui.dpi);
    for (size_t i = 0; i < cpu.perProcessorUsage.size(); ++i) {
        const int cellX = col.x + int(i % size_t(grid.columns)) * grid.cellWidth;
        const int top = col.y + int(i / size_t(grid.columns)) * ui.px(40);
        const double use = cpu.perProcessorUsage[i];
        drawText(ui, cellX, top, formatText(L"Logical %zu", i + 1), FontRole::small,
                 ui.colour(Role::textSecondary));
        const int right = cellX + grid.cellWidth - ui.px(14);
        drawTextRight(ui, right, top, formatPercent(use), FontRole::small, ui.colour(Role::text));
        drawBarRaw(ui, RECT{cellX, top + ui.px(20), right, top + ui.px(26)}, use / 100.0,
                   ui.colour(Role::accent));
    }
    col.y += ui.px(40) * grid.rows;
}

void processorCard(Col& col, const App& app) {
    const CpuInfo& cpu = app.machine.cpu;
    kvRow(col, L"Prosesor", cpu.name);
    kvRow(col, L"Inti / logical",
          formatText(L"%d inti fisik, %d prosesor logical", int(cpu.physicalCores),
                     int(cpu.logicalProcessors)));
    readingRow(col, L"Frekuensi dasar", cpu.baseMhz,
               cpu.baseMhz.ok ? formatFrequency(cpu.baseMhz.value) : L"");
    readingRow(col, L"Frekuensi efektif (perkiraan)", cpu.effectiveMhz,
               cpu.effectiveMhz.ok ? formatFrequency(cpu.effectiveMhz.value) : L"");
    readingRow(col, L"Penggunaan total", cpu.usage,
               cpu.usage.ok ? formatPercent(cpu.usage.value) : L"");
    chartRow(col, app, &Sample::cpuPercent, Role::series1, nullptr, Role::series1,
             ChartScale::percent, 2, 110, 122);
    perProcessorGrid(col, cpu);
}

void memoryCard(Col& col, const App& app) {
    const MemoryInfo& memory = app.machine.memory;
    if (!memory.ok) {
        unavailableBlock(col, Limitation::WindowsApi, L"GlobalMemoryStatusEx gagal.");
        return;
    }
    Ui& ui = *col.ui;
    const int threshold = app.settings.alertThreshold[size_t(AlertKind::Ram)];
    bigValue(col, formatPercent(memory.usedPercent));
    bar(col, memory.usedPercent / 100.0,
        ui.colour(memory.usedPercent >= threshold ? Role::statusWarning : Role::accent), 8);
    kvRow(col, L"Terpakai", formatBytes(double(memory.totalBytes - memory.availableBytes)));
    kvRow(col, L"Tersedia", formatBytes(double(memory.availableBytes)));
    kvRow(col, L"Kapasitas", formatBytes(double(memory.totalBytes)));
    const bool commitOk = memory.commitTotal.ok && memory.commitLimit.ok;
    readingRow(col, L"Memori virtual (commit)", commitOk,
               commitOk ? formatBytes(double(memory.commitTotal.value)) + L" dari " +
                              formatBytes(double(memory.commitLimit.value))
                        : L"",
               memory.commitTotal.limitation, memory.commitTotal.reason());
    readingRow(col, L"Cache sistem", memory.systemCache,
               memory.systemCache.ok ? formatBytes(double(memory.systemCache.value)) : L"");
    wrappedText(col,
                L"Batas commit = RAM + berkas paging. Jika mendekati batas, aplikasi bisa gagal "
                L"dibuka.",
                FontRole::small);
    chartRow(col, app, &Sample::ramPercent, Role::series2, nullptr, Role::series2,
             ChartScale::percent, 5, 90, 98);
}

void networkCard(Col& col, const App& app) {
    const NetworkInfo& network = app.machine.network;
    if (!network.status.ok) {
        unavailableBlock(col, network.status.limitation, network.status.reason());
        return;
    }
    Ui& ui = *col.ui;
    readingRow(col, L"Unduh / unggah", network.ratesValid,
               network.ratesValid ? downArrow + formatRate(network.downloadRate) + upArrow +
                                        formatRate(network.uploadRate)
                                  : L"",
               Limitation::Measuring, L"");
    kvRow(col, L"Sejak aplikasi dibuka",
          downArrow + formatBytes(double(network.receivedSinceOpen)) + upArrow +
              formatBytes(double(network.sentSinceOpen)));
    col.y += ui.px(4);
    bool anyUp = false;
    for (const NetworkAdapter& adapter : network.adapters) {
        if (!adapter.up) continue;
        anyUp = true;
        wrappedText(col, adapter.alias + (adapter.wifi ? L" (Wi-Fi)" : L""), FontRole::bodyStrong,
                    ui.colour(Role::text));
        wrappedText(col, adapter.description, FontRole::small);
        kvRow(col, L"Kecepatan tautan", linkSpeedText(adapter.receiveLinkBps));
        kvRow(col, L"Saat ini",
              downArrow + formatRate(adapter.downloadRate) + upArrow +
                  formatRate(adapter.uploadRate));
        col.y += ui.px(4);
    }
    if (!anyUp) wrappedText(col, L"Tidak ada adapter jaringan perangkat keras yang aktif.");
    chartRow(col, app, &Sample::downloadRate, Role::series1, &Sample::uploadRate, Role::series3,
             ChartScale::rate, 5, 90, 96);
    wrappedText(col, L"Hijau = unduh, jingga = unggah.", FontRole::small);
}

void adapterCard(Col& col, const GpuAdapter& adapter) {
    kvRow(col, L"Adapter", adapter.name);
    kvRow(col, L"Memori khusus (total)",
          adapter.dedicatedTotal == 0 ? std::wstring(L"tidak ada (memakai RAM)")
                                      : formatBytes(double(adapter.dedicatedTotal)));
    kvRow(col, L"Memori bersama (maks.)", formatBytes(double(adapter.sharedTotal)));
    readingRow(col, L"Penggunaan GPU", adapter.usage,
               adapter.usage.ok ? formatPercent(adapter.usage.value) : L"");
    readingRow(col, L"Memori khusus terpakai", adapter.dedicatedUsed,
               adapter.dedicatedUsed.ok ? formatBytes(adapter.dedicatedUsed.value) : L"");
    readingRow(col, L"Memori bersama terpakai", adapter.sharedUsed,
               adapter.sharedUsed.ok ? formatBytes(adapter.sharedUsed.value) : L"");
}

void noAdapterCard(Col& col, const GpuInfo& gpu) {
    if (gpu.status.ok)
        unavailableBlock(col, Limitation::Driver,
                         L"DXGI tidak melaporkan adapter grafis perangkat keras.");
    else
        unavailableBlock(col, gpu.status.limitation, gpu.status.reason());
}

} // namespace

int App::pagePerf(Ui& ui, int x, int y, int width) {
    y +=
        pageHeader(ui, x, y, width, L"Performa",
                   L"CPU, memori, grafis, dan jaringan. Grafik menyimpan data terbatas di memori.");
    y += cardGrid(ui, x, y, width, {{L"CPU", [this](Col& col) { processorCard(col, *this); }}}, 1,
                  340);
    y += cardGrid(ui, x, y, width,
                  {{L"Memori", [this](Col& col) { memoryCard(col, *this); }},
                   {L"Jaringan", [this](Col& col) { networkCard(col, *this); }}},
                  2, 340);
    std::vector<Card> graphics;
    for (const GpuAdapter& adapter : machine.gpu.adapters)
        graphics.push_back({L"Grafis", [&adapter](Col& col) { adapterCard(col, adapter); }});
    if (graphics.empty())
        graphics.push_back({L"Grafis", [this](Col& col) { noAdapterCard(col, machine.gpu); }});
    y += cardGrid(ui, x, y, width, graphics, 2, 340);
    return y;
}

} // namespace ovra
