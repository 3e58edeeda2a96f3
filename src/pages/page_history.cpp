// The History page: the switch for saving the history on this device with its
// export and delete buttons, the time window, and one chart per metric.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"
#include "ui/chart.h"

namespace ovra {

namespace {

constexpr int chartHeightDip = 150;

struct ChartSeries {
    SampleField field = nullptr; // nullptr: no series
    Role colour = Role::series1;
};

// A card content that draws one chart of the last `minutes` minutes and, when
// there is one, its caption.
std::function<void(Col&)> chartCard(const HistoryStore& history, ChartSeries first,
                                    ChartSeries second, ChartScale scale, uint32_t minutes,
                                    std::wstring caption) {
    return [&history, first, second, scale, minutes, caption](Col& col) {
        Ui& ui = *col.ui;
        const RECT panel{col.x, col.y, col.x + col.width, col.y + ui.px(chartHeightDip)};
        drawChart(ui, history, panel, first.field, ui.colour(first.colour), second.field,
                  ui.colour(second.colour), scale, minutes);
        col.y += ui.px(chartHeightDip + 8);
        if (!caption.empty()) wrappedText(col, caption, FontRole::small);
    };
}

void storageCard(Col& col, bool saving, uint64_t fileBytes, const std::wstring& unsavedReason) {
    Ui& ui = *col.ui;
    toggle(ui, col.x + col.width - ui.px(40), col.y, saving, commandSaveHistory, 0, true);
    const int height = drawWrapped(
        ui, col.x, col.y, col.width - ui.px(40) - ui.px(16),
        saving ? L"Aktif: sampel ditulis ke berkas CSV di folder data aplikasi pada perangkat ini."
               : L"Mati (bawaan): riwayat hanya ada di memori dan hilang saat aplikasi ditutup.",
        FontRole::bodyStrong, ui.colour(Role::text));
    col.y += std::max(height, ui.px(24)) + ui.px(6);

    if (fileBytes > 0)
        wrappedText(col,
                    L"Ukuran berkas riwayat: " + formatBytes(double(fileBytes)) +
                        formatText(L" (dirotasi pada %llu MB).",
                                   static_cast<unsigned long long>(historyRotateBytes >> 20)),
                    FontRole::small);
    else
        wrappedText(col, L"Belum ada berkas riwayat tersimpan.", FontRole::small);
    // Rows waiting in memory because the file refuses them: say so while it lasts.
    if (!unsavedReason.empty())
        wrappedText(col, unsavedReason, FontRole::small, ui.colour(Role::statusBad));
    wrappedText(col, L"Data tidak pernah dikirim ke mana pun.", FontRole::small);
    col.y += ui.px(4);

    buttonRow(col,
              {{L"Ekspor ke CSV", commandExportHistory},
               {L"Hapus riwayat", commandClearHistory, 0, ButtonStyle::danger}},
              36);
}

} // namespace

int App::pageHistory(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Riwayat",
                    L"Grafik dari data yang dikumpulkan selama aplikasi terbuka (maksimum 1800 "
                    L"sampel di memori).");

    // The file is asked once per paint, not in each of the card's two runs.
    const uint64_t fileBytes = historyFileBytes(history);
    const bool saving = settings.saveHistory;
    const std::wstring& unsaved = history.unsavedReason;
    const std::vector<Card> storage{
        {L"Penyimpanan riwayat lokal", [saving, fileBytes, &unsaved](Col& col) {
             storageCard(col, saving, fileBytes, unsaved);
         }}};
    y += cardGrid(ui, x, y, width, storage, 1, 340);

    const int32_t minutes = settings.historyRangeMinutes;
    segmented(ui, x, y, {L"5 menit", L"15 menit", L"60 menit"},
              minutes <= 5    ? 0
              : minutes <= 15 ? 1
                              : 2,
              commandHistoryRange, true);
    y += ui.px(46);

    const uint32_t window = uint32_t(std::max(minutes, 1));
    const ChartSeries none{};
    std::vector<Card> charts{
        {L"CPU", chartCard(history, {&Sample::cpuPercent, Role::series1}, none, ChartScale::percent,
                           window, L"")},
        {L"RAM", chartCard(history, {&Sample::ramPercent, Role::series2}, none, ChartScale::percent,
                           window, L"")},
        {L"Jaringan", chartCard(history, {&Sample::downloadRate, Role::series1},
                                {&Sample::uploadRate, Role::series3}, ChartScale::rate, window,
                                L"Hijau = unduh, jingga = unggah")},
        {L"Disk", chartCard(history, {&Sample::diskReadRate, Role::series2},
                            {&Sample::diskWriteRate, Role::series3}, ChartScale::rate, window,
                            L"Biru = baca, jingga = tulis")},
    };
    if (hottestOfficialTemperature(machine.thermal, machine.gpu).ok)
        charts.push_back({L"Suhu tertinggi (sensor resmi)",
                          chartCard(history, {&Sample::temperature, Role::statusBad}, none,
                                    ChartScale::other, window, L"")});
    else
        charts.push_back({L"Suhu", [](Col& col) {
                              unavailableBlock(col, Limitation::Sensor,
                                               L"Tidak ada sensor suhu resmi yang terbaca, jadi "
                                               L"tidak ada riwayat suhu.");
                          }});
    return y + cardGrid(ui, x, y, width, charts, 2, 340);
}

} // namespace ovra
