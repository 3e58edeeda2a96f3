#pragma once
// Clickable rectangles recorded while painting. They are rebuilt by every paint,
// so a click always acts on what was last drawn.
#include <cstdint>
#include <vector>
#include <windows.h>

namespace ovra {

struct HitRegion {
    RECT rect{}; // client pixels
    int32_t command = 0;
    int32_t argument = 0;
};

// The region under a point: the last recorded one that contains it, since later
// regions are drawn above earlier ones; -1 when none does.
int regionAt(const std::vector<HitRegion>& hits, POINT point);

} // namespace ovra
