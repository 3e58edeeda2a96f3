// Colour roles and blending.
#include <gtest/gtest.h>

#include "ui/palette.h"

using namespace ovra;

TEST(Palette, RolesAreStoredAsColorref) {
    // #0D7A6A is red 0x0D, green 0x7A, blue 0x6A.
    const Palette light = buildPalette(false);
    EXPECT_FALSE(light.dark);
    EXPECT_EQ(light[Role::accent], 0x006A7A0Du);
    EXPECT_EQ(light[Role::background], 0x00F7F5F3u);
    const Palette dark = buildPalette(true);
    EXPECT_TRUE(dark.dark);
    EXPECT_EQ(dark[Role::background], 0x001C1816u);
    EXPECT_EQ(dark[Role::controlHover], 0x00463E38u);
}

TEST(Palette, BlendRoundsHalfUpPerChannel) {
    EXPECT_EQ(lerpColour(0x000000, 0xFFFFFF, 0.5), 0x808080u);
    EXPECT_EQ(lerpColour(0x102030, 0x405060, 0.0), 0x102030u);
    EXPECT_EQ(lerpColour(0x102030, 0x405060, 1.0), 0x405060u);
    EXPECT_EQ(lerpColour(0xFF0000, 0x000000, 0.25), 0xBF0000u);
}
