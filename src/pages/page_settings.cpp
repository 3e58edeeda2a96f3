// The Settings page: every user choice with its current value. Each row has a
// label and an optional help line on the left and its control on the right, or
// under them when the card is too narrow.
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "store/autostart.h"
#include "store/data_folder.h"
#include "ui/cards.h"

namespace ovra {

namespace {

// Below this many dip beside the control the label would be too cramped.
constexpr int narrowLabelDip = 180;
constexpr int toggleWidthDip = 40;
constexpr int alertStepperOffsetDip = 56;
constexpr int32_t historyPage = 6;

// Draws the control with its top-left corner at (x, y).
using ControlDrawer = std::function<void(int x, int y)>;

void settingRow(Col& col, std::wstring_view label, std::wstring_view help, int controlWidth,
                const ControlDrawer& drawControl) {
    Ui& ui = *col.ui;
    const int textWidth = col.width - controlWidth - ui.px(16);
    const bool wide = textWidth >= ui.px(narrowLabelDip);
    const int labelWidth = wide ? textWidth : col.width;
    const int labelHeight = drawWrapped(ui, col.x, col.y, labelWidth, label, FontRole::bodyStrong,
                                        ui.colour(Role::text));
    int helpBlock = 0;
    if (!help.empty())
        helpBlock = drawWrapped(ui, col.x, col.y + labelHeight + ui.px(2), labelWidth, help,
                                FontRole::small, ui.colour(Role::textSecondary)) +
                    ui.px(2);
    if (wide) {
        drawControl(col.x + col.width - controlWidth, col.y);
        col.y += std::max(labelHeight + helpBlock, ui.px(30)) + ui.px(14);
    } else {
        drawControl(col.x, col.y + labelHeight + helpBlock + ui.px(6));
        col.y += labelHeight + helpBlock + ui.px(6 + 30 + 14);
    }
}

void choiceRow(Col& col, std::wstring_view label, std::wstring_view help,
               const std::vector<std::wstring>& options, int selected, int32_t command) {
    Ui& ui = *col.ui;
    const int width =
        measured(ui, [&] { return segmented(ui, 0, 0, options, selected, command, true); });
    settingRow(col, label, help, width,
               [&](int x, int y) { segmented(ui, x, y, options, selected, command, true); });
}

void toggleRow(Col& col, std::wstring_view label, std::wstring_view help, bool on,
               int32_t command) {
    Ui& ui = *col.ui;
    settingRow(col, label, help, ui.px(toggleWidthDip),
               [&](int x, int y) { toggle(ui, x, y + ui.px(4), on, command, 0, true); });
}

void alertRow(Col& col, const Settings& settings, AlertKind kind) {
    Ui& ui = *col.ui;
    const size_t index = static_cast<size_t>(kind);
    const AlertKindInfo& info = alertKindInfo(kind);
    const bool enabled = settings.alertEnabled[index];
    const int32_t threshold = settings.alertThreshold[index];
    const std::wstring value = std::to_wstring(threshold) + info.unit;
    const int32_t stepCommand = commandAlertThreshold + static_cast<int32_t>(kind);
    const int stepperWidth =
        measured(ui, [&] { return stepper(ui, 0, 0, value, stepCommand, false, false); });
    settingRow(col, info.label,
               kind == AlertKind::Temperature ? L"Hanya berlaku bila ada sensor suhu resmi." : L"",
               ui.px(alertStepperOffsetDip) + stepperWidth, [&](int x, int y) {
                   toggle(ui, x, y + ui.px(4), enabled, commandAlertEnabled,
                          static_cast<int32_t>(kind), true);
                   stepper(ui, x + ui.px(alertStepperOffsetDip), y, value, stepCommand,
                           enabled && threshold > info.minimum,
                           enabled && threshold < info.maximum);
               });
}

// The choice of three a stored interval falls into.
int intervalChoice(int32_t milliseconds, int32_t first, int32_t second) {
    return milliseconds <= first ? 0 : milliseconds <= second ? 1 : 2;
}

} // namespace

int App::pageSettings(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Pengaturan",
                    L"Semua pengaturan disimpan secara lokal di folder data aplikasi.");

    // Read once per paint, not in each of the cards' two runs.
    const bool autostart = isAutostartEnabled();
    const std::wstring folderPath = folder.empty() ? dataFolder() : folder;
    const Settings& now = settings;

    const std::vector<Card> appearance{
        {L"Tampilan",
         [&](Col& col) {
             choiceRow(col, L"Tema",
                       L"\"Ikuti sistem\" memakai pilihan mode aplikasi di Pengaturan Windows.",
                       {L"Terang", L"Gelap", L"Ikuti sistem"}, now.theme, commandTheme);
         }},
        {L"Sistem",
         [&](Col& col) {
             toggleRow(col, L"Mulai bersama Windows",
                       L"Mati secara bawaan. Bila aktif, aplikasi dibuka dalam keadaan "
                       L"diminimalkan dan hanya memantau; kontrol performa tidak pernah diterapkan "
                       L"otomatis.",
                       autostart, commandAutostart);
             wrappedText(col,
                         L"Menutup jendela menghentikan aplikasi sepenuhnya. Tidak ada layanan "
                         L"latar belakang.",
                         FontRole::small);
         }},
    };
    y += cardGrid(ui, x, y, width, appearance, 2, 340);

    const std::vector<Card> refresh{
        {L"Pembaruan data", [&](Col& col) {
             choiceRow(col, L"CPU, RAM, jaringan, I/O disk", L"Lebih jarang = lebih hemat CPU.",
                       {L"1 dtk", L"2 dtk", L"5 dtk"},
                       intervalChoice(now.fastIntervalMs, 1000, 2000), commandFastInterval);
             choiceRow(col, L"Sensor, baterai, GPU, ruang disk",
                       L"Sumber yang lebih mahal dibaca lebih jarang.",
                       {L"5 dtk", L"10 dtk", L"30 dtk"},
                       intervalChoice(now.slowIntervalMs, 5000, 10000), commandSlowInterval);
             choiceRow(col, L"Daftar proses", L"Hanya berjalan saat halaman Proses terbuka.",
                       {L"Mati", L"Normal (3 dtk)", L"Lambat (10 dtk)"}, now.processMode,
                       commandProcessMode);
             wrappedText(col, L"Status SMART diperiksa saat aplikasi dibuka dan setiap 30 menit.",
                         FontRole::small);
         }}};
    y += cardGrid(ui, x, y, width, refresh, 1, 340);

    const std::vector<Card> alerts{
        {L"Peringatan", [&](Col& col) {
             toggleRow(col, L"Tampilkan notifikasi Windows",
                       L"Maksimum sekali per 10 menit untuk setiap jenis peringatan.",
                       now.notifications, commandNotifications);
             for (int kind = 0; kind < alertKindCount; ++kind)
                 alertRow(col, now, static_cast<AlertKind>(kind));
         }}};
    y += cardGrid(ui, x, y, width, alerts, 1, 340);

    const std::vector<Card> data{
        {L"Riwayat & data",
         [&](Col& col) {
             toggleRow(col, L"Simpan riwayat ke perangkat ini",
                       L"Mati secara bawaan. Ekspor dan hapus tersedia di halaman Riwayat.",
                       now.saveHistory, commandSaveHistory);
             kvRow(col, L"Folder data", folderPath);
             buttonRow(col,
                       {{L"Buka folder data", commandOpenDataFolder},
                        {L"Ke halaman Riwayat", commandNavigate, historyPage}},
                       40);
         }},
        {L"Privasi & tentang",
         [](Col& col) {
             wrappedText(col,
                         L"Ovra Monitor tidak memiliki telemetri dan tidak mengirim data apa pun "
                         L"ke cloud.",
                         FontRole::body, col.ui->colour(Role::text));
             kvRow(col, L"Versi", OVRA_VERSION);
             kvRow(col, L"Target", L"Windows 10 versi 1607 (build 14393) atau lebih baru");
             wrappedText(col,
                         L"Pintasan: Ctrl+1\u2026Ctrl+9 berpindah halaman; "
                         L"panah/PageUp/PageDown menggulir.",
                         FontRole::small);
         }},
    };
    y += cardGrid(ui, x, y, width, data, 2, 340);

    const std::vector<Card> metrics{
        {L"Pemantauan banyak PC", [&](Col& col) {
             toggleRow(col, L"Ekspor metrik",
                       L"Mati secara bawaan. Bila aktif, pembacaan ditulis sebagai berkas "
                       L"Prometheus (.prom) di folder ini pada setiap pembaruan sensor, untuk "
                       L"dikumpulkan windows_exporter. Aplikasi tidak membuka koneksi jaringan.",
                       now.exportMetrics, commandExportMetrics);
             kvRow(col, L"Folder metrik",
                   now.metricsFolder.empty() ? L"Belum dipilih" : now.metricsFolder);
             if (now.exportMetrics && !metricsError.empty())
                 wrappedText(col, metricsError, FontRole::small, col.ui->colour(Role::statusBad));
             Ui& cui = *col.ui;
             button(cui, col.x, col.y, L"Pilih folder metrik", commandMetricsFolder, 0, true);
             col.y += cui.px(40);
         }}};
    return y + cardGrid(ui, x, y, width, metrics, 1, 340);
}

} // namespace ovra
