#include "app/hover_tip.h"

#include <algorithm>

#include "app/app.h"
#include "ui/gdi.h"

namespace ovra {

namespace {

constexpr int paddingX = 8, paddingY = 5; // dip
constexpr UINT textFormat = DT_NOPREFIX | DT_LEFT;

// The tip's text in its box: measured (DT_CALCRECT) or drawn.
void tipText(const App& app, HDC dc, RECT& box, UINT extra) {
    const std::wstring& text = app.view.tip.text;
    Selection font(dc, app.view.fonts[FontRole::body]);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, app.view.palette[Role::text]);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, textFormat | extra);
}

LRESULT CALLBACK tipProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* app = reinterpret_cast<const App*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    if (message != WM_PAINT || !app) return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetDCBrushColor(dc, app->view.palette[Role::card]);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetDCBrushColor(dc, app->view.palette[Role::border]);
    FrameRect(dc, &client, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    RECT box = client;
    InflateRect(&box, -scaled(paddingX, app->view.dpi), -scaled(paddingY, app->view.dpi));
    tipText(*app, dc, box, 0);
    EndPaint(window, &paint);
    return 0;
}

HWND tipWindow(App& app) {
    if (app.view.tipWindow || app.view.tip.text.empty()) return app.view.tipWindow;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = tipProc;
    windowClass.hInstance = app.instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = tipWindowClass;
    RegisterClassExW(&windowClass); // fails harmlessly once registered
    HWND window =
        CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, tipWindowClass, L"",
                        WS_POPUP, 0, 0, 1, 1, app.window, nullptr, app.instance, nullptr);
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&app));
    return app.view.tipWindow = window;
}

} // namespace

void showHoverTip(App& app) {
    if (!app.window) return;
    HWND window = tipWindow(app); // none until a first tip is shown
    if (!window) return;
    if (app.view.tip.text.empty()) {
        if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
        return;
    }
    const int dpi = app.view.dpi;
    HDC screen = GetDC(window);
    RECT box{0, 0, scaled(480, dpi), 0};
    tipText(app, screen, box, DT_CALCRECT);
    ReleaseDC(window, screen);
    const int width = box.right + 2 * scaled(paddingX, dpi);
    const int height = box.bottom + 2 * scaled(paddingY, dpi);
    POINT at{app.view.tip.anchor.x + scaled(4, dpi), app.view.tip.anchor.y};
    ClientToScreen(app.window, &at);
    // Kept on the monitor: left of the pointer at the right edge, above it at the foot.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        at.x = std::max(work.left, std::min(at.x, work.right - width));
        if (at.y + height > work.bottom) at.y -= height + scaled(28, dpi);
    }
    // The same tip in the same place is left alone: moving a window under the pointer
    // makes Windows send a mouse move, which would paint the page and the tip again.
    RECT shown{};
    GetWindowRect(window, &shown);
    std::wstring current(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    current.resize(static_cast<size_t>(
        GetWindowTextW(window, current.data(), static_cast<int>(current.size()))));
    if (IsWindowVisible(window) && current == app.view.tip.text && shown.left == at.x &&
        shown.top == at.y && shown.right - shown.left == width && shown.bottom - shown.top == height)
        return;
    SetWindowTextW(window, app.view.tip.text.c_str());
    SetWindowPos(window, HWND_TOPMOST, at.x, at.y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window, nullptr, TRUE);
}

bool hoverTipFollows(const App& app, POINT point) {
    return !app.view.tip.text.empty() ||
           std::any_of(app.view.tipAreas.begin(), app.view.tipAreas.end(),
                       [&](const RECT& area) { return PtInRect(&area, point) != FALSE; });
}

} // namespace ovra
