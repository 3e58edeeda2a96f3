#pragma once
// The page's scroll bar at the right edge of the window: a thin thumb that grows
// with its track under the pointer, dragged with the left button; a click on the
// track pages up or down.
#include "ui/ui.h"

namespace ovra {

struct App;

struct ScrollBarGeometry {
    bool shown = false; // the page is taller than the window
    int trackTop = 0;
    int trackHeight = 0;
    int thumbTop = 0;
    int thumbHeight = 0;
    int maxOffset = 0;
};

// Where the thumb is for a page `content` pixels tall in a window `height` pixels
// tall, scrolled by `offset`.
ScrollBarGeometry scrollBarGeometry(int height, int content, int offset, int dpi);
// The offset that puts the thumb's top at `thumbTop`, within the page.
int offsetForThumbTop(const ScrollBarGeometry& bar, int thumbTop);

// Draws the bar of the current page; wide while the pointer is over it or drags it.
void drawScrollBar(App& app, Ui& ui, int width, int height);

// A press at a client point: true when the bar took it (the thumb is grabbed, or
// the track paged the view).
bool scrollBarPress(App& app, int x, int y);
// A move of the pointer, before the window takes it: scrolls while the thumb is
// dragged, repaints when the pointer crosses the bar's edge.
void scrollBarMove(App& app, int x, int y);
// True when the release ended a drag.
bool scrollBarRelease(App& app);

} // namespace ovra
