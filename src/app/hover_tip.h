#pragma once
// The tip beside the pointer (the whole of a cut name, a chart's readout): a small
// window of its own in the palette that never takes the focus or the mouse.
#include <windows.h>

namespace ovra {

struct App;

inline constexpr wchar_t tipWindowClass[] = L"OvraMonitorTip";

// After each paint: shows the tip the paint found under the pointer, or hides it.
void showHoverTip(App& app);

// Whether a move of the pointer to `point` changes a tip: it is over something
// that offers one, or a tip is showing.
bool hoverTipFollows(const App& app, POINT point);

} // namespace ovra
