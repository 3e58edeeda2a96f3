#pragma once
#include <windows.h>

namespace ovra {

// The DPI of a window (GetDpiForWindow where Windows has it), else of the screen.
int getDpi(HWND window);

// n device-independent pixels at 96 DPI, in pixels at `dpi`.
inline int scaled(int n, int dpi) {
    return MulDiv(n, dpi, 96);
}

} // namespace ovra
