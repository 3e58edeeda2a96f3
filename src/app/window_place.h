#pragma once
// Where the window opens: where it was when the program last ended on the same
// monitor layout, else centred on the primary work area.
#include <cstdint>
#include <vector>
#include <windows.h>

#include "store/settings.h"

namespace ovra {

// A signature of the monitors' rectangles, in their order; never 0.
int32_t monitorLayoutSignature(const std::vector<RECT>& monitors);

struct WindowStart {
    RECT frame{};
    bool maximised = false;
};

// The kept place when it was kept on this layout and a piece of its top (the title
// bar) lies on one of the work areas; otherwise `centred`, not maximised.
WindowStart chooseWindowStart(const WindowPlace& place, int32_t layout,
                              const std::vector<RECT>& workAreas, const RECT& centred);

// The monitors' rectangles and work areas, as Windows lists them.
void listMonitors(std::vector<RECT>& monitors, std::vector<RECT>& workAreas);

// The window's frame (restored size) and maximised state now, on this layout.
WindowPlace currentWindowPlace(HWND window);

// Shows the new window as it was kept: maximised, and minimised with --minimized.
void showAtStart(HWND window, const WindowStart& start, bool minimized);

} // namespace ovra
