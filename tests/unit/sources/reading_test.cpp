// Readings and the labels of their limitations.
#include <gtest/gtest.h>

#include "sources/reading.h"

using namespace ovra;

// A reading starts as measuring, and each state shows the label of its category;
// a category the program does not know shows none.
TEST(Reading, StatesSwitchCleanlyAndShowTheirCategory) {
    Reading<double> reading;
    EXPECT_FALSE(reading.ok);
    EXPECT_EQ(limitationLabel(reading.limitation), L"Sedang mengukur");
    setUnavailable(reading, Limitation::WindowsApi, L"GetSystemTimes gagal.");
    EXPECT_EQ(limitationLabel(reading.limitation), L"API Windows");
    setReading(reading, 42.0);
    EXPECT_TRUE(reading.ok);
    EXPECT_EQ(limitationLabel(reading.limitation), L"");
    EXPECT_TRUE(reading.reason.empty());
    setUnavailable(reading, Limitation::Sensor, L"x");
    EXPECT_EQ(reading.value, 0.0) << "an unavailable reading carries 0";
    EXPECT_EQ(limitationLabel(reading.limitation), L"Sensor");
    EXPECT_EQ(limitationLabel(Limitation::Unsupported), L"Tidak didukung");
    EXPECT_EQ(limitationLabel(static_cast<Limitation>(10)), L"");
    EXPECT_EQ(limitationLabel(static_cast<Limitation>(0xFFFFFFFFu)), L"");
}
