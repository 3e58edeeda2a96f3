// The Battery page: charge and power state, then the health the firmware reports.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"

namespace ovra {

namespace {

void absentCard(Col& col, const BatteryInfo& battery) {
    unavailableBlock(col, Limitation::Hardware, battery.presenceReason);
    if (battery.onAc.ok)
        kvRow(col, L"Sumber daya", battery.onAc.value ? L"Listrik (AC)" : L"Tidak diketahui");
}

void statusCard(Col& col, const BatteryInfo& battery, int threshold) {
    Ui& ui = *col.ui;
    if (battery.percent.ok) {
        const int percent = int(battery.percent.value);
        bigValue(col, formatText(L"%d%%", percent));
        bar(col, percent / 100.0,
            ui.colour(percent > threshold ? Role::accent : Role::statusWarning), 10);
    } else {
        readingRow(col, L"Persentase", battery.percent, L"");
    }
    readingRow(col, L"Sumber daya", battery.onAc,
               battery.onAc.value ? L"Listrik (AC)" : L"Baterai");
    readingRow(col, L"Pengisian", battery.charging,
               battery.charging.value ? L"Sedang mengisi" : L"Tidak sedang mengisi");
    readingRow(col, L"Perkiraan sisa waktu", battery.secondsLeft,
               battery.secondsLeft.ok ? formatDuration(battery.secondsLeft.value) : L"");
    const int32_t rate = battery.rate.value;
    readingRow(col, L"Laju daya", battery.rate,
               battery.rate.ok ? formatNumber(std::abs(double(rate)) / 1000.0, 1) + L" W " +
                                     (rate < 0 ? L"(mengosongkan)" : L"(mengisi)")
                               : L"");
    if (battery.batteryCount > 1)
        wrappedText(col,
                    formatText(L"Terdeteksi %d baterai; rincian di samping untuk baterai pertama.",
                               int(battery.batteryCount)),
                    FontRole::small);
}

void healthCard(Col& col, const BatteryInfo& battery) {
    Ui& ui = *col.ui;
    if (battery.health.ok) {
        const double health = battery.health.value;
        const Role value = health < 60   ? Role::statusBad
                           : health < 80 ? Role::statusWarning
                                         : Role::statusGood;
        bigValue(col, formatPercent(health), ui.colour(value));
        bar(col, std::min(health / 100.0, 1.0),
            ui.colour(health < 80 ? Role::statusWarning : Role::statusGood), 8);
        wrappedText(
            col,
            L"Kesehatan = kapasitas penuh saat ini \u00F7 kapasitas desain pabrik, keduanya "
            L"dilaporkan firmware baterai.",
            FontRole::small);
    } else {
        readingRow(col, L"Kesehatan", battery.health, L"");
    }
    const auto capacity = [](const Reading<uint32_t>& reading) {
        return reading.ok ? formatInteger(reading.value) + L" mWh" : std::wstring();
    };
    readingRow(col, L"Kapasitas desain", battery.designCapacity, capacity(battery.designCapacity));
    readingRow(col, L"Kapasitas penuh", battery.fullCapacity, capacity(battery.fullCapacity));
    readingRow(col, L"Jumlah siklus", battery.cycleCount,
               battery.cycleCount.ok ? formatInteger(battery.cycleCount.value) : L"");
    if (!battery.chemistry.empty()) kvRow(col, L"Kimia", battery.chemistry);
}

} // namespace

int App::pageBattery(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Baterai",
                    L"Persentase dan status dari Windows; kesehatan hanya ditampilkan bila "
                    L"firmware baterai melaporkan kapasitas desain dan kapasitas penuh.");
    if (!machine.battery.present)
        return y + cardGrid(ui, x, y, width,
                            {{L"Baterai", [this](Col& col) { absentCard(col, machine.battery); }}},
                            1, 340);
    const int threshold = settings.alertThreshold[size_t(AlertKind::Battery)];
    y += cardGrid(
        ui, x, y, width,
        {{L"Status", [this, threshold](Col& col) { statusCard(col, machine.battery, threshold); }},
         {L"Kesehatan", [this](Col& col) { healthCard(col, machine.battery); }}},
        2, 340);
    return y;
}

} // namespace ovra
