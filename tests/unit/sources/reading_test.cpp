// Readings and the labels of their limitations.
#include <gtest/gtest.h>

#include "sources/reading.h"

using namespace ovra;

TEST(Reading, StartsAsMeasuringAndSwitchesCleanly) {
    Reading<double> reading;
    EXPECT_FALSE(reading.ok);
    EXPECT_EQ(reading.limitation, Limitation::Measuring);
    setUnavailable(reading, Limitation::WindowsApi, L"GetSystemTimes gagal.");
    setReading(reading, 42.0);
    EXPECT_TRUE(reading.ok);
    EXPECT_EQ(reading.limitation, Limitation::None);
    EXPECT_TRUE(reading.reason.empty());
    setUnavailable(reading, Limitation::Sensor, L"x");
    EXPECT_EQ(reading.value, 0.0) << "an unavailable reading carries 0";
}

TEST(Reading, EveryLimitationHasItsLabel) {
    const wchar_t* labels[] = {L"",           L"Sedang mengukur", L"Sensor",    L"Firmware",
                               L"Driver",     L"API Windows",     L"Hak akses", L"Perangkat keras",
                               L"Pengaturan", L"Tidak didukung"};
    for (uint32_t value = 0; value < 10; ++value)
        EXPECT_EQ(limitationLabel(static_cast<Limitation>(value)), labels[value]) << value;
    EXPECT_EQ(limitationLabel(static_cast<Limitation>(10)), L"");
    EXPECT_EQ(limitationLabel(static_cast<Limitation>(0xFFFFFFFFu)), L"");
}
