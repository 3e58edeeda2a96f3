#include "app/window.h"

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

#include "app/access.h"
#include "app/app.h"
#include "app/perf_control.h"
#include "app/profile.h"
#include "app/scheduler.h"
#include "app/commands.h"
#include "app/copy.h"
#include "app/hover_tip.h"
#include "app/popup_menu.h"
#include "app/scroll_bar.h"
#include "app/tray.h"
#include "ui/gdi.h"

namespace ovra {

namespace {

// The mouse position while the pointer is not over the window.
constexpr POINT outsideWindow{-10000, -10000};

constexpr int sidebarItemTop = 22 + 30 + 26; // below the logo
constexpr int sidebarItemHeight = 36;
constexpr int sidebarItemGap = 2;

constexpr const wchar_t* pageLabels[pageCount] = {
    L"Ringkasan", L"Performa", L"Penyimpanan", L"Baterai",    L"Sensor",
    L"Proses",    L"Riwayat",  L"Pro",         L"Pengaturan",
};

using PageFunction = int (App::*)(Ui&, int, int, int);
constexpr PageFunction pageFunctions[pageCount] = {
    &App::pageSummary, &App::pagePerf,    &App::pageStorage, &App::pageBattery,  &App::pageSensors,
    &App::pageProc,    &App::pageHistory, &App::pagePro,     &App::pageSettings,
};

// Offsets far beyond any page are held at the End value, so no sequence of
// wheel turns or keys between two paints can overflow.
void scrollBy(App& app, int delta) {
    int& offset = app.view.scrollOffsets[static_cast<size_t>(app.view.page)];
    offset = static_cast<int>(
        std::clamp<long long>(static_cast<long long>(offset) + delta, -scrollToEnd, scrollToEnd));
    invalidateWindow(app);
}

void drawLogo(Ui& ui, int left, int top) {
    const Ink accent = ui.colour(Role::accent);
    roundRect(ui, RECT{left, top, left + ui.px(30), top + ui.px(30)}, accent, accent, ui.px(8));
    static constexpr POINT pulse[6] = {{5, 16}, {11, 16}, {14, 9}, {18, 22}, {21, 15}, {25, 15}};
    POINT points[6];
    for (int i = 0; i < 6; ++i)
        points[i] = POINT{left + ui.px(pulse[i].x), top + ui.px(pulse[i].y)};
    const GdiObject pen(CreatePen(PS_SOLID, std::max(2, ui.px(2)), ui.colour(Role::onAccent)));
    Selection selected(ui.dc, pen.get());
    Polyline(ui.dc, points, 6);
}

LRESULT handleMessage(App& app, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = app.window;
    if (message == app.view.taskbarCreatedMessage && message != 0) {
        onTaskbarCreated(app);
        return 0;
    }
    const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
    switch (message) {
    case WM_CREATE:
        onCreate(app);
        onAccessSettings(app);
        return 0;
    case WM_CLOSE: onClose(app); return 0;
    case WM_DESTROY:
        closeAccess(app);
        onDestroy(app);
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT object = onGetObject(app, wParam, lParam)) return object;
        return DefWindowProcW(window, message, wParam, lParam);
    case accessInvokeMessage: onAccessInvoke(app, lParam); return 0;
    case WM_SYSCOLORCHANGE: onAccessSettings(app); return 0;
    case WM_QUERYENDSESSION: onQueryEndSession(app); return TRUE;
    case WM_ENDSESSION: onEndSession(app, wParam != FALSE); return 0;
    case WM_POWERBROADCAST: onPowerBroadcast(app, wParam); return TRUE;
    case WM_TIMER: onTimer(app, wParam); return 0;
    case trayCallbackMessage: onTrayCallback(app, wParam, lParam); return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) invalidateWindow(app);
        return 0;
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        {
            ProfileScope scope(ProfileSection::paint);
            paintWindow(app, dc, client, paint.rcPaint);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST ||
            (lParam &&
             std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"Accessibility") == 0))
            onAccessSettings(app);
        if (lParam && app.settings.theme == 2 &&
            std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0)
            applyTheme(app);
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) return DefWindowProcW(window, message, wParam, lParam);
        onSetCursor(app);
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{scaled(760, app.view.dpi), scaled(520, app.view.dpi)};
        return 0;
    }
    case WM_KEYDOWN: {
        RECT client{};
        GetClientRect(window, &client);
        if (onFocusKey(app, wParam, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0))
            return 0;
        if (onKeyDown(app, wParam, GetKeyState(VK_CONTROL) < 0, client.bottom - client.top))
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_CONTEXTMENU: {
        POINT point{x, y}; // from the keyboard (-1, -1): no row is pointed at
        if (x == -1 && y == -1) return 0;
        ScreenToClient(window, &point);
        onPageContextMenu(app, point);
        return 0;
    }
    case WM_MOUSEMOVE:
        scrollBarMove(app, x, y);
        onMouseMove(app, x, y);
        return 0;
    case WM_MOUSELEAVE: onMouseLeave(app); return 0;
    case WM_MEASUREITEM:
        measureMenuItem(app, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_DRAWITEM:
        drawMenuItem(app, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
        if (!scrollBarPress(app, x, y)) onLButtonDown(app);
        onPointerUsed(app);
        return 0;
    case WM_LBUTTONUP:
        if (!scrollBarRelease(app)) onLButtonUp(app, x, y);
        return 0;
    case WM_CAPTURECHANGED: scrollBarRelease(app); return 0;
    case WM_MOUSEWHEEL: onMouseWheel(app, GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_DPICHANGED:
        onDpiChanged(app, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

const wchar_t* pageName(int page) {
    return page >= 0 && page < pageCount ? pageLabels[page] : L"";
}

void invalidateWindow(App& app) {
    if (app.window) InvalidateRect(app.window, nullptr, FALSE);
}

void drawSidebar(App& app, Ui& ui, const RECT& area) {
    fillRect(ui, area, ui.colour(Role::sidebar));
    fillRect(ui, RECT{area.right - 1, area.top, area.right, area.bottom}, ui.colour(Role::border));
    drawLogo(ui, ui.px(20), ui.px(22));
    // Large text: the name takes a smaller font rather than run into the page.
    const int nameLeft = ui.px(20 + 30 + 10);
    FontRole nameFont = FontRole::heading;
    for (FontRole smaller : {FontRole::bodyStrong, FontRole::small})
        if (textWidth(ui, productName, nameFont) > area.right - nameLeft - ui.px(8))
            nameFont = smaller;
    drawText(ui, nameLeft, ui.px(22 + 5), productName, nameFont, ui.colour(Role::text));

    const int itemHeight = ui.px(sidebarItemHeight);
    const int labelTop = (itemHeight - fontHeight(ui, FontRole::body)) / 2;
    int top = ui.px(sidebarItemTop);
    for (int page = 0; page < pageCount; ++page) {
        const RECT item{ui.px(10), top, area.right - ui.px(10), top + itemHeight};
        const int labelLeft = item.left + ui.px(16);
        const size_t mark = runMark(ui);
        if (page == app.view.page) {
            const Ink selected = ui.colour(Role::navSelected);
            roundRect(ui, item, selected,
                      ui.palette->highContrast ? ui.colour(Role::text) : selected, ui.px(8));
            fillRect(ui,
                     RECT{item.left, top + ui.px(9), item.left + ui.px(3), item.bottom - ui.px(9)},
                     ui.colour(Role::accent));
            drawText(ui, labelLeft, top + labelTop, pageLabels[page], FontRole::bodyStrong,
                     ui.colour(Role::text));
        } else {
            if (isHovered(ui, item)) {
                const Ink hover = ui.colour(Role::navHover);
                roundRect(ui, item, hover, hover, ui.px(8));
            }
            drawText(ui, labelLeft, top + labelTop, pageLabels[page], FontRole::body,
                     ui.colour(Role::textSecondary));
        }
        addHit(ui, item, commandNavigate, page);
        describe(ui,
                 Element{ElementKind::pageEntry, pageLabels[page], L"", item, commandNavigate, page,
                         true, page == app.view.page},
                 mark);
        top += ui.px(sidebarItemHeight + sidebarItemGap);
    }
    const int footerTop = std::max(static_cast<int>(area.bottom) - ui.px(64), top + ui.px(12));
    drawWrapped(ui, ui.px(20), footerTop + ui.px(22), area.right - ui.px(28),
                L"Tanpa telemetri \u00B7 v" OVRA_VERSION, FontRole::small,
                ui.colour(Role::textMuted));
}

namespace {

// The Ui of a frame of the page area: everything but the DC and the clip.
Ui frameUi(App& app) {
    Ui ui;
    ui.palette = &app.view.palette;
    ui.fonts = &app.view.fonts;
    ui.dpi = app.view.dpi;
    ui.mouse = app.view.mouse;
    return ui;
}

// Runs the current page function at its place in a client area `width` wide.
int runPage(App& app, Ui& ui, int width) {
    const int sidebar = ui.px(sidebarWidth), margin = ui.px(pageMargin);
    const int offset = app.view.scrollOffsets[static_cast<size_t>(app.view.page)];
    return (app.*pageFunctions[app.view.page])(ui, sidebar + margin, ui.px(24) - offset,
                                               width - sidebar - 2 * margin);
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Draws what overlaps `update`; the whole frame when it covers the client area.
void drawFramePart(App& app, HDC dc, int width, int height, const RECT& update) {
    const RECT all{0, 0, width, height};
    RECT area{};
    if (!IntersectRect(&area, &update, &all)) return;
    // A part lies in the page area and holds whole regions; anything else (the
    // sidebar, the scroll bar, a region cut in two) is drawn whole.
    const auto inside = [&](const RECT& rect) {
        RECT both;
        return IntersectRect(&both, &rect, &area) && sameRect(both, rect);
    };
    // A tip shown or offered under the pointer belongs to whatever lies there: the
    // whole frame finds it again.
    bool whole = app.view.recordTextRuns || app.view.access.describe ||
                 hoverTipFollows(app, app.view.mouse) ||
                 area.left < scaled(sidebarWidth, app.view.dpi) ||
                 area.right > width - scaled(pageMargin, app.view.dpi) / 2;
    for (size_t i = 0; !whole && i < app.view.hits.size(); ++i) {
        RECT overlap;
        whole = IntersectRect(&overlap, &app.view.hits[i].rect, &area) &&
                !inside(app.view.hits[i].rect);
    }
    if (whole) area = all;
    // A part keeps the regions of everything it does not draw again.
    if (whole) {
        app.view.hits.clear();
        app.view.access.elements.clear();
        app.view.tipAreas.clear();
        app.view.tip = HoverTip{};
    } else {
        std::erase_if(app.view.hits, [&](const HitRegion& hit) { return inside(hit.rect); });
        std::erase_if(app.view.tipAreas, inside);
    }
    app.view.textRuns.clear();
    Ui ui = frameUi(app);
    ui.dc = dc;
    ui.hits = &app.view.hits;
    // A reader of the screen or keyboard focus needs the whole page described.
    const bool describing = app.view.access.describe;
    ui.texts = app.view.recordTextRuns || describing ? &app.view.textRuns : nullptr;
    ui.elements = describing ? &app.view.access.elements : nullptr;
    ui.tipAreas = &app.view.tipAreas;
    ui.tip = &app.view.tip;
    ui.clip = area;
    fillRect(ui, area, ui.colour(Role::background));

    const int sidebar = ui.px(sidebarWidth);
    int& offset = app.view.scrollOffsets[static_cast<size_t>(app.view.page)];
    int& content = app.view.contentHeights[static_cast<size_t>(app.view.page)];
    offset = std::min(std::max(content - height, 0), std::max(offset, 0));

    PaintMemory& memory = app.view.paintMemory;
    std::vector<CardMark> cards;
    uint64_t pageSignature = signatureSeed;
    ui.cards = &cards;
    ui.heights = &memory.heights;
    ui.signature = &pageSignature;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, std::max<int>(sidebar, area.left), area.top, area.right, area.bottom);
    const int top = ui.px(24) - offset;
    const int bottom = runPage(app, ui, width);
    RestoreDC(dc, saved);
    ui.cards = nullptr;
    ui.heights = nullptr;
    ui.signature = nullptr;
    const int previousContent = std::exchange(content, (bottom - top) + ui.px(48));

    // Heights of cards no longer drawn are forgotten.
    std::erase_if(memory.heights, [](const CardHeight& entry) { return !entry.used; });
    for (CardHeight& entry : memory.heights)
        entry.used = false;
    // A part drawn over a page whose cards moved or whose rest changed would leave
    // the old picture around it: the whole frame follows at once.
    bool moved = !memory.valid || memory.page != app.view.page ||
                 memory.pageSignature != pageSignature || memory.cards.size() != cards.size() ||
                 previousContent != content;
    for (size_t i = 0; !moved && i < cards.size(); ++i)
        moved = !sameRect(cards[i].rect, memory.cards[i].rect);
    if (!whole && moved) invalidateWindow(app);
    memory.valid = true;
    memory.page = app.view.page;
    memory.pageSignature = pageSignature;
    memory.cards = std::move(cards);
    if (!whole) return;

    ui.clip = all;
    drawScrollBar(app, ui, width, height);
    ui.clip = RECT{0, 0, sidebar, height};
    drawSidebar(app, ui, ui.clip);
    finishFrame(app, ui, width, height);

    // A scroll or a new page moves the regions under a resting pointer: hover and
    // cursor follow what is under it now, not what was there at its last move.
    const int hovered = regionAt(app.view.hits, app.view.mouse);
    if (hovered != app.view.hovered) {
        app.view.hovered = hovered;
        if (app.view.mouse.x != outsideWindow.x) onSetCursor(app);
    }
}

} // namespace

void drawFrame(App& app, HDC dc, int width, int height) {
    drawFramePart(app, dc, width, height, RECT{0, 0, width, height});
}

void paintWindow(App& app, HDC windowDc, const RECT& client) {
    paintWindow(app, windowDc, client, client);
}

void paintWindow(App& app, HDC windowDc, const RECT& client, const RECT& update) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    RECT part{};
    if (width < 1 || height < 1 || !IntersectRect(&part, &update, &client)) return;

    // Without memory for the off-screen picture the window keeps its last frame
    // rather than showing an empty one. The picture is only as large as the part;
    // its origin moves so that drawing still happens in client coordinates.
    const MemoryDc dc(windowDc);
    if (!dc.get()) return;
    const int partWidth = part.right - part.left, partHeight = part.bottom - part.top;
    const GdiObject bitmap(CreateCompatibleBitmap(windowDc, partWidth, partHeight));
    if (!bitmap) return;
    {
        Selection selected(dc.get(), bitmap.get());
        SetViewportOrgEx(dc.get(), -part.left, -part.top, nullptr);
        drawFramePart(app, dc.get(), width, height, part);
        BitBlt(windowDc, part.left, part.top, partWidth, partHeight, dc.get(), part.left, part.top,
               SRCCOPY);
    }
    showHoverTip(app);
}

void invalidateChangedParts(App& app) {
    if (!windowShowsContent(app)) return;
    const PaintMemory& memory = app.view.paintMemory;
    if (!memory.valid || memory.page != app.view.page || app.view.recordTextRuns ||
        app.view.access.describe)
        return invalidateWindow(app);
    RECT client{};
    GetClientRect(app.window, &client);
    // The page once more, only fingerprinted: no GDI, nothing measured.
    Ui ui = frameUi(app);
    ui.signatureOnly = true;
    ui.clip = client;
    std::vector<CardMark> cards;
    uint64_t pageSignature = signatureSeed;
    ui.cards = &cards;
    ui.signature = &pageSignature;
    runPage(app, ui, client.right - client.left);
    if (pageSignature != memory.pageSignature || cards.size() != memory.cards.size())
        return invalidateWindow(app);
    for (size_t i = 0; i < cards.size(); ++i)
        if (cards[i].signature != memory.cards[i].signature)
            InvalidateRect(app.window, &memory.cards[i].rect, FALSE);
}

void navigateTo(App& app, int page) {
    if (page == app.view.page || page < 0 || page >= pageCount) return;
    app.view.page = page;
    if (page == processesPage && app.settings.processMode != 0) {
        processUpdate(app.machine.processes, app.machine.cpu.logicalProcessors);
    } else {
        // The list is never kept while it is not shown.
        processClear(app.machine.processes);
        if (page == perfControlPage) refreshPerfCaps(app);
    }
    restartProcessTimer(app);
    invalidateWindow(app);
}

void onMouseMove(App& app, int x, int y) {
    // Windows also sends a move when a window changes under a resting pointer: only a
    // real move can change what is hovered.
    if (app.view.mouse.x == x && app.view.mouse.y == y) return;
    app.view.mouse = POINT{x, y};
    const int hovered = regionAt(app.view.hits, app.view.mouse);
    if (hovered != app.view.hovered || hoverTipFollows(app, app.view.mouse)) {
        app.view.hovered = hovered;
        invalidateWindow(app);
    }
    if (app.window) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, app.window, 0};
        TrackMouseEvent(&track);
    }
}

void onMouseLeave(App& app) {
    app.view.hovered = -1;
    app.view.mouse = outsideWindow;
    app.view.pressedInClient = false;
    invalidateWindow(app);
}

void onLButtonDown(App& app) {
    app.view.pressedInClient = true;
}

void onLButtonUp(App& app, int x, int y) {
    // A release without a press in the window, such as the end of a double-click
    // on the title bar that maximised it, is not a click.
    if (!app.view.pressedInClient) return;
    app.view.pressedInClient = false;
    const int region = regionAt(app.view.hits, POINT{x, y});
    if (region < 0) return;
    const HitRegion hit = app.view.hits[static_cast<size_t>(region)];
    executeCommand(app, hit.command, hit.argument);
}

void onMouseWheel(App& app, int delta) {
    scrollBy(app, -MulDiv(delta, scaled(64, app.view.dpi), 120));
}

bool onKeyDown(App& app, WPARAM key, bool controlDown, int clientHeight) {
    if (key == 'C' && controlDown) return copyPage(app), true;
    if (key < 33 || key > 57) return false;
    const int pageStep = clientHeight - scaled(80, app.view.dpi),
              lineStep = scaled(48, app.view.dpi);
    switch (key) {
    case VK_PRIOR: scrollBy(app, -pageStep); return true;
    case VK_NEXT: scrollBy(app, pageStep); return true;
    case VK_UP: scrollBy(app, -lineStep); return true;
    case VK_DOWN: scrollBy(app, lineStep); return true;
    case VK_HOME:
        app.view.scrollOffsets[static_cast<size_t>(app.view.page)] = 0;
        invalidateWindow(app);
        return true;
    case VK_END:
        app.view.scrollOffsets[static_cast<size_t>(app.view.page)] = scrollToEnd;
        invalidateWindow(app);
        return true;
    default: break;
    }
    if (key >= '1' && key <= '9' && controlDown) {
        navigateTo(app, static_cast<int>(key - '1'));
        invalidateWindow(app);
        return true;
    }
    return false;
}

void onDpiChanged(App& app, int dpi, const RECT& suggested) {
    app.view.dpi = dpi;
    createFonts(app.view.fonts, app.view.dpi);
    invalidateWindow(app);
    if (app.window)
        SetWindowPos(app.window, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void onSetCursor(App& app) {
    SetCursor(LoadCursorW(nullptr, app.view.hovered >= 0 ? IDC_HAND : IDC_ARROW));
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* app = static_cast<App*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
        app->window = window;
    }
    auto* app = reinterpret_cast<App*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!app) return DefWindowProcW(window, message, wParam, lParam);
    return handleMessage(*app, message, wParam, lParam);
}

} // namespace ovra
