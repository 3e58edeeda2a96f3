#pragma once
// The vocabulary pages are built from: column widgets that draw at a column's
// cursor and advance it, and controls placed at absolute positions that record
// hit regions. Sizes are in dip and scaled with the context's DPI.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "sources/reading.h"
#include "ui/ui.h"

namespace ovra {

// A column cursor: every column widget draws at (x, y) and moves y below itself.
struct Col {
    Ui* ui = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
};

// Width of the label column of a key-value row in a column this wide.
int kvLabelWidth(int columnWidth, int dpi);

// A label on the left and its value on the right; the value is in `colour` only
// when useColour is set, else in the text colour.
void kvRow(Col& col, std::wstring_view label, std::wstring_view value, Ink colour = {},
           bool useColour = false);
// A Reading: its value, "Mengukur…", or why it is unavailable.
void readingRow(Col& col, std::wstring_view label, bool ok, std::wstring_view value,
                Limitation limitation, std::wstring_view reason);
template <class T>
void readingRow(Col& col, std::wstring_view label, const Reading<T>& reading,
                std::wstring_view value) {
    readingRow(col, label, reading.ok, value, reading.limitation, reading.reason());
}
// The unavailable message of readingRow across the full width.
void unavailableBlock(Col& col, Limitation limitation, std::wstring_view reason);
void bigValue(Col& col, std::wstring_view text, Ink colour = noColour);
void wrappedText(Col& col, std::wstring_view text, FontRole font = FontRole::body,
                 Ink colour = noColour);
void bar(Col& col, double fraction, Colour colour, int heightDip);

enum class ButtonStyle : int { normal = 0, primary = 1, danger = 2 };

// Returns the button's width; only an enabled button is clickable.
int button(Ui& ui, int x, int y, std::wstring_view label, int32_t command, int32_t argument,
           bool enabled, ButtonStyle style = ButtonStyle::normal);
struct RowButton {
    std::wstring_view label;
    int32_t command = 0;
    int32_t argument = 0;
    ButtonStyle style = ButtonStyle::normal;
};
// Buttons side by side at the column's cursor, 10 dip apart; one that would pass the
// column's right edge (large text) starts a new line. The cursor moves `advanceDip`
// below each line.
void buttonRow(Col& col, std::initializer_list<RowButton> buttons, int advanceDip);
void toggle(Ui& ui, int x, int y, bool on, int32_t command, int32_t argument, bool enabled);
// A value between a minus (argument -1) and a plus (argument +1) cell; returns the width.
int stepper(Ui& ui, int x, int y, std::wstring_view value, int32_t command, bool canDecrease,
            bool canIncrease);
// A row of choices; clicking one sends its index. Returns the width.
int segmented(Ui& ui, int x, int y, const std::vector<std::wstring>& options, int selected,
              int32_t command, bool enabled);

} // namespace ovra
