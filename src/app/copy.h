#pragma once
// Copying what a page shows: Ctrl+C takes the whole page, "Salin" in the menu of a
// right click takes the one row under the pointer.
#include <string>
#include <vector>
#include <windows.h>

#include "ui/page_text.h"

namespace ovra {

struct App;

// The current page's text, all of it, drawn off screen; the rectangles are in page
// coordinates (the client's plus the page's scroll offset). The window's state
// (scroll, hit regions, hover) is left as it was.
std::vector<TextLine> pageTextLines(App& app);

// Ctrl+C: the page's lines onto the clipboard.
void copyPage(App& app);

// A right click at a client point of the page: "Salin" for the row there.
void onPageContextMenu(App& app, POINT client);

// Puts Unicode text on the clipboard; false when the clipboard is held elsewhere.
bool setClipboardText(HWND owner, const std::wstring& text);

} // namespace ovra
