// The Storage page: capacity and activity per drive, then the physical disks
// with their SMART failure prediction and the on-demand check.
#include <string>
#include <vector>

#include "app/app.h"
#include "sources/format.h"
#include "store/history.h"
#include "ui/cards.h"

namespace ovra {

namespace {

std::wstring driveTitle(const Drive& drive) {
    std::wstring title = formatText(L"%lc:", drive.letter);
    if (!drive.label.empty()) title += L" " + drive.label;
    if (drive.isSystem) title += L" (sistem)";
    return title;
}

void driveCard(Col& col, const Drive& drive, int diskThreshold) {
    if (!drive.ready || drive.totalBytes == 0) {
        wrappedText(col, L"Media tidak siap atau tidak dapat dibaca.");
        return;
    }
    Ui& ui = *col.ui;
    const double total = double(drive.totalBytes);
    const double used = total - double(drive.freeBytes);
    const double usedPercent = used * 100.0 / total;
    bigValue(col, formatPercent(usedPercent) + L" terpakai");
    // The threshold is a free-space percentage: warn when less than it is left.
    bar(col, usedPercent / 100.0,
        ui.colour(diskThreshold > 100.0 - usedPercent ? Role::statusWarning : Role::accent), 8);
    kvRow(col, L"Terpakai", formatBytes(used));
    kvRow(col, L"Tersisa", formatBytes(double(drive.freeBytes)));
    kvRow(col, L"Kapasitas", formatBytes(total));
    std::wstring kind = drive.driveType == 2 ? L"Lepas-pasang" : L"Internal";
    if (!drive.fileSystem.empty()) kind += L" \u00B7 " + drive.fileSystem;
    kvRow(col, L"Jenis", kind);
    readingRow(col, L"Baca", drive.readRate,
               drive.readRate.ok ? formatRate(drive.readRate.value) : L"");
    readingRow(col, L"Tulis", drive.writeRate,
               drive.writeRate.ok ? formatRate(drive.writeRate.value) : L"");
}

void physicalDisksCard(Col& col, const StorageInfo& storage) {
    Ui& ui = *col.ui;
    if (storage.disks.empty()) wrappedText(col, L"Tidak ada disk fisik yang dapat dibuka.");
    for (const PhysicalDisk& disk : storage.disks) {
        wrappedText(col, disk.model, FontRole::bodyStrong, ui.colour(Role::text));
        std::wstring detail;
        if (!disk.busType.empty()) detail = L"Antarmuka " + disk.busType;
        if (!disk.letters.empty()) detail += L" \u00B7 drive " + disk.letters;
        wrappedText(col, detail, FontRole::small);
        if (disk.smart.ok) {
            if (disk.smart.value)
                kvRow(col, L"Status SMART", L"MEMPREDIKSI KEGAGALAN \u2014 segera cadangkan data",
                      ui.colour(Role::statusBad), true);
            else
                kvRow(col, L"Status SMART", L"Normal (tidak ada prediksi kegagalan)",
                      ui.colour(Role::statusGood), true);
        } else {
            readingRow(col, L"Status SMART", false, L"", disk.smart.limitation,
                       disk.smart.reason());
        }
        col.y += ui.px(6);
    }
    wrappedText(col,
                L"Yang dibaca hanya status ambang SMART keseluruhan dari firmware disk "
                L"(IOCTL_STORAGE_PREDICT_FAILURE), bukan atribut rinci. Status \"Normal\" bukan "
                L"jaminan disk bebas masalah.",
                FontRole::small);
    if (storage.lastSmartCheck != 0)
        wrappedText(col, L"Terakhir diperiksa: " + localTimeText(storage.lastSmartCheck),
                    FontRole::small);
    col.y += ui.px(4);
    button(ui, col.x, col.y, L"Periksa SMART sekarang", commandSmartCheck, 0, true);
    col.y += ui.px(36);
}

} // namespace

int App::pageStorage(Ui& ui, int x, int y, int width) {
    y += pageHeader(ui, x, y, width, L"Penyimpanan",
                    L"Kapasitas per drive, aktivitas baca/tulis, dan status SMART bila driver "
                    L"mendukungnya.");
    const int diskThreshold = settings.alertThreshold[size_t(AlertKind::Disk)];
    std::vector<Card> drives;
    for (const Drive& drive : machine.storage.drives)
        drives.push_back({driveTitle(drive), [&drive, diskThreshold](Col& col) {
                              driveCard(col, drive, diskThreshold);
                          }});
    if (drives.empty())
        drives.push_back({L"Drive", [](Col& col) {
                              wrappedText(col, L"Tidak ada drive lokal yang terdeteksi.");
                          }});
    y += cardGrid(ui, x, y, width, drives, 2, 340);
    y += cardGrid(
        ui, x, y, width,
        {{L"Disk fisik & SMART", [this](Col& col) { physicalDisksCard(col, machine.storage); }}}, 1,
        340);
    return y;
}

} // namespace ovra
