// What a fast tick records, and when the process timer runs.
#include <gtest/gtest.h>

#include "app/scheduler.h"

using namespace ovra;

namespace {

Drive driveWith(bool readOk, double read, bool writeOk, double write) {
    Drive drive;
    if (readOk) setReading(drive.readRate, read);
    if (writeOk) setReading(drive.writeRate, write);
    return drive;
}

} // namespace

TEST(Sample, OnlyAvailableReadingsFillTheirFields) {
    const Sample empty = buildSample(123, {}, {}, {}, {}, {});
    EXPECT_EQ(empty.time, 123u);
    for (float value : {empty.cpuPercent, empty.ramPercent, empty.downloadRate, empty.uploadRate,
                        empty.diskReadRate, empty.diskWriteRate, empty.temperature})
        EXPECT_FALSE(hasValue(value));

    CpuInfo cpu;
    setReading(cpu.usage, 12.5);
    MemoryInfo memory;
    memory.ok = true;
    memory.usedPercent = 75;
    NetworkInfo network;
    setReading(network.status, true);
    network.downloadRate = 0; // an idle network is a real zero, not a missing value
    network.uploadRate = 2048;
    Reading<double> temperature;
    setReading(temperature, 47.0);

    // Rates need a previous update to compare with.
    EXPECT_FALSE(hasValue(buildSample(1, cpu, memory, network, {}, temperature).downloadRate));
    network.ratesValid = true;
    Sample sample = buildSample(1, cpu, memory, network, {}, temperature);
    EXPECT_FLOAT_EQ(sample.cpuPercent, 12.5f);
    EXPECT_FLOAT_EQ(sample.ramPercent, 75.0f);
    EXPECT_FLOAT_EQ(sample.downloadRate, 0.0f);
    EXPECT_FLOAT_EQ(sample.uploadRate, 2048.0f);
    EXPECT_FLOAT_EQ(sample.temperature, 47.0f);

    setUnavailable(cpu.usage, Limitation::WindowsApi, L"GetSystemTimes gagal.");
    setUnavailable(network.status, Limitation::WindowsApi, L"GetIfTable2 gagal: x");
    sample = buildSample(1, cpu, memory, network, {}, temperature);
    EXPECT_FALSE(hasValue(sample.cpuPercent));
    EXPECT_FALSE(hasValue(sample.uploadRate));
    EXPECT_FLOAT_EQ(sample.ramPercent, 75.0f);
}

TEST(Sample, DiskRatesSumOnlyDrivesWithBothRates) {
    StorageInfo storage;
    storage.drives.push_back(driveWith(true, 100, true, 50));
    storage.drives.push_back(driveWith(false, 0, false, 0));
    storage.drives.push_back(driveWith(true, 999, false, 0)); // only one rate: left out
    Sample sample = buildSample(1, {}, {}, {}, storage, {});
    EXPECT_FLOAT_EQ(sample.diskReadRate, 100.0f);
    EXPECT_FLOAT_EQ(sample.diskWriteRate, 50.0f);

    StorageInfo none;
    none.drives.push_back(driveWith(true, 5, false, 0));
    sample = buildSample(1, {}, {}, {}, none, {});
    EXPECT_FALSE(hasValue(sample.diskReadRate));
    EXPECT_FALSE(hasValue(sample.diskWriteRate));
}
