#include "ui/ui.h"

#include <utility>

#include "ui/gdi.h"

namespace ovra {

namespace {

void recordText(Ui& ui, std::wstring_view text, const RECT& rect, FontRole font, Ink colour) {
    if (!ui.texts || ui.measureOnly) return;
    ui.texts->push_back(
        TextRun{std::wstring(text), rect, colour.colour, colour.role, font, ui.group});
}

} // namespace

void fillRect(Ui& ui, const RECT& rect, Colour colour) {
    if (ui.measureOnly) return;
    SetDCBrushColor(ui.dc, colour);
    FillRect(ui.dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void roundRect(Ui& ui, const RECT& rect, Colour fill, Colour border, int radius) {
    if (ui.measureOnly) return;
    Selection brush(ui.dc, GetStockObject(DC_BRUSH));
    Selection pen(ui.dc, GetStockObject(DC_PEN));
    SetDCBrushColor(ui.dc, fill);
    SetDCPenColor(ui.dc, border);
    RoundRect(ui.dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void outline(Ui& ui, const RECT& rect, Colour colour, int radius, int thickness) {
    if (ui.measureOnly) return;
    const GdiObject pen(CreatePen(PS_SOLID | PS_INSIDEFRAME, thickness, colour));
    Selection brush(ui.dc, GetStockObject(NULL_BRUSH));
    Selection selected(ui.dc, pen.get());
    RoundRect(ui.dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void dot(Ui& ui, int x, int y, int r, Colour colour) {
    roundRect(ui, RECT{x - r, y - r, x + r, y + r}, colour, colour, 2 * r);
}

int textWidth(Ui& ui, std::wstring_view text, FontRole font) {
    Selection selected(ui.dc, ui.font(font));
    SIZE size{};
    GetTextExtentPoint32W(ui.dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int fontHeight(Ui& ui, FontRole font) {
    Selection selected(ui.dc, ui.font(font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(ui.dc, &metrics);
    return metrics.tmHeight;
}

int drawText(Ui& ui, int x, int y, std::wstring_view text, FontRole font, Ink colour) {
    const int width = textWidth(ui, text, font);
    if (ui.measureOnly) return width;
    Selection selected(ui.dc, ui.font(font));
    SetBkMode(ui.dc, TRANSPARENT);
    SetTextColor(ui.dc, colour);
    TextOutW(ui.dc, x, y, text.data(), static_cast<int>(text.size()));
    if (ui.texts)
        recordText(ui, text, RECT{x, y, x + width, y + fontHeight(ui, font)}, font, colour);
    return width;
}

void drawTextRight(Ui& ui, int right, int y, std::wstring_view text, FontRole font, Ink colour) {
    if (ui.measureOnly) return;
    drawText(ui, right - textWidth(ui, text, font), y, text, font, colour);
}

int drawWrapped(Ui& ui, int x, int y, int width, std::wstring_view text, FontRole font,
                Ink colour) {
    Selection selected(ui.dc, ui.font(font));
    const RECT box{x, y, x + (width > 10 ? width : 10), y + 10000};
    RECT layout = box;
    const int length = static_cast<int>(text.size());
    DrawTextW(ui.dc, text.data(), length, &layout,
              DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX | DT_EDITCONTROL);
    const int height = layout.bottom - layout.top;
    if (ui.measureOnly) return height;
    RECT target = box;
    SetBkMode(ui.dc, TRANSPARENT);
    SetTextColor(ui.dc, colour);
    DrawTextW(ui.dc, text.data(), length, &target, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    recordText(ui, text, layout, font, colour);
    return height;
}

void drawBarRaw(Ui& ui, const RECT& rect, double fraction, Colour colour) {
    if (ui.measureOnly) return;
    const int height = rect.bottom - rect.top;
    const Colour track = ui.colour(Role::track);
    roundRect(ui, rect, track, track, height);
    if (!(fraction > 0)) return; // also NaN
    if (fraction > 1) fraction = 1;
    int filled = static_cast<int>((rect.right - rect.left) * fraction);
    if (filled < height) filled = height;
    roundRect(ui, RECT{rect.left, rect.top, rect.left + filled, rect.bottom}, colour, colour,
              height);
}

void addHit(Ui& ui, const RECT& rect, int32_t command, int32_t argument) {
    if (ui.measureOnly || !ui.hits) return;
    RECT visible;
    if (IntersectRect(&visible, &rect, &ui.clip)) ui.hits->push_back({visible, command, argument});
}

bool isHovered(const Ui& ui, const RECT& rect) {
    return PtInRect(&rect, ui.mouse) && PtInRect(&ui.clip, ui.mouse);
}

size_t runMark(const Ui& ui) {
    return ui.texts ? ui.texts->size() : 0;
}

int describe(Ui& ui, Element element, size_t firstRun) {
    if (!ui.elements || ui.measureOnly) return -1;
    element.group = ui.group;
    element.firstRun = firstRun;
    element.endRun = runMark(ui);
    ui.elements->push_back(std::move(element));
    return static_cast<int>(ui.elements->size()) - 1;
}

std::wstring runsText(const Ui& ui, size_t firstRun) {
    std::wstring text;
    for (size_t i = firstRun; ui.texts && i < ui.texts->size(); ++i) {
        if (!text.empty()) text += L'\n';
        text += (*ui.texts)[i].text;
    }
    return text;
}

} // namespace ovra
