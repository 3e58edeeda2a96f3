// The Processes page: the busiest processes by processor use or working set, or
// an invitation to switch the list on when it is off in the settings.
#include <algorithm>
#include <string>
#include <vector>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"

namespace ovra {

namespace {

constexpr size_t shownRows = 50;
constexpr int rowHeightDip = 26;
constexpr int pidRightDip = 260; // from the table's right edge
constexpr int cpuRightDip = 170;

// Cuts four characters at a time and ends in "…" until the name fits; a name of
// four characters or fewer is always shown whole.
std::wstring fittedName(Ui& ui, std::wstring name, int available) {
    while (name.size() > 4 && textWidth(ui, name, FontRole::body) > available) {
        name.resize(name.size() - 4);
        // Never leave half of a surrogate pair behind.
        if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
        name += L"\u2026";
    }
    return name;
}

void processTable(Col& col, const ProcessList& list) {
    Ui& ui = *col.ui;
    const int x = col.x;
    const int right = col.x + col.width;
    const int pidRight = right - ui.tx(pidRightDip);
    const int cpuRight = right - ui.tx(cpuRightDip);
    const Ink header = ui.colour(Role::textSecondary);
    drawText(ui, x, col.y, L"Nama", FontRole::bodyStrong, header);
    drawTextRight(ui, pidRight, col.y, L"PID", FontRole::bodyStrong, header);
    drawTextRight(ui, cpuRight, col.y, L"CPU", FontRole::bodyStrong, header);
    drawTextRight(ui, right, col.y, L"RAM (working set)", FontRole::bodyStrong, header);
    col.y += ui.px(28);

    if (list.rows.empty()) wrappedText(col, L"Mengumpulkan daftar proses\u2026");
    const Ink text = ui.colour(Role::text);
    const Colour stripe = lerpColour(ui.colour(Role::card), ui.colour(Role::track), 0.5);
    const int nameWidth = pidRight - ui.px(70) - x;
    const size_t rows = std::min(shownRows, list.rows.size());
    for (size_t i = 0; i < rows; ++i) {
        const ProcessRow& row = list.rows[i];
        const int y = col.y;
        if (i % 2 == 0)
            roundRect(ui, RECT{x - ui.px(8), y - ui.px(3), right + ui.px(8), y + ui.px(23)}, stripe,
                      stripe, ui.px(6));
        drawCutText(ui, x, y, fittedName(ui, row.name, nameWidth), row.name, FontRole::body, text);
        drawTextRight(ui, pidRight, y, std::to_wstring(row.pid), FontRole::body, text);
        if (row.accessible) {
            drawTextRight(ui, cpuRight, y, row.cpuValid ? formatPercent(row.cpuPercent) : L"\u2026",
                          FontRole::body, text);
            drawTextRight(ui, right, y, formatBytes(double(row.workingSet)), FontRole::body, text);
        } else {
            drawTextRight(ui, right, y, L"akses dibatasi Windows", FontRole::small,
                          ui.colour(Role::textMuted));
        }
        col.y += ui.px(rowHeightDip);
    }

    col.y += ui.px(6);
    wrappedText(col,
                L"CPU dihitung dari selisih waktu prosesor antar pembaruan, dibagi jumlah prosesor "
                L"logical. Proses yang dilindungi Windows tidak dapat dibaca tanpa hak lebih "
                L"tinggi.",
                FontRole::small);
}

} // namespace

int App::pageProc(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Proses",
                    L"Proses dengan pemakaian CPU atau RAM tertinggi. Daftar hanya diperbarui saat "
                    L"halaman ini terbuka.");

    if (settings.processMode == 0) {
        const std::vector<Card> off{{L"Daftar proses dimatikan", [](Col& col) {
                                         wrappedText(col, L"Fitur ini dimatikan di Pengaturan "
                                                          L"untuk menghemat CPU.");
                                         button(*col.ui, col.x, col.y, L"Aktifkan (setiap 3 detik)",
                                                commandProcessMode, 1, true, ButtonStyle::primary);
                                         col.y += col.ui->px(36);
                                     }}};
        return y + cardGrid(ui, x, y, width, off, 1, 340);
    }

    const int sortWidth =
        segmented(ui, x, y, {L"Urut menurut CPU", L"Urut menurut RAM"},
                  machine.processes.sortBy == 0 ? 0 : 1, commandProcessSort, true);
    drawText(ui, x + sortWidth + ui.px(16), y + ui.px(6),
             formatText(L"%d proses \u00B7 diperbarui tiap %d detik", int(machine.processes.count),
                        settings.processMode == 2 ? 10 : 3),
             FontRole::small, ui.colour(Role::textSecondary));
    y += ui.px(46);

    const std::vector<Card> table{
        {L"", [this](Col& col) { processTable(col, machine.processes); }}};
    return y + cardGrid(ui, x, y, width, table, 1, 340);
}

} // namespace ovra
