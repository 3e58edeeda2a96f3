// The Summary page: the state of the device at a glance, the findings with their
// explanations, the active alerts and a short description of the device.
#include <string>
#include <vector>

#include "app/app.h"
#include "health/findings.h"
#include "sources/format.h"
#include "ui/cards.h"

namespace ovra {

namespace {

int threshold(const App& app, AlertKind kind) {
    return app.settings.alertThreshold[static_cast<size_t>(kind)];
}

Colour warningOrAccent(const Ui& ui, bool warning) {
    return ui.colour(warning ? Role::statusWarning : Role::accent);
}

void cpuTile(Col& col, const App& app) {
    const CpuInfo& cpu = app.machine.cpu;
    if (cpu.usage.ok) {
        bigValue(col, formatPercent(cpu.usage.value));
        bar(col, cpu.usage.value / 100.0,
            warningOrAccent(*col.ui, cpu.usage.value >= threshold(app, AlertKind::Cpu)), 8);
    } else {
        unavailableBlock(col, cpu.usage.limitation, cpu.usage.reason());
    }
    wrappedText(col,
                formatText(L"%d inti \u00B7 %d logical", int(cpu.physicalCores),
                           int(cpu.logicalProcessors)),
                FontRole::small);
}

void ramTile(Col& col, const App& app) {
    const MemoryInfo& memory = app.machine.memory;
    if (!memory.ok) {
        unavailableBlock(col, Limitation::WindowsApi, L"GlobalMemoryStatusEx gagal.");
        return;
    }
    bigValue(col, formatPercent(memory.usedPercent));
    bar(col, memory.usedPercent / 100.0,
        warningOrAccent(*col.ui, memory.usedPercent >= threshold(app, AlertKind::Ram)), 8);
    wrappedText(col,
                formatBytes(double(memory.totalBytes - memory.availableBytes)) + L" dari " +
                    formatBytes(double(memory.totalBytes)),
                FontRole::small);
}

// The last drive that is both ready and the system drive, or null.
const Drive* systemDrive(const StorageInfo& storage) {
    const Drive* found = nullptr;
    for (const Drive& drive : storage.drives)
        if (drive.ready && drive.isSystem) found = &drive;
    return found;
}

void systemDiskTile(Col& col, const App& app, const Drive* drive) {
    if (!drive || drive->totalBytes == 0) {
        unavailableBlock(col, Limitation::WindowsApi, L"Kapasitas drive sistem tidak terbaca.");
        return;
    }
    const double total = double(drive->totalBytes);
    const double used = (total - double(drive->freeBytes)) * 100.0 / total;
    bigValue(col, formatPercent(used));
    bar(col, used / 100.0, warningOrAccent(*col.ui, threshold(app, AlertKind::Disk) > 100.0 - used),
        8);
    wrappedText(col, L"Tersisa " + formatBytes(double(drive->freeBytes)), FontRole::small);
}

void networkTile(Col& col, const App& app) {
    const NetworkInfo& network = app.machine.network;
    if (!network.status.ok) {
        unavailableBlock(col, network.status.limitation, network.status.reason());
        return;
    }
    if (!network.ratesValid) {
        unavailableBlock(col, Limitation::Measuring, L"");
        return;
    }
    bigValue(col, L"\u2193 " + formatRate(network.downloadRate));
    wrappedText(col, L"\u2191 " + formatRate(network.uploadRate), FontRole::bodyStrong,
                col.ui->colour(Role::text));
    wrappedText(col,
                L"Sejak dibuka: " +
                    formatBytes(double(network.receivedSinceOpen + network.sentSinceOpen)),
                FontRole::small);
}

void batteryTile(Col& col, const App& app) {
    const BatteryInfo& battery = app.machine.battery;
    if (battery.percent.ok) {
        const int percent = int(battery.percent.value);
        bigValue(col, formatText(L"%d%%", percent));
        bar(col, percent / 100.0,
            warningOrAccent(*col.ui, percent <= threshold(app, AlertKind::Battery)), 8);
    } else {
        unavailableBlock(col, battery.percent.limitation, battery.percent.reason());
    }
    const wchar_t* power = L"Memakai baterai";
    if (battery.charging.ok && battery.charging.value)
        power = L"Sedang mengisi daya";
    else if (battery.onAc.ok && battery.onAc.value)
        power = L"Terhubung ke listrik";
    wrappedText(col, power, FontRole::small);
}

// A coloured dot at the left and, beside it, a title over its explanation.
void markedEntry(Col& col, Colour marker, const std::wstring& title, const std::wstring& body,
                 int gapDip) {
    Ui& ui = *col.ui;
    dot(ui, col.x + ui.px(5), col.y + ui.px(9), ui.px(5), marker);
    Col inner{col.ui, col.x + ui.px(20), col.y, col.width - ui.px(20)};
    wrappedText(inner, title, FontRole::bodyStrong, ui.colour(Role::text));
    wrappedText(inner, body);
    col.y = inner.y + ui.px(gapDip);
}

void findingsCard(Col& col, const std::vector<Finding>& findings) {
    Ui& ui = *col.ui;
    if (findings.empty()) {
        wrappedText(col, noFindingsText, FontRole::bodyStrong, ui.colour(Role::statusGood));
        wrappedText(col, findingsCheckedText, FontRole::small);
        return;
    }
    for (const Finding& finding : findings) {
        const Role marker = finding.severity == FindingSeverity::Critical  ? Role::statusBad
                            : finding.severity == FindingSeverity::Warning ? Role::statusWarning
                                                                           : Role::statusGood;
        markedEntry(col, ui.colour(marker), finding.title, finding.body, 8);
    }
}

void alertsCard(Col& col, const App& app) {
    Ui& ui = *col.ui;
    if (app.alerts.active.empty()) wrappedText(col, L"Tidak ada peringatan aktif.");
    for (const Alert& alert : app.alerts.active)
        markedEntry(col, ui.colour(Role::statusWarning), alert.title, alert.message, 6);
    col.y += ui.px(4);
    wrappedText(col,
                app.settings.notifications
                    ? L"Notifikasi Windows aktif (maks. sekali per 10 menit per jenis)."
                    : L"Notifikasi Windows dimatikan.",
                FontRole::small);
    col.y += ui.px(4);
    button(ui, col.x, col.y, L"Atur ambang", commandNavigate, 8, true);
    col.y += ui.px(36);
}

void deviceCard(Col& col, const App& app) {
    const SystemInfo& system = app.machine.system;
    kvRow(col, L"Windows", system.osName + L" (" + system.osVersion + L")");
    if (!system.manufacturer.empty() || !system.model.empty())
        kvRow(col, L"Model", trimText(system.manufacturer + L" " + system.model));
    kvRow(col, L"Prosesor", app.machine.cpu.name);
    if (app.machine.memory.ok)
        kvRow(col, L"RAM terpasang", formatBytes(double(app.machine.memory.totalBytes)));
    for (const GpuAdapter& adapter : app.machine.gpu.adapters)
        kvRow(col, L"Grafis", adapter.name);
    if (app.machine.gpu.adapters.empty()) {
        const Reading<bool>& status = app.machine.gpu.status;
        if (status.ok)
            readingRow(col, L"Grafis", false, L"", Limitation::Driver,
                       L"Tidak ada adapter perangkat keras yang dilaporkan DXGI.");
        else
            readingRow(col, L"Grafis", false, L"", status.limitation, status.reason());
    }
    kvRow(col, L"Arsitektur", system.is64Bit ? L"64-bit" : L"32-bit");
}

} // namespace

int App::pageSummary(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Ringkasan",
                    L"Kondisi perangkat saat ini. Tidak ada skor kesehatan: setiap temuan "
                    L"dijelaskan beserta angka yang memicunya, dan ambangnya dapat Anda atur di "
                    L"Pengaturan.");

    const Drive* drive = systemDrive(machine.storage);
    std::vector<Card> tiles{
        {L"CPU", [this](Col& col) { cpuTile(col, *this); }},
        {L"RAM", [this](Col& col) { ramTile(col, *this); }},
        {drive ? formatText(L"Disk %lc:", drive->letter) : std::wstring(L"Disk sistem"),
         [this, drive](Col& col) { systemDiskTile(col, *this, drive); }},
        {L"Jaringan", [this](Col& col) { networkTile(col, *this); }},
    };
    if (machine.battery.present)
        tiles.push_back({L"Baterai", [this](Col& col) { batteryTile(col, *this); }});
    y += cardGrid(ui, x, y, width, tiles, 5, 170);

    const HealthInputs inputs{machine.cpu,     machine.memory,  machine.storage,
                              machine.battery, machine.thermal, machine.gpu};
    const std::vector<Finding> findings = evaluateFindings(settings, inputs, alerts.cpuSustained);
    y += cardGrid(
        ui, x, y, width,
        {{L"Temuan & penjelasan", [&findings](Col& col) { findingsCard(col, findings); }}}, 1, 340);

    y += cardGrid(ui, x, y, width,
                  {{L"Peringatan aktif", [this](Col& col) { alertsCard(col, *this); }},
                   {L"Perangkat", [this](Col& col) { deviceCard(col, *this); }}},
                  2, 340);
    return y;
}

} // namespace ovra
