#pragma once
// The main window: its procedure, the paint frame and the sidebar.
#include <windows.h>

namespace ovra {

struct App;

// Stores the App given at creation and hands every message to its handlers.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Draws the whole client area off screen, then copies it in one go.
void paintWindow(App& app, HDC windowDc, const RECT& client);

} // namespace ovra
