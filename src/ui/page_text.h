#pragma once
// What a page shows as plain text, from the text runs one paint recorded: the
// copy (Ctrl+C, "Salin") reads it, and so can anything else that reads the screen.
#include <string>
#include <vector>
#include <windows.h>

#include "ui/ui.h"

namespace ovra {

// One line of the page: its runs joined by tabs, and the rectangle they cover.
struct TextLine {
    std::wstring text;
    RECT rect{};
};

// The runs as lines, in the order drawn: a run that starts right of the previous
// one, with its middle inside that run's height, continues its line (a label then
// its value, the cells of a table row). A cut run gives its whole text.
std::vector<TextLine> textLines(const std::vector<TextRun>& runs);

// The index of the first line whose rectangle holds `point`, or -1.
int lineAt(const std::vector<TextLine>& lines, POINT point);

// The lines one per row, each ended by CR LF, as the clipboard takes them.
std::wstring joinLines(const std::vector<TextLine>& lines);

} // namespace ovra
