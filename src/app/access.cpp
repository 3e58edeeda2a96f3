#include "app/access.h"

#include <algorithm>

#include <objbase.h>

#include "a11y/host.h"
#include "app/app.h"
#include "app/commands.h"
#include "app/window.h"
#include "ui/gdi.h"

namespace ovra {

namespace {

constexpr LONG uiaRootObjectId = -25;

// Paints once off screen so the elements of the window as it is now are known.
void describeNow(App& app) {
    AccessState& access = app.view.access;
    access.describe = true;
    RECT client{};
    if (!app.window || !GetClientRect(app.window, &client) || client.right < 1 || client.bottom < 1)
        return;
    HDC windowDc = GetDC(app.window);
    {
        const MemoryDc dc(windowDc);
        const GdiObject bitmap(CreateCompatibleBitmap(windowDc, 1, 1));
        if (dc.get() && bitmap) {
            Selection selected(dc.get(), bitmap.get());
            drawFrame(app, dc.get(), client.right, client.bottom);
        }
    }
    ReleaseDC(app.window, windowDc);
}

// Scrolls the page so the focused element is in view, with a margin.
void scrollIntoView(App& app) {
    AccessState& access = app.view.access;
    const int at = elementOf(access.elements, access.focus);
    RECT client{};
    if (at < 0 || access.focus.sidebar || !app.window || !GetClientRect(app.window, &client))
        return;
    const RECT& rect = access.elements[size_t(at)].rect;
    const int margin = scaled(16, app.view.dpi);
    int& offset = app.view.scrollOffsets[size_t(app.view.page)];
    if (rect.top < margin)
        offset += rect.top - margin;
    else if (rect.bottom > client.bottom - margin)
        offset += std::min(rect.bottom - (client.bottom - margin), rect.top - margin);
    offset = std::max(offset, 0);
}

void moveFocus(App& app, FocusKey to) {
    app.view.access.focus = to;
    scrollIntoView(app);
    invalidateWindow(app);
}

void run(App& app, KeyAction action) {
    if (action.valid()) executeCommand(app, action.command, action.argument);
}

void drawRing(App& app, Ui& ui, int width, int height) {
    const AccessState& access = app.view.access;
    const int at = elementOf(access.elements, access.focus);
    if (!access.showFocus || at < 0) return;
    const int sidebar = ui.px(sidebarWidth);
    RECT rect = access.elements[size_t(at)].rect;
    const int gap = ui.px(2), thickness = std::max(2, ui.px(2));
    InflateRect(&rect, gap + thickness, gap + thickness);
    const Colour ring = app.view.palette.highContrast ? app.view.palette[Role::text]
                                                      : app.view.palette[Role::accent];
    const int saved = SaveDC(ui.dc);
    if (access.focus.sidebar)
        IntersectClipRect(ui.dc, 0, 0, sidebar, height);
    else
        IntersectClipRect(ui.dc, sidebar, 0, width, height);
    outline(ui, rect, ring, ui.px(10), thickness);
    RestoreDC(ui.dc, saved);
}

} // namespace

bool onFocusKey(App& app, WPARAM key, bool shiftDown, bool controlDown) {
    AccessState& access = app.view.access;
    const bool arrow = key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN;
    if (controlDown ||
        !(key == VK_TAB || key == VK_F6 || key == VK_RETURN || key == VK_SPACE || arrow))
        return false;
    if (!access.describe) describeNow(app);
    const bool wasShown = access.showFocus;
    access.showFocus = true;
    if (!wasShown) invalidateWindow(app);
    switch (key) {
    case VK_TAB: moveFocus(app, nextStop(access.stops, access.focus, shiftDown)); return true;
    case VK_F6: moveFocus(app, otherZone(access.elements, access.focus)); return true;
    case VK_RETURN:
    case VK_SPACE: run(app, activation(access.elements, access.focus)); return true;
    default: break;
    }
    const KeyAction action =
        arrowAction(access.elements, access.focus, key == VK_LEFT || key == VK_UP ? -1 : +1);
    if (!action.valid()) return false; // the arrows scroll
    run(app, action);
    return true;
}

void onPointerUsed(App& app) {
    if (!app.view.access.showFocus) return;
    app.view.access.showFocus = false;
    invalidateWindow(app);
}

void finishFrame(App& app, Ui& ui, int width, int height) {
    AccessState& access = app.view.access;
    if (!ui.elements) return;
    std::vector<FocusKey> stops = focusStops(access.elements);
    if (app.view.page != access.stopsPage && access.focus.valid() && !access.focus.sidebar)
        access.focus = otherZone(access.elements, {}); // another page: its sidebar entry
    else
        access.focus = keepFocus(access.stops, stops, access.focus);
    access.stopsPage = app.view.page;
    access.stops = std::move(stops);
    drawRing(app, ui, width, height);
    if (!access.host) return;

    AccTree tree = buildTree(access.elements, app.view.textRuns, productName, ui.px(sidebarWidth),
                             access.focus);
    access.host->publish(std::move(tree));
    const std::shared_ptr<const AccTree> now = access.host->tree();
    if (!now) return;
    if (app.view.page != access.announcedPage) {
        access.announcedPage = app.view.page;
        raiseUiaStructureChanged(access.host);
    }
    const long focused = now->focused >= 0 ? now->nodes[size_t(now->focused)].id : 0;
    if (focused != access.announcedFocus) {
        access.announcedFocus = focused;
        if (focused) raiseFocusEvent(access.host, focused);
    }
    // Live values are announced at most once per sampling tick.
    if (!access.announced) access.announced = now;
    if (!valueEventsDue(GetTickCount64(), access.lastValueEvents,
                        static_cast<uint32_t>(app.settings.fastIntervalMs)))
        return;
    std::vector<long> ids;
    for (int index : changedValues(*access.announced, *now))
        ids.push_back(now->nodes[size_t(index)].id);
    access.announced = now;
    raiseValueEvents(access.host, ids);
}

LRESULT onGetObject(App& app, WPARAM wParam, LPARAM lParam) {
    const LONG object = static_cast<LONG>(lParam);
    if (object != OBJID_CLIENT && object != uiaRootObjectId) return 0;
    AccessState& access = app.view.access;
    if (!access.comStarted)
        access.comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    if (!access.host) access.host = std::make_shared<AccessHost>(app.window);
    // Once published, the tree follows every paint.
    if (!access.host->tree()) describeNow(app);
    return object == OBJID_CLIENT ? msaaGetObject(access.host, wParam, lParam)
                                  : uiaGetObject(access.host, wParam, lParam);
}

void onAccessInvoke(App& app, LPARAM id) {
    const AccessState& access = app.view.access;
    const std::shared_ptr<const AccTree> tree = access.host ? access.host->tree() : nullptr;
    const int at = tree ? nodeById(*tree, static_cast<long>(id)) : -1;
    if (at < 0) return;
    const AccNode& node = tree->nodes[size_t(at)];
    if (node.enabled && node.command != 0) executeCommand(app, node.command, node.argument);
}

void onAccessSettings(App& app) {
    const int scale = readTextScale();
    if (scale != app.view.fonts.textScale) {
        app.view.fonts.textScale = scale;
        createFonts(app.view.fonts, app.view.dpi);
    }
    applyTheme(app);
}

void closeAccess(App& app) {
    disconnectAccess(app.view.access.host);
    app.view.access.host.reset();
}

} // namespace ovra
