#pragma once
// Keyboard focus and screen readers for the main window: the keys that move and
// use focus, the focus ring, the accessibility objects Windows asks for, and the
// system's high-contrast and text-size settings.
#include <windows.h>

#include "ui/ui.h"

namespace ovra {

struct App;

// Tab, Shift+Tab, F6, Enter, Space and the arrows on a choice or a stepper; false
// for any other key (and for arrows elsewhere, which scroll).
bool onFocusKey(App& app, WPARAM key, bool shiftDown, bool controlDown);
// A mouse click: the focus ring hides until the keyboard is used again.
void onPointerUsed(App& app);
// The end of a paint: focus kept or passed on, the ring, the tree for readers.
void finishFrame(App& app, Ui& ui, int width, int height);
// WM_GETOBJECT: the client area's accessibility object, or 0 when not ours.
LRESULT onGetObject(App& app, WPARAM wParam, LPARAM lParam);
// A reader asked to run node `id`'s default action.
void onAccessInvoke(App& app, LPARAM id);
// High contrast or text size may have changed (also once at creation).
void onAccessSettings(App& app);
void closeAccess(App& app);

} // namespace ovra
