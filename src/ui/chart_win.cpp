#include "ui/chart.h"

#include "store/history.h"
#include "ui/chart_readout.h"

#include "sources/format.h"
#include "sources/clock.h"
#include "ui/gdi.h"

namespace ovra {

namespace {

std::wstring scaleLabel(ChartScale scale, double maximum) {
    switch (scale) {
    case ChartScale::percent: return L"100%";
    case ChartScale::rate: return formatRate(maximum);
    default: return formatNumber(maximum, 0) + L"\u00B0C";
    }
}

// The line `width` pixels thick as thin lines side by side in both directions:
// the stroke of a wide pen, at the cost of thin ones (a wide pen builds a
// polygon per segment and takes many times longer).
void drawThickLine(HDC dc, const std::vector<POINT>& points, int width) {
    const int from = -(width / 2);
    std::vector<POINT> strokes;
    strokes.reserve(points.size() * size_t(width * width));
    std::vector<DWORD> counts;
    for (int dx = from; dx < from + width; ++dx)
        for (int dy = from; dy < from + width; ++dy) {
            for (const POINT& p : points)
                strokes.push_back(POINT{p.x + dx, p.y + dy});
            counts.push_back(static_cast<DWORD>(points.size()));
        }
    PolyPolyline(dc, strokes.data(), counts.data(), static_cast<DWORD>(counts.size()));
}

void drawRun(Ui& ui, const std::vector<ChartPoint>& run, int bottom, Colour area, bool filled,
             int width) {
    std::vector<POINT> points;
    points.reserve(run.size() + 2);
    for (const ChartPoint& p : run)
        points.push_back(POINT{p.x, p.y});
    if (filled) {
        points.push_back(POINT{run.back().x, bottom});
        points.push_back(POINT{run.front().x, bottom});
        {
            Selection brush(ui.dc, GetStockObject(DC_BRUSH));
            Selection pen(ui.dc, GetStockObject(NULL_PEN));
            SetDCBrushColor(ui.dc, area);
            Polygon(ui.dc, points.data(), static_cast<int>(points.size()));
        }
        points.resize(run.size());
    }
    drawThickLine(ui.dc, points, width);
}

// Faint upright lines at whole minutes back, labelled at their foot.
void drawTimeMarks(Ui& ui, const RECT& rect, const PlotArea& area, uint32_t minutes, Colour grid) {
    const int labelTop = rect.bottom - ui.px(2) - fontHeight(ui, FontRole::small);
    for (const TimeMark& mark : chartTimeMarks(minutes, area)) {
        fillRect(ui, RECT{mark.x, area.bottom - area.height, mark.x + 1, area.bottom}, grid);
        const int width = textWidth(ui, mark.label, FontRole::small);
        if (mark.x - width / 2 > rect.left + ui.px(4))
            drawText(ui, mark.x - width / 2, labelTop, mark.label, FontRole::small,
                     ui.colour(Role::textMuted));
    }
}

// Under the pointer: a marker at the nearest sample, and its readout as the tip.
void drawReadout(Ui& ui, const HistoryStore& history, const RECT& rect, const PlotArea& area,
                 SampleField first, SampleField second, ChartScale scale, uint32_t minutes,
                 uint64_t now) {
    offerTip(ui, rect, L"", rect.bottom); // the pointer's moves over it repaint it
    if (!ui.tip || !isHovered(ui, rect)) return;
    const NearestSample nearest =
        nearestSample(history, first, second, minutes, now, area, ui.mouse.x);
    if (nearest.index < 0) return;
    fillRect(ui, RECT{nearest.x, area.bottom - area.height, nearest.x + ui.px(1), area.bottom},
             ui.colour(Role::textSecondary));
    const Sample& sample = historyAt(history, uint64_t(nearest.index));
    const std::wstring time = localTimeText(sample.time); // "2024-05-01 08:03:09"
    *ui.tip = HoverTip{chartReadout(sample, first, second, scale, time.substr(time.find(L' ') + 1)),
                       POINT{ui.mouse.x, ui.mouse.y + ui.px(20)}};
}

} // namespace

void drawChart(Ui& ui, const HistoryStore& history, const RECT& rect, SampleField first,
               Colour firstColour, SampleField second, Colour secondColour, ChartScale scale,
               uint32_t minutes) {
    // A chart changes with every sample added and with what it shows.
    const uint64_t newest = history.count ? historyAt(history, history.count - 1).time : 0;
    signValues(ui, 'c', history.count, history.head, newest, minutes, scale, firstColour,
               secondColour, rect.right - rect.left);
    if (ui.measureOnly || ui.signatureOnly || rect.bottom < ui.clip.top ||
        rect.top > ui.clip.bottom)
        return;
    const Colour panel = lerpColour(ui.colour(Role::card), ui.colour(Role::track), 0.45);
    roundRect(ui, rect, panel, ui.colour(Role::border), ui.px(8));

    const int top = rect.top + ui.px(14);
    const int height = (rect.bottom - rect.top) - ui.px(18);
    const int bottom = top + height;
    const PlotArea area{rect.right, bottom, (rect.right - rect.left) - 2, height};
    const uint64_t now = systemTimeNow();
    const ChartPlan plan = planChart(history, first, second, scale, minutes, now, area);

    const Colour grid = lerpColour(ui.colour(Role::card), ui.colour(Role::border), 0.8);
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const int y = top + height * quarter / 4;
        fillRect(ui, RECT{rect.left + 1, y, rect.right - 1, y + 1}, grid);
    }
    drawTimeMarks(ui, rect, area, minutes, grid);
    const Ink muted = ui.colour(Role::textMuted);
    drawText(ui, rect.left + ui.px(8), rect.top + ui.px(2), scaleLabel(scale, plan.maximum),
             FontRole::small, muted);
    drawTextRight(ui, rect.right - ui.px(8), rect.top + ui.px(2),
                  formatText(L"%llu menit terakhir", static_cast<unsigned long long>(minutes)),
                  FontRole::small, muted);
    if (!plan.hasData) {
        drawText(ui, rect.left + ui.px(8), top + height / 2 - ui.px(8), L"Belum ada data",
                 FontRole::small, muted);
        return;
    }

    const Colour colours[2] = {firstColour, secondColour};
    for (int s = 0; s < 2; ++s) {
        if (plan.runs[s].empty()) continue;
        const GdiObject pen(CreatePen(PS_SOLID, 1, colours[s]));
        Selection selected(ui.dc, pen.get());
        for (const std::vector<ChartPoint>& run : plan.runs[s])
            drawRun(ui, run, bottom, lerpColour(panel, colours[s], 0.18), s == 0,
                    ui.px(2) > 1 ? ui.px(2) : 1);
    }
    drawReadout(ui, history, rect, area, first, second, scale, minutes, now);
}

} // namespace ovra
