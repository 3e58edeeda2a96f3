// The findings: conditions at their edges, texts, severities and the order.
#include "health/findings.h"

#include <gtest/gtest.h>

#include "machine.h"

using namespace ovra;
using ovra::test::gibibyte;
using ovra::test::Machine;

namespace {

const std::wstring smallRamSentence =
    L" Dengan RAM sekecil ini, browser modern ditambah beberapa aplikasi memang cepat memenuhi "
    L"memori.";
const std::wstring systemAdvice = L"Windows membutuhkan ruang kosong";
const std::wstring dataAdvice = L"Menyimpan berkas baru ke drive ini bisa gagal.";

bool startsWith(const std::wstring& text, const std::wstring& start) {
    return text.compare(0, start.size(), start) == 0;
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::wstring> titlesOf(const std::vector<Finding>& findings) {
    std::vector<std::wstring> titles;
    for (const Finding& finding : findings)
        titles.push_back(finding.title);
    return titles;
}

// Exactly one finding, with this severity, title and start of its body.
void expectOne(const std::vector<Finding>& found, FindingSeverity severity,
               const std::wstring& title, const std::wstring& bodyStart) {
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].severity, severity);
    EXPECT_EQ(found[0].title, title);
    EXPECT_TRUE(startsWith(found[0].body, bodyStart)) << found[0].body;
}

std::vector<Finding> findingsOf(const Machine& machine, bool cpuSustained = false) {
    return evaluateFindings(Settings{}, machine.inputs(), cpuSustained);
}

} // namespace

TEST(Findings, NoneOnAnUnmeasuredMachine) {
    EXPECT_TRUE(findingsOf(Machine{}, true).empty()) << "no reading, no finding";
}

TEST(Findings, RamAtTheThresholdAddsTheSmallRamSentenceUpToThreeGibibytes) {
    Machine machine;
    machine.setMemory(85.0, 3 * gibibyte, 460ull << 20);
    std::vector<Finding> found = findingsOf(machine);
    expectOne(found, FindingSeverity::Warning, L"RAM hampir penuh (85%)",
              L"Terpakai 2,55 GB dari 3,00 GB; tersedia 460 MB. Saat RAM penuh");
    EXPECT_TRUE(endsWith(found[0].body, L"pemakai RAM terbesar." + smallRamSentence));

    machine.setMemory(85.0, 4 * gibibyte, 600ull << 20);
    found = findingsOf(machine);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(endsWith(found[0].body, L"pemakai RAM terbesar."));

    machine.memory.usedPercent = 84.99;
    EXPECT_TRUE(findingsOf(machine).empty());
}

TEST(Findings, CommitAtExactlyNinetyPercentIsCritical) {
    Machine machine;
    setReading(machine.memory.commitTotal, 9 * gibibyte);
    setReading(machine.memory.commitLimit, 10 * gibibyte);
    expectOne(findingsOf(machine), FindingSeverity::Critical, L"Memori virtual hampir habis (90%)",
              L"Memori ter-commit 9,00 GB dari batas 10,0 GB (RAM + berkas paging). ");

    setReading(machine.memory.commitTotal, 9 * gibibyte - 1);
    EXPECT_TRUE(findingsOf(machine).empty());
    setReading(machine.memory.commitLimit, uint64_t(0));
    EXPECT_TRUE(findingsOf(machine).empty()) << "a zero limit is never divided by";
}

TEST(Findings, DiskSeverityFollowsFreeSpaceAndTheSystemDrive) {
    Machine machine;
    machine.addDrive(L'C', 100 * gibibyte, 3 * gibibyte, 3, true);      // 3 %: critical
    machine.addDrive(L'D', 100 * gibibyte, 7 * gibibyte);               // 7 % < 10: warning
    machine.addDrive(L'E', 100 * gibibyte, gibibyte, 2);                // removable: nothing
    machine.addDrive(L'F', 100 * gibibyte, 10 * gibibyte);              // equal to threshold
    machine.addDrive(L'G', 100 * gibibyte, 5 * gibibyte);               // 5.0 %: only a warning
    machine.addDrive(L'H', 200 * gibibyte, 3 * gibibyte).ready = false; // not ready
    const std::vector<Finding> found = findingsOf(machine);
    ASSERT_EQ(titlesOf(found),
              (std::vector<std::wstring>{L"Ruang disk C: menipis", L"Ruang disk D: menipis",
                                         L"Ruang disk G: menipis"}));
    EXPECT_EQ(found[0].severity, FindingSeverity::Critical);
    EXPECT_TRUE(startsWith(found[0].body, L"Tersisa 3,00 GB dari 100 GB (3,0%). " + systemAdvice))
        << found[0].body;
    EXPECT_EQ(found[1].severity, FindingSeverity::Warning);
    EXPECT_EQ(found[1].body, L"Tersisa 7,00 GB dari 100 GB (7,0%). " + dataAdvice +
                                 L" Pindahkan atau hapus berkas yang tidak diperlukan.");
    EXPECT_EQ(found[2].severity, FindingSeverity::Warning);

    // A 32 GiB system drive with 1.8 GiB free (5.6 %) is critical for its bytes alone.
    Machine small;
    small.addDrive(L'C', 32 * gibibyte, 1932735283, 3, true);
    ASSERT_EQ(findingsOf(small).size(), 1u);
    EXPECT_EQ(findingsOf(small)[0].severity, FindingSeverity::Critical);
    small.storage.drives[0].isSystem = false;
    EXPECT_EQ(findingsOf(small)[0].severity, FindingSeverity::Warning);
}

TEST(Findings, SmartPredictedFailureNamesTheDisk) {
    Machine machine;
    PhysicalDisk failing;
    failing.model = L"ACME SSD 512";
    setReading(failing.smart, true);
    PhysicalDisk healthy;
    setReading(healthy.smart, false);
    PhysicalDisk unread; // could not be read: skipped
    machine.storage.disks = {healthy, unread, failing};
    expectOne(findingsOf(machine), FindingSeverity::Critical,
              L"Disk memprediksi kegagalan (SMART): ACME SSD 512",
              L"Firmware disk melaporkan bahwa ambang SMART terlampaui.");
}

TEST(Findings, BatteryWearWarnsBelowEightyAndIsCriticalBelowSixty) {
    Machine machine;
    machine.battery.present = true;
    setReading(machine.battery.designCapacity, 50000u);
    setReading(machine.battery.fullCapacity, 39950u);
    setReading(machine.battery.health, 79.9);
    const std::vector<Finding> found = findingsOf(machine);
    expectOne(found, FindingSeverity::Warning, L"Kapasitas baterai tinggal 80% dari desain",
              L"Kapasitas penuh 39950 mWh dibanding kapasitas desain 50000 mWh (dilaporkan "
              L"firmware baterai). ");
    EXPECT_TRUE(endsWith(found[0].body, L"di bawah sekitar 80% waktu pakai terasa lebih singkat."));

    setReading(machine.battery.health, 59.9);
    EXPECT_EQ(findingsOf(machine)[0].severity, FindingSeverity::Critical);
    setReading(machine.battery.health, 80.0);
    EXPECT_TRUE(findingsOf(machine).empty());
    setReading(machine.battery.health, 10.0);
    machine.battery.present = false;
    EXPECT_TRUE(findingsOf(machine).empty());
}

TEST(Findings, SustainedCpuAndTemperature) {
    Machine machine;
    setReading(machine.cpu.usage, 97.0);
    EXPECT_TRUE(findingsOf(machine, false).empty());
    expectOne(findingsOf(machine, true), FindingSeverity::Warning, L"CPU sibuk terus-menerus",
              L"Penggunaan CPU 97% selama lebih dari 30 detik. Pada");

    Machine hot;
    hot.addGpuTemperature(85.0);
    expectOne(findingsOf(hot), FindingSeverity::Critical, L"Suhu tinggi (85°C)",
              L"Suhu dari sensor resmi melewati ambang Anda.");
}

TEST(Findings, ProducedWithEveryAlertSwitchedOff) {
    Machine machine;
    machine.setMemory(90, 8 * gibibyte, gibibyte);
    machine.addDrive(L'D', 100 * gibibyte, 5500ull << 20);
    setReading(machine.thermal.maxTemp, 90.0);
    Settings settings;
    settings.alertEnabled.fill(false);
    EXPECT_EQ(evaluateFindings(settings, machine.inputs(), false).size(), 3u);
}

TEST(Findings, CriticalFirstThenWarningsInCheckOrder) {
    Machine machine;
    machine.setMemory(90, 8 * gibibyte, gibibyte);
    setReading(machine.memory.commitTotal, 95 * gibibyte);
    setReading(machine.memory.commitLimit, 100 * gibibyte);
    machine.addDrive(L'C', 100 * gibibyte, 8 * gibibyte, 3, true);
    EXPECT_EQ(titlesOf(findingsOf(machine)),
              (std::vector<std::wstring>{L"Memori virtual hampir habis (95%)",
                                         L"RAM hampir penuh (90%)", L"Ruang disk C: menipis"}));

    // Every kind at once: commit, critical disk, SMART, critical battery, temperature,
    // then RAM, the warning disk, CPU.
    machine.addDrive(L'D', 100 * gibibyte, gibibyte);
    PhysicalDisk failing;
    failing.model = L"X";
    setReading(failing.smart, true);
    machine.storage.disks.push_back(failing);
    machine.battery.present = true;
    setReading(machine.battery.health, 50.0);
    setReading(machine.cpu.usage, 99.0);
    setReading(machine.thermal.maxTemp, 95.0);
    const std::vector<Finding> all = findingsOf(machine, true);
    EXPECT_EQ(titlesOf(all), (std::vector<std::wstring>{
                                 L"Memori virtual hampir habis (95%)", L"Ruang disk D: menipis",
                                 L"Disk memprediksi kegagalan (SMART): X",
                                 L"Kapasitas baterai tinggal 50% dari desain",
                                 L"Suhu tinggi (95°C)", L"RAM hampir penuh (90%)",
                                 L"Ruang disk C: menipis", L"CPU sibuk terus-menerus"}));
}
