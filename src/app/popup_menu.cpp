#include "app/popup_menu.h"

#include "app/app.h"
#include "ui/gdi.h"

namespace ovra {

namespace {

constexpr int itemHeight = 32, separatorHeight = 9, paddingX = 16; // dip

} // namespace

UINT popupMenu(App& app, const std::vector<MenuEntry>& entries, POINT screen) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    // Around the items, the menu shows the card colour too.
    const GdiObject background(CreateSolidBrush(app.view.palette[Role::card]));
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = static_cast<HBRUSH>(background.get());
    SetMenuInfo(menu, &info);
    for (const MenuEntry& entry : entries)
        AppendMenuW(menu, MF_OWNERDRAW | (entry.id ? 0 : MF_SEPARATOR), entry.id,
                    reinterpret_cast<LPCWSTR>(&entry));
    const UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
        menu,
        TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY |
            (GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN),
        screen.x, screen.y, app.window, nullptr));
    DestroyMenu(menu);
    return chosen;
}

void measureMenuItem(App& app, MEASUREITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU || !item.itemData) return;
    const auto& entry = *reinterpret_cast<const MenuEntry*>(item.itemData);
    const int dpi = app.view.dpi;
    item.itemHeight = UINT(scaled(entry.id ? itemHeight : separatorHeight, dpi));
    HDC dc = GetDC(app.window);
    Selection font(dc, app.view.fonts[entry.strong ? FontRole::bodyStrong : FontRole::body]);
    SIZE size{};
    GetTextExtentPoint32W(dc, entry.text.c_str(), int(entry.text.size()), &size);
    ReleaseDC(app.window, dc);
    item.itemWidth = UINT(size.cx + 2 * scaled(paddingX, dpi));
}

void drawMenuItem(App& app, const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_MENU || !item.itemData) return;
    const auto& entry = *reinterpret_cast<const MenuEntry*>(item.itemData);
    const Palette& palette = app.view.palette;
    const int dpi = app.view.dpi;
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool selected = entry.id && (item.itemState & ODS_SELECTED);
    SetDCBrushColor(dc, palette[selected ? Role::navHover : Role::card]);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, palette[Role::border]);
    if (!entry.id) {
        const int y = (rect.top + rect.bottom) / 2;
        const RECT line{rect.left + scaled(8, dpi), y, rect.right - scaled(8, dpi), y + 1};
        FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return;
    }
    if (entry.checked) {
        const RECT bar{rect.left + scaled(4, dpi), rect.top + scaled(9, dpi),
                       rect.left + scaled(7, dpi), rect.bottom - scaled(9, dpi)};
        SetDCBrushColor(dc, palette[Role::accent]);
        FillRect(dc, &bar, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
    Selection font(dc, app.view.fonts[entry.strong ? FontRole::bodyStrong : FontRole::body]);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette[Role::text]);
    RECT text = rect;
    text.left += scaled(paddingX, dpi);
    DrawTextW(dc, entry.text.c_str(), int(entry.text.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

} // namespace ovra
