#include "app/scroll_bar.h"

#include <algorithm>

#include "app/app.h"
#include "app/window.h"

namespace ovra {

namespace {

constexpr int barZoneDip = 14; // the width under the pointer that counts as the bar

ScrollBarGeometry currentBar(const App& app, int* width = nullptr) {
    RECT client{};
    if (app.window) GetClientRect(app.window, &client);
    if (width) *width = client.right;
    const size_t page = static_cast<size_t>(app.view.page);
    return scrollBarGeometry(client.bottom, app.view.contentHeights[page],
                             app.view.scrollOffsets[page], app.view.dpi);
}

void scrollTo(App& app, int offset) {
    app.view.scrollOffsets[static_cast<size_t>(app.view.page)] = offset;
    invalidateWindow(app);
}

} // namespace

ScrollBarGeometry scrollBarGeometry(int height, int content, int offset, int dpi) {
    ScrollBarGeometry bar;
    if (content <= height) return bar;
    bar.shown = true;
    bar.trackTop = scaled(8, dpi);
    bar.trackHeight = height - scaled(16, dpi);
    bar.thumbHeight = std::min(
        std::max(static_cast<int>(static_cast<long long>(height) * bar.trackHeight / content),
                 scaled(40, dpi)),
        bar.trackHeight);
    bar.maxOffset = content - height;
    bar.thumbTop = bar.trackTop + static_cast<int>(static_cast<long long>(offset) *
                                                   (bar.trackHeight - bar.thumbHeight) /
                                                   std::max(bar.maxOffset, 1));
    return bar;
}

int offsetForThumbTop(const ScrollBarGeometry& bar, int thumbTop) {
    const int travel = bar.trackHeight - bar.thumbHeight;
    if (travel <= 0) return 0;
    const long long moved = std::clamp(thumbTop - bar.trackTop, 0, travel);
    // Rounded, so the thumb lands where it was let go.
    return static_cast<int>((moved * bar.maxOffset + travel / 2) / travel);
}

void drawScrollBar(App& app, Ui& ui, int width, int height) {
    const size_t page = static_cast<size_t>(app.view.page);
    const ScrollBarGeometry bar = scrollBarGeometry(height, app.view.contentHeights[page],
                                                    app.view.scrollOffsets[page], ui.dpi);
    if (!bar.shown) return;
    const bool wide = app.view.scrollGrab >= 0 ||
                      (app.view.mouse.x >= width - ui.px(barZoneDip) && app.view.mouse.x < width &&
                       app.view.mouse.y >= 0 && app.view.mouse.y < height);
    if (wide) {
        const Colour track = ui.colour(Role::track);
        roundRect(
            ui,
            RECT{width - ui.px(11), bar.trackTop, width - ui.px(1), bar.trackTop + bar.trackHeight},
            track, track, ui.px(10));
    }
    const Ink muted = ui.colour(Role::textMuted);
    const int left = width - ui.px(wide ? 9 : 7), right = width - ui.px(3);
    roundRect(ui, RECT{left, bar.thumbTop, right, bar.thumbTop + bar.thumbHeight}, muted, muted,
              right - left);
}

bool scrollBarPress(App& app, int x, int y) {
    int width = 0;
    const ScrollBarGeometry bar = currentBar(app, &width);
    if (!bar.shown || x < width - scaled(barZoneDip, app.view.dpi)) return false;
    if (y >= bar.thumbTop && y < bar.thumbTop + bar.thumbHeight) {
        app.view.scrollGrab = y - bar.thumbTop;
        SetCapture(app.window);
        invalidateWindow(app);
        return true;
    }
    // The track pages by what Page Up and Page Down move.
    const int step = (bar.trackHeight + scaled(16, app.view.dpi)) - scaled(80, app.view.dpi);
    const int offset = app.view.scrollOffsets[static_cast<size_t>(app.view.page)];
    scrollTo(app, std::clamp(offset + (y < bar.thumbTop ? -step : step), 0, bar.maxOffset));
    return true;
}

void scrollBarMove(App& app, int x, int y) {
    int width = 0;
    const ScrollBarGeometry bar = currentBar(app, &width);
    if (app.view.scrollGrab >= 0)
        return scrollTo(app, offsetForThumbTop(bar, y - app.view.scrollGrab));
    // The bar grows and shrinks as the pointer crosses its edge.
    const int edge = width - scaled(barZoneDip, app.view.dpi);
    if (bar.shown && (app.view.mouse.x >= edge) != (x >= edge)) invalidateWindow(app);
}

bool scrollBarRelease(App& app) {
    if (app.view.scrollGrab < 0) return false;
    app.view.scrollGrab = -1;
    if (GetCapture() == app.window) ReleaseCapture();
    invalidateWindow(app);
    return true;
}

} // namespace ovra
