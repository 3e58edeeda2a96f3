// The performance-control page: what the device supports and why, the switch
// that needs the user's consent, the plan and processor-limit choices, and the
// two ways back to safe values. The page only shows state; the commands act.
#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"

namespace ovra {

namespace {

// Whether a capability can be used: device support and, for the controls that
// need it, the temperature sensor that watches them.
void supportRows(Col& col, const Reading<bool>& reading, const Reading<double>* temperature) {
    Ui& ui = *col.ui;
    if (reading.ok)
        kvRow(col, L"Dukungan perangkat", L"Didukung melalui antarmuka resmi Windows",
              ui.colour(Role::statusGood), true);
    else
        readingRow(col, L"Dukungan perangkat", false, L"", reading.limitation, reading.reason());
    if (!temperature) return;
    if (temperature->ok)
        kvRow(col, L"Sensor suhu",
              L"Tersedia: " + formatNumber(temperature->value, 0) + L" \u00B0C (zona termal ACPI)",
              ui.colour(Role::statusGood), true);
    else
        readingRow(col, L"Sensor suhu", false, L"", temperature->limitation,
                   L"Tanpa pemantauan suhu, kontrol ini tidak diizinkan. " + temperature->reason());
}

std::wstring percentText(uint32_t percent) {
    return formatText(L"%lu%%", static_cast<unsigned long>(percent));
}

// The plan buttons, left to right, moving to a new line before one would pass
// the column's right edge.
void planButtons(Col& col, const std::vector<PowerPlan>& plans, int32_t selected) {
    Ui& ui = *col.ui;
    int x = col.x;
    for (size_t i = 0; i < plans.size(); ++i) {
        const int width =
            measured(ui, [&] { return button(ui, 0, 0, plans[i].name, commandPerfPlan, 0, true); });
        // A button wider than the card keeps a line of its own rather than leaving
        // an empty one above it.
        if (x > col.x && x + width > col.x + col.width) {
            col.y += ui.px(40);
            x = col.x;
        }
        const int32_t index = static_cast<int32_t>(i);
        x += button(ui, x, col.y, plans[i].name, commandPerfPlan, index, true,
                    index == selected ? ButtonStyle::primary : ButtonStyle::normal) +
             ui.px(8);
    }
    col.y += ui.px(44);
}

struct ControlState {
    bool gateOk = false;
    std::wstring gateReason;
    bool changeActive = false;   // the recovery file holds values to restore (App::perf)
    bool restoreFailing = false; // and an automatic restore of them failed
};

void restoreButtons(Col& col) {
    Ui& ui = *col.ui;
    const int restoreWidth = button(ui, col.x, col.y, L"Kembalikan ke pengaturan aman/default",
                                    commandPerfRestore, 0, true, ButtonStyle::danger);
    const wchar_t* const windowsDefault = L"Bawaan Windows (Seimbang, 100%)";
    const int defaultWidth =
        measured(ui, [&] { return button(ui, 0, 0, windowsDefault, commandPerfReset, 0, true); });
    int x = col.x + restoreWidth + ui.px(10);
    if (x + defaultWidth > col.x + col.width) {
        col.y += ui.px(40);
        x = col.x;
    }
    button(ui, x, col.y, windowsDefault, commandPerfReset, 0, true);
    col.y += ui.px(42);
}

// Card "Kontrol performa": the ways back, the status, the consent switch and,
// once switched on, the choices and the apply button.
void controlCard(Col& col, const App& app, const ControlState& state) {
    Ui& ui = *col.ui;
    restoreButtons(col);
    if (state.restoreFailing)
        wrappedText(col,
                    L"Pemulihan otomatis gagal, jadi perubahan dari Ovra Monitor masih aktif. "
                    L"Ovra Monitor mencoba lagi secara berkala; nilai asli tetap tersimpan.",
                    FontRole::small, ui.colour(Role::statusBad));
    else if (state.changeActive)
        wrappedText(col,
                    L"Perubahan dari Ovra Monitor sedang aktif. Nilai asli tersimpan dan akan "
                    L"dipulihkan saat aplikasi ditutup, perangkat tidur, sensor hilang, atau suhu "
                    L"melewati batas.",
                    FontRole::small, ui.colour(Role::statusWarning));
    else
        wrappedText(col, L"Tidak ada perubahan aktif. Pengaturan Windows Anda tidak diubah.",
                    FontRole::small, ui.colour(Role::textSecondary));
    if (!app.perf.perfMessage.empty())
        wrappedText(col, app.perf.perfMessage, FontRole::bodyStrong,
                    ui.colour(app.perf.perfMessageIsError ? Role::statusBad : Role::text));

    col.y += ui.px(6);
    toggle(ui, col.x + col.width - ui.px(40), col.y, app.perf.perfControlOn, commandPerfControl, 0,
           state.gateOk || app.perf.perfControlOn);
    const int switchHeight = drawWrapped(ui, col.x, col.y, col.width - ui.px(40) - ui.px(16),
                                         L"Aktifkan kontrol performa (mati secara bawaan)",
                                         FontRole::bodyStrong, ui.colour(Role::text));
    col.y += std::max(switchHeight, ui.px(24)) + ui.px(4);

    if (!app.perf.perfControlOn) {
        if (state.gateOk)
            wrappedText(col,
                        L"Mengaktifkan akan menampilkan peringatan dan meminta persetujuan Anda.",
                        FontRole::small);
        else
            wrappedText(col, state.gateReason, FontRole::small, ui.colour(Role::textMuted));
        return;
    }

    const PerfCaps& caps = app.perf.perfCaps;
    const PowerState& power = app.perf.powerState;
    if (power.valid) {
        kvRow(col, L"Rencana aktif saat ini", power.activeName);
        readingRow(col, L"Status prosesor maks. (dicolok)", power.acPercent,
                   percentText(power.acPercent.value));
        readingRow(col, L"Status prosesor maks. (baterai)", power.dcPercent,
                   percentText(power.dcPercent.value));
    }
    col.y += ui.px(4);
    const Ink strong = ui.colour(Role::text);
    wrappedText(col, L"Rencana daya:", FontRole::bodyStrong, strong);
    planButtons(col, caps.planList, app.perf.selectedPlan);

    if (caps.range.ok) {
        wrappedText(col,
                    formatText(L"Status prosesor maksimum (batas %lu\u2013%lu%%):",
                               static_cast<unsigned long>(caps.minPercent),
                               static_cast<unsigned long>(caps.maxPercent)),
                    FontRole::bodyStrong, strong);
        stepper(ui, col.x, col.y, percentText(app.perf.selectedPercent), commandPerfPercent,
                app.perf.selectedPercent > caps.minPercent,
                app.perf.selectedPercent < caps.maxPercent);
        col.y += ui.px(40);
    }

    const int32_t limit = app.settings.safetyLimit;
    wrappedText(col, L"Batas pengaman suhu (pemulihan otomatis):", FontRole::bodyStrong, strong);
    stepper(ui, col.x, col.y, formatText(L"%d \u00B0C", int(limit)), commandSafetyLimit,
            limit > lowestSafetyLimit, limit < highestSafetyLimit);
    col.y += ui.px(44);

    button(ui, col.x, col.y, L"Terapkan\u2026", commandPerfApply, 0, state.gateOk,
           ButtonStyle::primary);
    col.y += ui.px(40);
    wrappedText(col, L"Pengaturan tidak pernah diterapkan otomatis saat Windows dimulai.",
                FontRole::small);
}

} // namespace

int App::pagePro(Ui& ui, int x, int y, int width) {
    ControlState state;
    state.gateOk = checkPerfGate(*this, state.gateReason);
    state.changeActive = perf.changeInForce;
    state.restoreFailing = perfRestoreFailing(*this);
    const Reading<double>* temperature = &machine.thermal.maxTemp;

    y += pageHeader(ui, x, y, width, L"Pro", L"");

    // Until the view.page has asked Windows, plans and range are still being measured.
    const Reading<bool> measuring;
    const Reading<bool>& plans = perf.capsProbed ? perf.perfCaps.plans : measuring;
    const Reading<bool>& range = perf.capsProbed ? perf.perfCaps.range : measuring;
    const std::vector<Card> capabilities{
        {L"Profil performa (rencana daya Windows)",
         [&](Col& col) {
             wrappedText(col, L"Beralih antar rencana daya yang sudah ada di Windows, misalnya "
                              L"Seimbang atau Performa tinggi.");
             supportRows(col, plans, temperature);
         }},
        {L"Batas status prosesor maksimum",
         [&](Col& col) {
             wrappedText(col, formatText(L"Membatasi kecepatan maksimum prosesor (%lu\u2013%lu%%) "
                                         L"agar lebih dingin dan hemat baterai. Tidak dapat "
                                         L"melebihi 100%%: ini bukan perf.overclock.",
                                         static_cast<unsigned long>(perf.perfCaps.minPercent),
                                         static_cast<unsigned long>(perf.perfCaps.maxPercent)));
             supportRows(col, range, temperature);
         }},
        {L"Kontrol kipas",
         [&](Col& col) {
             wrappedText(col, L"Status: Tidak tersedia. Kipas tetap dalam mode otomatis firmware.",
                         FontRole::bodyStrong, col.ui->colour(Role::text));
             supportRows(col, perf.fanControl, temperature);
         }},
        {L"Overclock CPU/GPU",
         [&](Col& col) {
             wrappedText(col, L"Status: Tidak didukung.", FontRole::bodyStrong,
                         col.ui->colour(Role::text));
             supportRows(col, perf.overclock, nullptr);
         }},
    };
    y += cardGrid(ui, x, y, width, capabilities, 2, 340);

    const std::vector<Card> control{
        {L"Kontrol performa", [&](Col& col) { controlCard(col, *this, state); }}};
    return y + cardGrid(ui, x, y, width, control, 1, 340);
}

} // namespace ovra
