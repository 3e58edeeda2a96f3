#include "health/findings.h"

#include <algorithm>

#include "sources/format.h"

namespace ovra {

namespace {

constexpr uint64_t smallRamBytes = 3'221'225'472;      // 3 GiB
constexpr uint64_t lowSystemFreeBytes = 2'147'483'647; // below 2 GiB
constexpr double commitLimitPercent = 90.0;
constexpr double criticalFreePercent = 5.0;
constexpr double wornBatteryPercent = 80.0;
constexpr double badBatteryPercent = 60.0;

std::wstring bytes(uint64_t value) {
    return formatBytes(double(value));
}

void checkRam(const Settings& settings, const MemoryInfo& memory, std::vector<Finding>& found) {
    if (!memory.ok || memory.usedPercent < double(settings.alertThreshold[size_t(AlertKind::Ram)]))
        return;
    const uint64_t used =
        memory.totalBytes > memory.availableBytes ? memory.totalBytes - memory.availableBytes : 0;
    std::wstring body = formatText(
        L"Terpakai %ls dari %ls; tersedia %ls. Saat RAM penuh, Windows memindahkan data ke berkas "
        L"paging di disk yang jauh lebih lambat sehingga aplikasi terasa tersendat. Tutup aplikasi "
        L"atau tab browser yang tidak dipakai; halaman Proses menunjukkan pemakai RAM terbesar.",
        bytes(used).c_str(), bytes(memory.totalBytes).c_str(),
        bytes(memory.availableBytes).c_str());
    if (memory.totalBytes <= smallRamBytes)
        body += L" Dengan RAM sekecil ini, browser modern ditambah beberapa aplikasi memang cepat "
                L"memenuhi memori.";
    found.push_back(
        Finding{FindingSeverity::Warning,
                formatText(L"RAM hampir penuh (%ls)", formatPercent(memory.usedPercent).c_str()),
                std::move(body)});
}

void checkCommit(const MemoryInfo& memory, std::vector<Finding>& found) {
    if (!memory.commitTotal.ok || !memory.commitLimit.ok || memory.commitLimit.value == 0) return;
    const double percent =
        double(memory.commitTotal.value) * 100.0 / double(memory.commitLimit.value);
    if (percent < commitLimitPercent) return;
    found.push_back(Finding{
        FindingSeverity::Critical,
        formatText(L"Memori virtual hampir habis (%ls)", formatPercent(percent).c_str()),
        formatText(L"Memori ter-commit %ls dari batas %ls (RAM + berkas paging). Jika batas "
                   L"tercapai, aplikasi bisa gagal membuka atau ditutup paksa. Tutup aplikasi, "
                   L"atau biarkan Windows mengatur ukuran berkas paging secara otomatis.",
                   bytes(memory.commitTotal.value).c_str(),
                   bytes(memory.commitLimit.value).c_str())});
}

void checkDrives(const Settings& settings, const std::vector<Drive>& drives,
                 std::vector<Finding>& found) {
    const double threshold = settings.alertThreshold[size_t(AlertKind::Disk)];
    for (const Drive& drive : drives) {
        if (!driveCountsForSpace(drive)) continue;
        const double free = freePercent(drive);
        FindingSeverity severity;
        if (free < criticalFreePercent || (drive.isSystem && drive.freeBytes <= lowSystemFreeBytes))
            severity = FindingSeverity::Critical;
        else if (threshold > free)
            severity = FindingSeverity::Warning;
        else
            continue;
        std::wstring body =
            formatText(L"Tersisa %ls dari %ls (%ls). ", bytes(drive.freeBytes).c_str(),
                       bytes(drive.totalBytes).c_str(), formatPercent(free).c_str());
        body += drive.isSystem
                    ? L"Windows membutuhkan ruang kosong untuk berkas sementara, pembaruan, dan "
                      L"berkas paging. Jalankan Pembersihan Disk (cleanmgr), kosongkan Recycle "
                      L"Bin, atau pindahkan berkas besar ke drive lain."
                    : L"Menyimpan berkas baru ke drive ini bisa gagal. Pindahkan atau hapus berkas "
                      L"yang tidak diperlukan.";
        found.push_back(Finding{severity,
                                formatText(L"Ruang disk %lc: menipis", wint_t(drive.letter)),
                                std::move(body)});
    }
}

void checkSmart(const std::vector<PhysicalDisk>& disks, std::vector<Finding>& found) {
    for (const PhysicalDisk& disk : disks) {
        if (!disk.smart.ok || !disk.smart.value) continue;
        found.push_back(Finding{FindingSeverity::Critical,
                                L"Disk memprediksi kegagalan (SMART): " + disk.model,
                                L"Firmware disk melaporkan bahwa ambang SMART terlampaui. Segera "
                                L"cadangkan data penting dan siapkan penggantian disk."});
    }
}

void checkBattery(const BatteryInfo& battery, std::vector<Finding>& found) {
    if (!battery.present || !battery.health.ok || battery.health.value >= wornBatteryPercent)
        return;
    found.push_back(Finding{
        battery.health.value < badBatteryPercent ? FindingSeverity::Critical
                                                 : FindingSeverity::Warning,
        formatText(L"Kapasitas baterai tinggal %ls dari desain",
                   formatPercent(battery.health.value).c_str()),
        formatText(L"Kapasitas penuh %lu mWh dibanding kapasitas desain %lu mWh (dilaporkan "
                   L"firmware baterai). Baterai litium wajar menurun seiring siklus pengisian; di "
                   L"bawah sekitar 80%% waktu pakai terasa lebih singkat.",
                   static_cast<unsigned long>(battery.fullCapacity.value),
                   static_cast<unsigned long>(battery.designCapacity.value))});
}

void checkCpu(const CpuInfo& cpu, bool cpuSustained, std::vector<Finding>& found) {
    if (!cpuSustained || !cpu.usage.ok) return;
    found.push_back(Finding{
        FindingSeverity::Warning, L"CPU sibuk terus-menerus",
        formatText(L"Penggunaan CPU %ls selama lebih dari 30 detik. Pada prosesor kelas rendah ini "
                   L"membuat sistem lambat dan baterai cepat habis. Lihat halaman Proses untuk "
                   L"mengetahui aplikasi penyebabnya (pembaruan Windows dan pemindaian antivirus "
                   L"sering menjadi penyebab sementara).",
                   formatPercent(cpu.usage.value).c_str())});
}

void checkTemperature(const Settings& settings, const Reading<double>& hottest,
                      std::vector<Finding>& found) {
    if (!hottest.ok ||
        hottest.value < double(settings.alertThreshold[size_t(AlertKind::Temperature)]))
        return;
    found.push_back(Finding{
        FindingSeverity::Critical,
        formatText(L"Suhu tinggi (%ls°C)", formatNumber(hottest.value, 0).c_str()),
        L"Suhu dari sensor resmi melewati ambang Anda. Pastikan lubang ventilasi tidak tertutup, "
        L"bersihkan debu, dan hindari memakai laptop di atas kasur atau bantal."});
}

} // namespace

std::vector<Finding> evaluateFindings(const Settings& settings, const HealthInputs& inputs,
                                      bool cpuSustained) {
    std::vector<Finding> found;
    checkRam(settings, inputs.memory, found);
    checkCommit(inputs.memory, found);
    checkDrives(settings, inputs.storage.drives, found);
    checkSmart(inputs.storage.disks, found);
    checkBattery(inputs.battery, found);
    checkCpu(inputs.cpu, cpuSustained, found);
    checkTemperature(settings, hottestOfficialTemperature(inputs.thermal, inputs.gpu), found);
    std::stable_sort(found.begin(), found.end(), [](const Finding& a, const Finding& b) {
        return int32_t(a.severity) > int32_t(b.severity);
    });
    return found;
}

} // namespace ovra
