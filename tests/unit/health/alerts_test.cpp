// The alert evaluation: conditions, the 30-second CPU rule and the notification
// throttle, with fabricated readings and clock values.
#include "health/alerts.h"

#include <gtest/gtest.h>

#include "machine.h"

using namespace ovra;
using ovra::test::gibibyte;
using ovra::test::Machine;

namespace {

constexpr uint64_t second = 10'000'000; // FILETIME units
constexpr uint64_t minute = 60 * second;
constexpr uint64_t start = 133'590'241'890'000'000ull;

std::vector<AlertKind> kindsOf(const std::vector<Alert>& alerts) {
    std::vector<AlertKind> kinds;
    for (const Alert& alert : alerts)
        kinds.push_back(alert.kind);
    return kinds;
}

} // namespace

TEST(CpuAlert, RaisedOnTheFirstTickThirtySecondsAfterTheFirstHighOne) {
    Machine machine;
    Settings settings;
    AlertState state;
    setReading(machine.cpu.usage, 95.0);
    uint64_t now = start;
    for (int tick = 0; tick < 15; ++tick, now += 2 * second) {
        EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), now).empty()) << tick;
        EXPECT_FALSE(state.cpuSustained);
    }
    EXPECT_EQ(state.cpuHighSince, start);
    const std::vector<Alert> raised = evaluateAlerts(state, settings, machine.inputs(), now);
    ASSERT_EQ(raised.size(), 1u) << "30 s after the first high tick";
    EXPECT_EQ(raised[0].title, L"CPU sibuk terus-menerus");
    EXPECT_EQ(raised[0].message, L"Penggunaan CPU 95% selama lebih dari 30 detik (ambang 90%).");
    EXPECT_TRUE(state.cpuSustained);

    // One tick at 89 % ends the run; the wait starts again from the next high tick.
    setReading(machine.cpu.usage, 89.0);
    evaluateAlerts(state, settings, machine.inputs(), now += 2 * second);
    EXPECT_EQ(state.cpuHighSince, 0u);
    EXPECT_FALSE(state.cpuSustained);
    EXPECT_TRUE(state.active.empty());
    setReading(machine.cpu.usage, 90.0); // exactly at the threshold counts as high
    const uint64_t restart = now += 2 * second;
    evaluateAlerts(state, settings, machine.inputs(), restart);
    EXPECT_EQ(state.cpuHighSince, restart);
    evaluateAlerts(state, settings, machine.inputs(), restart + 30 * second - 1);
    EXPECT_TRUE(state.active.empty());
    evaluateAlerts(state, settings, machine.inputs(), restart + 30 * second);
    EXPECT_EQ(state.active.size(), 1u);
}

TEST(CpuAlert, SustainIsTrackedWithTheAlertOffAndResetByAMissingReading) {
    Machine machine;
    Settings settings;
    settings.alertEnabled[0] = false;
    AlertState state;
    setReading(machine.cpu.usage, 100.0);
    evaluateAlerts(state, settings, machine.inputs(), start);
    evaluateAlerts(state, settings, machine.inputs(), start + 40 * second);
    EXPECT_TRUE(state.cpuSustained);
    EXPECT_TRUE(state.active.empty());

    setUnavailable(machine.cpu.usage, Limitation::WindowsApi, L"GetSystemTimes gagal.");
    evaluateAlerts(state, settings, machine.inputs(), start + 42 * second);
    EXPECT_FALSE(state.cpuSustained);
    EXPECT_EQ(state.cpuHighSince, 0u);
}

TEST(Alerts, ThresholdsRaiseAtEqualityExceptDiskSpace) {
    Machine machine;
    Settings settings;
    machine.setMemory(85.0, 8 * gibibyte, 1536ull << 20);
    machine.setBattery(15);
    machine.thermal.maxTemp.ok = true;
    machine.thermal.maxTemp.value = 85.0;
    machine.addDrive(L'C', 100 * gibibyte, 10 * gibibyte); // exactly 10 % free
    AlertState state;
    const std::vector<Alert> raised = evaluateAlerts(state, settings, machine.inputs(), start);
    EXPECT_EQ(kindsOf(raised),
              (std::vector<AlertKind>{AlertKind::Ram, AlertKind::Battery, AlertKind::Temperature}));
    ASSERT_EQ(raised.size(), 3u);
    EXPECT_EQ(raised[0].message, L"RAM terpakai 85% (ambang 85%). Tersedia 1,50 GB.");
    EXPECT_EQ(raised[1].message, L"Baterai 15% dan tidak sedang terhubung ke listrik.");
    EXPECT_EQ(raised[2].message,
              L"Sensor resmi melaporkan 85°C (ambang 85°C). Pastikan ventilasi tidak tertutup.");

    machine.memory.usedPercent = 84.9;
    machine.setBattery(16);
    machine.thermal.maxTemp.value = 84.4;
    EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), start + second).empty());
    EXPECT_TRUE(state.active.empty());
}

TEST(Alerts, LowFixedDrivesShareOneMessageInLetterOrder) {
    Machine machine;
    Settings settings;
    machine.addDrive(L'C', 100 * gibibyte, 5 * gibibyte);
    machine.addDrive(L'D', 200 * gibibyte, 10 * gibibyte);
    machine.addDrive(L'E', 100 * gibibyte, gibibyte, 2); // removable, 1 % free
    machine.addDrive(L'F', 100 * gibibyte, 0).ready = false;
    machine.addDrive(L'G', 0, 0);
    AlertState state;
    const std::vector<Alert> raised = evaluateAlerts(state, settings, machine.inputs(), start);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].title, L"Ruang disk menipis");
    EXPECT_EQ(raised[0].message, L"C: tersisa 5,00 GB (5,0%). D: tersisa 10,0 GB (5,0%).");

    Machine removableOnly;
    removableOnly.addDrive(L'E', 100 * gibibyte, gibibyte, 2);
    EXPECT_TRUE(evaluateAlerts(state, settings, removableOnly.inputs(), start).empty());
}

TEST(Alerts, BatteryCountsAsUnpluggedUnlessKnownOnMains) {
    Machine machine;
    Settings settings;
    AlertState state;
    EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), start).empty()) << "no battery";

    machine.setBattery(10); // power source unknown
    EXPECT_EQ(evaluateAlerts(state, settings, machine.inputs(), start).size(), 1u);
    setReading(machine.battery.onAc, true);
    evaluateAlerts(state, settings, machine.inputs(), start);
    EXPECT_TRUE(state.active.empty());
    setReading(machine.battery.onAc, false);
    evaluateAlerts(state, settings, machine.inputs(), start);
    EXPECT_EQ(state.active.size(), 1u);
}

TEST(Alerts, HottestTemperatureComesFromZonesOrGpus) {
    Machine machine;
    Settings settings;
    AlertState state;
    setReading(machine.thermal.maxTemp, 60.0);
    machine.addGpuTemperature(90.0);
    const std::vector<Alert> raised = evaluateAlerts(state, settings, machine.inputs(), start);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].title, L"Suhu tinggi");
    EXPECT_NE(raised[0].message.find(L"melaporkan 90°C"), std::wstring::npos);
}

TEST(AlertNotification, ReturnWithinTenMinutesIsListedButNotNotified) {
    Machine machine;
    Settings settings;
    settings.notifications = false; // the clock runs all the same
    AlertState state;
    machine.setMemory(90, 8 * gibibyte, gibibyte);
    EXPECT_EQ(evaluateAlerts(state, settings, machine.inputs(), start).size(), 1u);
    EXPECT_EQ(state.lastNotified[1], start);
    EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), start + 2 * second).empty())
        << "a condition that stays raised notifies once";

    machine.memory.usedPercent = 50;
    evaluateAlerts(state, settings, machine.inputs(), start + minute);
    EXPECT_FALSE(state.present[1]);
    machine.memory.usedPercent = 90;
    EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), start + 5 * minute).empty());
    EXPECT_EQ(state.active.size(), 1u) << "listed though not notified";
    EXPECT_TRUE(evaluateAlerts(state, settings, machine.inputs(), start + 12 * minute).empty())
        << "staying past the 10 minutes still notifies nothing";
}

TEST(AlertNotification, ReturnNotifiesAgainFromTenMinutesAfterTheLastNotification) {
    Machine machine;
    Settings settings;
    AlertState state;
    const auto ramAt = [&](double percent, uint64_t now) {
        machine.setMemory(percent, 8 * gibibyte, gibibyte);
        return evaluateAlerts(state, settings, machine.inputs(), now).size();
    };
    EXPECT_EQ(ramAt(90, start), 1u);
    ramAt(50, start + minute);
    EXPECT_EQ(ramAt(90, start + 10 * minute - 2), 0u);
    ramAt(50, start + 10 * minute - 1);
    EXPECT_EQ(ramAt(90, start + 10 * minute), 1u);
    EXPECT_EQ(state.lastNotified[1], start + 10 * minute);
}

TEST(AlertNotification, SeveralKindsInOneTickAreNotifiedInKindOrder) {
    Machine machine;
    Settings settings;
    machine.addGpuTemperature(99);
    machine.setBattery(5);
    machine.addDrive(L'C', 100 * gibibyte, gibibyte);
    machine.setMemory(97, 4 * gibibyte, 100 << 20);
    AlertState state;
    EXPECT_EQ(kindsOf(evaluateAlerts(state, settings, machine.inputs(), start)),
              (std::vector<AlertKind>{AlertKind::Ram, AlertKind::Disk, AlertKind::Battery,
                                      AlertKind::Temperature}));

    // Switching a kind off drops it at once; on again later, it notifies anew.
    settings.alertEnabled[size_t(AlertKind::Disk)] = false;
    evaluateAlerts(state, settings, machine.inputs(), start + second);
    EXPECT_FALSE(state.present[size_t(AlertKind::Disk)]);
    EXPECT_EQ(state.active.size(), 3u);
    settings.alertEnabled[size_t(AlertKind::Disk)] = true;
    EXPECT_EQ(kindsOf(evaluateAlerts(state, settings, machine.inputs(), start + 11 * minute)),
              std::vector<AlertKind>{AlertKind::Disk});
}
