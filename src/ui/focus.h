#pragma once
// Keyboard focus over the described elements of the last paint. A control is
// known by its command and argument, never by its position, so focus survives
// ticks and repaints that rebuild every element.
#include <cstdint>
#include <vector>

#include "ui/ui.h"

namespace ovra {

// The options of one segmented choice share one tab stop; arrows move between them.
inline constexpr int32_t anyChoice = INT32_MIN;

struct FocusKey {
    int32_t command = 0; // 0: nothing has focus
    int32_t argument = 0;
    bool sidebar = false;
    bool valid() const { return command != 0; }
    bool operator==(const FocusKey&) const = default;
};

FocusKey focusKeyOf(const Element& element);
// The tab stops in reading order: the sidebar's entries, then the page's enabled
// controls in the order they were drawn (cards one after another).
std::vector<FocusKey> focusStops(const std::vector<Element>& elements);
// The element a key stands for (a choice: the selected option); -1 when none is drawn.
int elementOf(const std::vector<Element>& elements, FocusKey key);

// Tab and Shift+Tab: the stop after (before) `current`, wrapping; from nothing or
// from a stop that is gone, the first (last).
FocusKey nextStop(const std::vector<FocusKey>& stops, FocusKey current, bool backwards);
// F6: from the page (or nothing) to the shown page's sidebar entry, from the sidebar
// to the page's first stop; stays when the other side has none.
FocusKey otherZone(const std::vector<Element>& elements, FocusKey current);
// After a repaint: the same control when it is still there, else its nearest
// neighbour that is: the next one in the order before, else the previous one.
FocusKey keepFocus(const std::vector<FocusKey>& before, const std::vector<FocusKey>& now,
                   FocusKey current);

// A command to run, when there is one.
struct KeyAction {
    int32_t command = 0;
    int32_t argument = 0;
    bool valid() const { return command != 0; }
};
// Enter or Space: what a click on the focused control does; nothing on a choice.
KeyAction activation(const std::vector<Element>& elements, FocusKey key);
// An arrow on a choice (the option `step` away) or a stepper (its -1 or +1 cell).
KeyAction arrowAction(const std::vector<Element>& elements, FocusKey key, int step);

} // namespace ovra
