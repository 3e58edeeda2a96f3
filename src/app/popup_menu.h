#pragma once
// The program's pop-up menus (the tray menu, "Salin"), drawn in its own palette
// and fonts at the window's DPI; the keyboard and the mouse work as in any menu.
#include <string>
#include <vector>
#include <windows.h>

namespace ovra {

struct App;

struct MenuEntry {
    UINT id = 0; // 0: a separator
    std::wstring text;
    bool strong = false;  // the default item, in bold
    bool checked = false; // marked with the accent bar
};

// Shows the menu at a screen point and returns the chosen id, 0 when none.
UINT popupMenu(App& app, const std::vector<MenuEntry>& entries, POINT screen);

// The window procedure's WM_MEASUREITEM and WM_DRAWITEM for the menus' items.
void measureMenuItem(App& app, MEASUREITEMSTRUCT& item);
void drawMenuItem(App& app, const DRAWITEMSTRUCT& item);

} // namespace ovra
