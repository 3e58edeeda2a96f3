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

TEST(Reading, LimitationLabels) {
    EXPECT_EQ(limitationLabel(Limitation::None), L"");
    EXPECT_EQ(limitationLabel(Limitation::Measuring), L"Sedang mengukur");
    EXPECT_EQ(limitationLabel(Limitation::WindowsApi), L"API Windows");
    EXPECT_EQ(limitationLabel(Limitation::Permission), L"Hak akses");
    EXPECT_EQ(limitationLabel(Limitation::Hardware), L"Perangkat keras");
    EXPECT_EQ(limitationLabel(Limitation::Unsupported), L"Tidak didukung");
    EXPECT_EQ(limitationLabel(static_cast<Limitation>(10)), L"");
}
