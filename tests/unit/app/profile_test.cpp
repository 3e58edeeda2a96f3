// The timing profile's statistics and its report.
#include <gtest/gtest.h>

#include "app/profile.h"

using namespace ovra;

TEST(Profile, ReportIsDueAtEveryTwentiethPaintOnly) {
    ProfileStats stats;
    stats.enabled = true;
    int due = 0;
    for (int tick = 0; tick < 45; ++tick)
        if (profileRecord(stats, ProfileSection::fastTick, 1.0)) ++due;
    EXPECT_EQ(due, 0) << "ticks are reported at the next 20th paint, never on their own";
    for (int paint = 1; paint <= 60; ++paint)
        if (profileRecord(stats, ProfileSection::paint, 2.0)) {
            ++due;
            EXPECT_EQ(paint % 20, 0) << paint;
        }
    EXPECT_EQ(due, 3);
    EXPECT_EQ(stats.count[1], 45);
}

TEST(Profile, ReportLinesKeepTheirColumnsAndShowUnusedSectionsAsZero) {
    ProfileStats stats;
    profileRecord(stats, ProfileSection::paint, 1.5);
    profileRecord(stats, ProfileSection::paint, 4.25);
    profileRecord(stats, ProfileSection::slowTick, 123456.789);
    EXPECT_EQ(profileReportText(stats),
              "gambar         n=    2 rata2=   2.88 ms maks=   4.25 ms\r\n"
              "sampel_cepat   n=    0 rata2=   0.00 ms maks=   0.00 ms\r\n"
              "sampel_lambat  n=    1 rata2=123456.79 ms maks=123456.79 ms\r\n"
              "sampel_proses  n=    0 rata2=   0.00 ms maks=   0.00 ms\r\n");
}
