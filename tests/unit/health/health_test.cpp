// Alerts and findings on a fabricated machine, with durations in monotonic ms.
#include <gtest/gtest.h>

#include "health/findings.h"

using namespace ovra;

namespace {

constexpr uint64_t gib = 1ull << 30;

struct Machine {
    CpuInfo cpu;
    MemoryInfo memory;
    StorageInfo storage;
    BatteryInfo battery;
    ThermalInfo thermal;
    GpuInfo gpu;
    HealthInputs inputs() const { return {cpu, memory, storage, battery, thermal, gpu}; }
};

// Ready unless F; C is the system drive; type 2 is removable.
Drive drive(wchar_t letter, uint64_t free, uint32_t type = 3) {
    Drive drive;
    drive.letter = letter;
    drive.driveType = type;
    drive.ready = letter != L'F';
    drive.totalBytes = letter == L'E' ? 200 * gib : 100 * gib;
    drive.freeBytes = free;
    drive.isSystem = letter == L'C';
    return drive;
}

std::wstring joined(const std::vector<Alert>& alerts, const std::vector<Finding>& findings = {}) {
    std::wstring text;
    for (const Alert& alert : alerts)
        text += alert.title + L": " + alert.message + L"|";
    for (const Finding& finding : findings)
        text += finding.title + L": " + finding.body + L"|";
    return text;
}

} // namespace

// Every default threshold met exactly (RAM 85 %, disk 10 %, battery 15 %, 85 °C), then not.
TEST(Health, EachCheckAtItsEdgeInOrderAndItsTimesOnTheMonotonicClock) {
    Machine m;
    m.memory.ok = true;
    m.memory.usedPercent = 85;
    m.memory.totalBytes = 3 * gib;
    m.memory.availableBytes = 460ull << 20;
    setReading(m.memory.commitTotal, 9 * gib);
    setReading(m.memory.commitLimit, 10 * gib);
    m.storage.drives = {drive(L'C', 8 * gib), drive(L'D', 4 * gib),  drive(L'E', 20 * gib),
                        drive(L'F', 0),       drive(L'G', 10 * gib), drive(L'R', gib, 2)};
    m.storage.disks.resize(3); // the first healthy, the second not read
    setReading(m.storage.disks[0].smart, false);
    setReading(m.storage.disks[2].smart, true);
    m.storage.disks[2].model = L"ACME";
    m.battery.present = true;
    setReading(m.battery.percent, 15u); // on mains or not: not known
    setReading(m.battery.designCapacity, 50000u);
    setReading(m.battery.fullCapacity, 39950u);
    setReading(m.battery.health, 79.9);
    setReading(m.thermal.maxTemp, 60.0);
    m.gpu.adapters.resize(1);
    setReading(m.gpu.adapters[0].temperature, 85.0);
    AlertState state;
    const auto all = [&](uint64_t ms) {
        return joined(evaluateAlerts(state, Settings{}, m.inputs(), ms),
                      evaluateFindings(Settings{}, m.inputs(), false));
    };
    std::wstring text = all(1);
    EXPECT_NE(text.find(L"RAM sekecil ini"), text.npos) << "3 GiB counts as small";
    for (const wchar_t* part :
         {L"RAM hampir penuh: RAM terpakai 85% (ambang 85%). Tersedia 460 MB.|",
          L"Ruang disk menipis: C: tersisa 8,00 GB (8,0%). D: tersisa 4,00 GB (4,0%).|Baterai "
          L"lemah: Baterai 15% ",
          L"|Suhu tinggi: Sensor resmi melaporkan 85°C (ambang 85°C).",
          L"|Memori virtual hampir habis (90%): Memori ter-commit 9,00 GB dari batas 10,0 GB",
          L"|Ruang disk D: menipis: Tersisa 4,00 GB dari 100 GB (4,0%). Menyimpan",
          L"|Disk memprediksi kegagalan (SMART): ACME: Firmware", L"|Suhu tinggi (85°C): ",
          L"|RAM hampir penuh (85%): Terpakai 2,55 GB dari 3,00 GB; tersedia 460 MB.",
          L"|Ruang disk C: menipis: Tersisa 8,00 GB dari 100 GB (8,0%). Windows",
          L"|Kapasitas baterai tinggal 80% dari desain: Kapasitas "
          L"penuh 39950 mWh dibanding kapasitas desain 50000 mWh"}) {
        const size_t at = text.find(part);
        ASSERT_NE(at, text.npos) << "in order: " << std::wstring(part).size();
        text.erase(0, at + wcslen(part));
    }
    EXPECT_EQ(text.find(L"menipis: "), text.npos) << "E has exactly 10 % free";
    m.memory.totalBytes = 3 * gib + 1;
    EXPECT_EQ(joined({}, evaluateFindings(Settings{}, m.inputs(), false)).find(L"sekecil"),
              std::wstring::npos);

    m.memory.usedPercent = 84.99;
    setReading(m.memory.commitTotal, 9 * gib - 1);
    m.storage.drives = {drive(L'C', 10 * gib), drive(L'D', 10 * gib)};
    m.storage.disks.clear();
    setReading(m.battery.percent, 16u);
    setReading(m.battery.health, 80.0);
    setReading(m.gpu.adapters[0].temperature, 84.4);
    EXPECT_EQ(all(2), L"");
    setReading(m.battery.percent, 5u);
    setReading(m.battery.onAc, true);
    setReading(m.battery.health, 59.9);
    EXPECT_EQ(all(3).find(L"Kapasitas baterai tinggal 60%"), 0u) << "on mains: no alert";
    EXPECT_EQ(evaluateFindings(Settings{}, m.inputs(), false)[0].severity,
              FindingSeverity::Critical);

    m = Machine{}; // the CPU waits 30 s, a notified kind stays quiet for ten minutes
    Settings settings;
    state = AlertState{};
    const auto at = [&](uint64_t ms) {
        return joined(evaluateAlerts(state, settings, m.inputs(), ms));
    };
    setReading(m.cpu.usage, 90.0); // at the threshold counts as high
    EXPECT_EQ(at(5'000), L"");
    EXPECT_EQ(at(34'999), L"");
    EXPECT_NE(at(35'000).find(L"CPU 90% selama lebih dari 30 detik"), std::wstring::npos);
    setReading(m.cpu.usage, 89.0); // one reading below starts the wait again
    EXPECT_EQ(at(37'000), L"");
    settings.alertEnabled[size_t(AlertKind::Cpu)] = false; // still tracked for the findings
    setReading(m.cpu.usage, 100.0);
    at(38'000);
    at(68'000);
    EXPECT_TRUE(state.cpuSustained);

    m.memory.ok = true;
    m.memory.usedPercent = 90;
    EXPECT_EQ(at(70'000).find(L"RAM"), 0u) << "the first one, however soon after boot";
    EXPECT_EQ(at(72'000), L"") << "a condition that stays raised notifies once";
    for (uint64_t ms : {74'000, 669'999, 670'000, 670'000}) { // clears and returns twice
        m.memory.usedPercent = m.memory.usedPercent < 85 ? 90 : 50;
        EXPECT_EQ(at(ms).empty(), ms != 670'000 || m.memory.usedPercent < 85) << ms;
    }
}
