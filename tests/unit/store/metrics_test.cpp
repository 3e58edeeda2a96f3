// The metrics file: its text from fabricated records, two users, the replace under a reader.
#include <gtest/gtest.h>

#include <windows.h>

#include <tuple>

#include "export/metrics_file.h"
#include "harness.h"

namespace ovra {

TEST(MetricsFile, TextHasEveryReadSeriesEscapedAndNamesWhatIsMissing) {
    CpuInfo cpu;
    MemoryInfo memory;
    StorageInfo storage{{Drive{}}, {PhysicalDisk{}}, {}, 0};
    BatteryInfo battery;
    ThermalInfo thermal;
    SystemInfo system;
    Drive& drive = storage.drives[0];
    std::tie(memory.ok, memory.availableBytes, battery.present, system.osName) =
        std::tuple(true, 2000ull, true, L"W");
    std::tie(drive.letter, drive.label, drive.driveType, drive.ready, drive.freeBytes) =
        std::tuple(L'D', L"a\"b\\c\nd", 2u, true, 7ull);
    std::tie(storage.disks[0].number, storage.disks[0].model) = std::tuple(1, L"M");
    setReading(cpu.usage, 42.0), setReading(drive.readRate, 1536.0),
        setReading(battery.health, 75.5);
    setReading(storage.disks[0].smart, true), setReading(thermal.status, true);
    setUnavailable(memory.commitTotal, Limitation::Permission, L"x");
    thermal.zones.push_back({L"\\_TZ.TZ00", 50.5});
    const std::vector<Finding> findings{{FindingSeverity::Critical, L"", L""}};
    const std::vector<Alert> alerts{{AlertKind::Disk, L"", L""}};
    MetricsSnapshot snapshot{cpu,     memory,    NetworkInfo{}, storage,  battery,
                             thermal, GpuInfo{}, system,        findings, alerts,
                             true,    80,        L"Budi \"B\"", L"1.2.3", 116444736015000000ull};
    const std::string text = metricsText(snapshot), u = "{user=\"Budi \\\"B\\\"\"",
                      d = ",drive=\"D:\",volume=\"a\\\"b\\\\c\\nd\",type=\"removable\"}",
                      r = "ovra_reading_unavailable" + u + ",reading=\"ovra_";
    for (const std::string& line :
         {"ovra_info" + u + ",version=\"1.2.3\",windows=\"W\",windows_version=\"\"} 1\n",
          "ovra_reading_timestamp_seconds" + u + "} 1.5\n", "ovra_cpu_usage_ratio" + u + "} 0.42\n",
          "ovra_memory_available_bytes" + u + "} 2000\n", "ovra_drive_free_bytes" + u + d + " 7\n",
          "ovra_drive_read_bytes_per_second" + u + d + " 1536\n",
          "ovra_disk_failure_predicted" + u + ",disk=\"1\",model=\"M\"} 1\n",
          "ovra_battery_capacity_ratio" + u + "} 0.755\n",
          "ovra_temperature_celsius" + u + ",zone=\"\\\\_TZ.TZ00\"} 50.5\n",
          "ovra_temperature_limit_celsius" + u + "} 80\n",
          "ovra_findings" + u + ",severity=\"critical\"} 1\n",
          "ovra_alert_active" + u + ",kind=\"disk\"} 1\n", "ovra_power_change_active" + u + "} 1\n",
          r + "memory_commit_bytes\",category=\"permission\",reason=\"x\"} 1\n",
          r + "drive_write_bytes_per_second\",category=\"measuring\"" + d + " 1\n",
          r + "battery_cycle_count\",category=\"measuring\"} 1\n"}) {
        const size_t at = text.find(line);
        EXPECT_TRUE(at != std::string::npos &&
                    text.find("# TYPE " + line.substr(0, line.find('{')) + " gauge\n") < at)
            << line << text;
    }
    for (const char* absent :
         {"ovra_gpu", "ovra_memory_commit_bytes{", "ovra_battery_cycle_count{",
          "ovra_network_receive_bytes_per_second{", "ovra_hottest_temperature_celsius{"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
    EXPECT_EQ(text.back(), '\n');
    // Two users, two files and two labels: a name that needs replacing gets a hash too.
    snapshot.user = L"Ani";
    EXPECT_NE(metricsText(snapshot).find("ovra_cpu_usage_ratio{user=\"Ani\"} 0.42\n"),
              std::string::npos);
    EXPECT_EQ(metricsFileName(L"budi-2_x"), L"ovra_budi-2_x.prom");
    EXPECT_EQ(metricsFileName(L"budi x").substr(0, 12), L"ovra_budi_x_");
}

// Under a reader Wine refuses the rename over the open file, whatever it shares: the write fails
// with the reason, the old file stays whole, no temporary file is left; the next one replaces it.
TEST(MetricsFile, ReplacedInOneStepOrNotAtAll) {
    test::TempFolder folder{L"ovra-metrics"};
    const std::wstring name = L"ovra_a.prom", path = folder.file(name.c_str());
    const auto open = [&] {
        return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    };
    const auto read = [](HANDLE file) {
        char text[8] = {};
        DWORD done = 0;
        const bool ok = ReadFile(file, text, 7, &done, nullptr);
        CloseHandle(file);
        return ok ? std::string(text, done) : "";
    };
    std::wstring error;
    ASSERT_TRUE(writeMetricsFile(folder.path, name, "old\n", error)) << error.c_str();
    const HANDLE reader = open();
    EXPECT_FALSE(writeMetricsFile(folder.path, name, "new\n", error));
    EXPECT_NE(error.find(L"(0x00000005)"), std::wstring::npos) << error.c_str();
    EXPECT_EQ(read(reader) + read(open()), "old\nold\n");
    EXPECT_EQ(GetFileAttributesW((path + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(writeMetricsFile(folder.path + L"\\", name, "new\n", error));
    EXPECT_EQ(read(open()), "new\n");
    EXPECT_FALSE(writeMetricsFile(folder.file(L"none"), name, "x\n", error));
}

} // namespace ovra
