// Colour roles and blending.
#include <gtest/gtest.h>

#include "ui/palette.h"

using namespace ovra;

// Colours are COLORREFs (red in the low byte), and blending works per channel on
// them: the accent #0D7A6A halfway to white is #86BDB5.
TEST(Palette, BlendRoundsHalfUpPerChannel) {
    const Palette light = buildPalette(false);
    EXPECT_EQ(lerpColour(light[Role::accent], 0xFFFFFF, 0.5), 0x00B5BD86u);
    EXPECT_TRUE(buildPalette(true).dark);
    EXPECT_EQ(lerpColour(0x000000, 0xFFFFFF, 0.5), 0x808080u);
    EXPECT_EQ(lerpColour(0x102030, 0x405060, 0.0), 0x102030u);
    EXPECT_EQ(lerpColour(0x102030, 0x405060, 1.0), 0x405060u);
    EXPECT_EQ(lerpColour(0xFF0000, 0x000000, 0.25), 0xBF0000u);
}
