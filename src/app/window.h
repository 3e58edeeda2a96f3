#pragma once
// The main window: its procedure, the paint frame, the sidebar and the input
// handlers. The procedure only decodes messages; the handlers below do the work
// and are called directly by tests.
#include <windows.h>

#include "ui/ui.h"

namespace ovra {

struct App;

inline constexpr int sidebarWidth = 208; // dip
inline constexpr int pageMargin = 28;    // dip
// The offset End asks for; the next paint clamps it to the end of the page.
inline constexpr int scrollToEnd = 268435456;

// Stores the App given at creation and hands every message to its handlers.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the whole client area off screen, then copies it in one go.
void paintWindow(App& app, HDC windowDc, const RECT& client);
// The same for the part `update` of it: only what overlaps it is drawn and copied.
void paintWindow(App& app, HDC windowDc, const RECT& client, const RECT& update);
// The page and then the sidebar into a DC of the client's size.
void drawFrame(App& app, HDC dc, int width, int height);
void drawSidebar(App& app, Ui& ui, const RECT& area);

// The page's name as the sidebar shows it; empty for no page.
const wchar_t* pageName(int page);

// Shows another page; choosing the page already shown does nothing.
void navigateTo(App& app, int page);

// Repaints the whole client area at the next paint, without erasing.
void invalidateWindow(App& app);
// After a tick, while the window shows: repaints only the cards whose content
// changed since the last paint, or everything when more than cards changed.
void invalidateChangedParts(App& app);

void onMouseMove(App& app, int x, int y);
void onMouseLeave(App& app);
void onLButtonDown(App& app);
// Runs the command under the release point, when the press was in the window too.
void onLButtonUp(App& app, int x, int y);
void onMouseWheel(App& app, int delta);
// False for keys the window leaves to Windows.
bool onKeyDown(App& app, WPARAM key, bool controlDown, int clientHeight);
void onDpiChanged(App& app, int dpi, const RECT& suggested);
// The cursor over the client area: a hand over anything clickable.
void onSetCursor(App& app);

} // namespace ovra
