#pragma once
#include <windows.h>

namespace ovra {

// The DPI of a window (GetDpiForWindow where Windows has it), else of the screen.
unsigned getDpi(HWND window);

// n device-independent pixels at 96 DPI, in pixels at `dpi`.
inline int scaled(int n, unsigned dpi) { return MulDiv(n, static_cast<int>(dpi), 96); }

} // namespace ovra
