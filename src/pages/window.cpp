#include "pages/window.h"

#include "app/app.h"
#include "app/profile.h"
#include "app/scheduler.h"
#include "pages/tray.h"
#include "ui/dpi.h"

#include <cwchar>

namespace ovra {

namespace {

constexpr int sidebarWidth = 208;

void fill(HDC dc, const RECT& rect, Colour colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void drawSidebar(App& app, HDC dc, const RECT& area) {
    fill(dc, area, app.palette[Role::sidebar]);
    fill(dc, RECT{area.right - 1, area.top, area.right, area.bottom}, app.palette[Role::border]);
}

LRESULT handleMessage(App& app, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = app.window;
    if (message == app.taskbarCreatedMessage && message != 0) {
        onTaskbarCreated(app);
        return 0;
    }
    switch (message) {
    case WM_CREATE: onCreate(app); return 0;
    case WM_CLOSE: onClose(app); return 0;
    case WM_DESTROY: onDestroy(app); return 0;
    case WM_QUERYENDSESSION: onQueryEndSession(app); return TRUE;
    case WM_ENDSESSION: onEndSession(app, wParam != FALSE); return 0;
    case WM_POWERBROADCAST: onPowerBroadcast(app, wParam); return TRUE;
    case WM_TIMER: onTimer(app, wParam); return 0;
    case trayCallbackMessage: onTrayCallback(app, lParam); return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        {
            ProfileScope scope(ProfileSection::paint);
            paintWindow(app, dc, client);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (lParam && app.settings.theme == 2 &&
            std::wcscmp(reinterpret_cast<const wchar_t*>(lParam), L"ImmersiveColorSet") == 0)
            applyTheme(app);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = POINT{scaled(760, app.dpi), scaled(520, app.dpi)};
        return 0;
    }
    case WM_DPICHANGED: {
        app.dpi = static_cast<int>(HIWORD(wParam));
        createFonts(app.fonts, app.dpi);
        InvalidateRect(window, nullptr, FALSE);
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

void paintWindow(App& app, HDC windowDc, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width < 1 || height < 1) return;

    // Without memory for the off-screen picture the window keeps its last frame
    // rather than showing an empty one.
    HDC dc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = dc ? CreateCompatibleBitmap(windowDc, width, height) : nullptr;
    if (!bitmap) {
        if (dc) DeleteDC(dc);
        return;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    app.hits.clear();

    fill(dc, RECT{0, 0, width, height}, app.palette[Role::background]);
    drawSidebar(app, dc, RECT{0, 0, scaled(sidebarWidth, app.dpi), height});

    BitBlt(windowDc, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
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
