// The Sensors page: only the temperatures and fan speeds that Windows, the
// firmware or a driver expose officially, and why the others are missing.
#include <string>

#include "app/app.h"
#include "sources/format.h"
#include "ui/cards.h"

namespace ovra {

namespace {

void temperatureCard(Col& col, const ThermalInfo& thermal, const GpuInfo& gpu) {
    readingRow(col, L"Suhu inti CPU", thermal.cpuCoreTemp, L"");
    if (thermal.status.ok) {
        for (const ThermalZone& zone : thermal.zones)
            kvRow(col, L"Zona termal ACPI " + zone.name,
                  formatNumber(zone.celsius, 1) + L" \u00B0C");
        wrappedText(col,
                    L"Zona termal ACPI dilaporkan firmware dan tidak selalu sama dengan suhu inti "
                    L"CPU. Sebagian firmware melaporkan angka yang jarang berubah.",
                    FontRole::small);
    } else {
        readingRow(col, L"Zona termal ACPI", thermal.status, L"");
    }
    for (const GpuAdapter& adapter : gpu.adapters)
        readingRow(col, L"GPU: " + adapter.name, adapter.temperature,
                   adapter.temperature.ok ? formatNumber(adapter.temperature.value, 0) + L" \u00B0C"
                                          : L"");
}

void fanCard(Col& col, const ThermalInfo& thermal, const GpuInfo& gpu) {
    readingRow(col, L"Kipas CPU / sistem", thermal.cpuFan, L"");
    for (const GpuAdapter& adapter : gpu.adapters)
        readingRow(col, L"Kipas GPU: " + adapter.name, adapter.fanRpm,
                   adapter.fanRpm.ok ? formatInteger(adapter.fanRpm.value) + L" RPM" : L"");
}

void whyCard(Col& col) {
    wrappedText(col, L"Windows tidak memiliki API standar untuk suhu inti CPU dan kipas. Aplikasi "
                     L"lain biasanya memasang driver kernel untuk membaca register prosesor atau "
                     L"embedded controller secara langsung. Driver semacam itu (misalnya "
                     L"WinRing0) memiliki celah keamanan yang dikenal dan diblokir oleh Microsoft "
                     L"Defender, sehingga Ovra Monitor sengaja tidak memakainya.");
    wrappedText(col, L"Suhu dan kipas GPU tersedia hanya bila Windows (versi lebih baru dari "
                     L"1607) dan driver grafis menyediakannya.");
}

} // namespace

int App::pageSensors(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Sensor",
                    L"Hanya nilai yang diekspos Windows, firmware, atau driver melalui antarmuka "
                    L"resmi. Nilai tidak pernah ditebak atau dikarang.");
    y += cardGrid(
        ui, x, y, width,
        {{L"Suhu", [this](Col& col) { temperatureCard(col, machine.thermal, machine.gpu); }},
         {L"Kipas", [this](Col& col) { fanCard(col, machine.thermal, machine.gpu); }}},
        2, 340);
    y += cardGrid(ui, x, y, width, {{L"Mengapa banyak sensor tidak tersedia?", whyCard}}, 1, 340);
    return y;
}

} // namespace ovra
