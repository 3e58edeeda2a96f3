#include "ui/ui.h"

#include <utility>

#include "ui/gdi.h"

namespace ovra {

namespace {

void recordText(Ui& ui, std::wstring_view text, const RECT& rect, FontRole font, Ink colour) {
    if (!ui.texts || ui.measureOnly) return;
    ui.texts->push_back(
        TextRun{std::wstring(text), rect, colour.colour, colour.role, font, {}, ui.group});
}

void shape(Ui& ui, const RECT& rect, Colour fill, Colour border, int radius) {
    Selection brush(ui.dc, GetStockObject(DC_BRUSH));
    Selection pen(ui.dc, GetStockObject(DC_PEN));
    SetDCBrushColor(ui.dc, fill);
    SetDCPenColor(ui.dc, border);
    RoundRect(ui.dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void signText(Ui& ui, char kind, std::wstring_view text, FontRole font, Ink colour) {
    signValues(ui, kind, font, colour.colour, text.size());
    sign(ui, text.data(), text.size() * sizeof(wchar_t));
}

} // namespace

void fillRect(Ui& ui, const RECT& rect, Colour colour) {
    signValues(ui, 'f', colour);
    if (ui.measureOnly || ui.signatureOnly) return;
    SetDCBrushColor(ui.dc, colour);
    FillRect(ui.dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void roundRect(Ui& ui, const RECT& rect, Colour fill, Colour border, int radius) {
    signValues(ui, 'r', fill, border);
    if (ui.measureOnly || ui.signatureOnly) return;
    shape(ui, rect, fill, border, radius);
}

void outline(Ui& ui, const RECT& rect, Colour colour, int radius, int thickness) {
    signValues(ui, 'o', colour, thickness);
    if (ui.measureOnly || ui.signatureOnly) return;
    const GdiObject pen(CreatePen(PS_SOLID | PS_INSIDEFRAME, thickness, colour));
    Selection brush(ui.dc, GetStockObject(NULL_BRUSH));
    Selection selected(ui.dc, pen.get());
    RoundRect(ui.dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void dot(Ui& ui, int x, int y, int r, Colour colour) {
    roundRect(ui, RECT{x - r, y - r, x + r, y + r}, colour, colour, 2 * r);
}

int textWidth(Ui& ui, std::wstring_view text, FontRole font) {
    if (ui.signatureOnly) return 0;
    Selection selected(ui.dc, ui.font(font));
    SIZE size{};
    GetTextExtentPoint32W(ui.dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int fontHeight(Ui& ui, FontRole font) {
    if (ui.signatureOnly) return 0;
    Selection selected(ui.dc, ui.font(font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(ui.dc, &metrics);
    return metrics.tmHeight;
}

int drawText(Ui& ui, int x, int y, std::wstring_view text, FontRole font, Ink colour) {
    signText(ui, 't', text, font, colour);
    if (ui.signatureOnly) return 0;
    const int width = textWidth(ui, text, font);
    if (ui.measureOnly) return width;
    // Text wholly outside the visible area is only measured, unless it is recorded.
    if (!ui.texts && (y >= ui.clip.bottom || y + fontHeight(ui, font) <= ui.clip.top)) return width;
    Selection selected(ui.dc, ui.font(font));
    SetBkMode(ui.dc, TRANSPARENT);
    SetTextColor(ui.dc, colour);
    TextOutW(ui.dc, x, y, text.data(), static_cast<int>(text.size()));
    if (ui.texts)
        recordText(ui, text, RECT{x, y, x + width, y + fontHeight(ui, font)}, font, colour);
    return width;
}

int drawCutText(Ui& ui, int x, int y, std::wstring_view shown, std::wstring_view whole,
                FontRole font, Ink colour) {
    const size_t recorded = ui.texts ? ui.texts->size() : 0;
    const int width = drawText(ui, x, y, shown, font, colour);
    if (ui.measureOnly || shown == whole) return width;
    if (ui.texts && ui.texts->size() > recorded) ui.texts->back().whole = whole;
    offerTip(ui, RECT{x, y, x + width, y + fontHeight(ui, font)}, whole, y + fontHeight(ui, font));
    return width;
}

void drawTextRight(Ui& ui, int right, int y, std::wstring_view text, FontRole font, Ink colour) {
    if (ui.measureOnly) return;
    drawText(ui, right - textWidth(ui, text, font), y, text, font, colour);
}

int drawWrapped(Ui& ui, int x, int y, int width, std::wstring_view text, FontRole font,
                Ink colour) {
    signText(ui, 'w', text, font, colour);
    if (ui.signatureOnly) return 0;
    Selection selected(ui.dc, ui.font(font));
    const RECT box{x, y, x + (width > 10 ? width : 10), y + 10000};
    const int length = static_cast<int>(text.size());
    constexpr UINT flags = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;
    RECT target = box;
    if (!ui.measureOnly && !ui.texts && y >= ui.clip.top && y < ui.clip.bottom && length > 0) {
        // Drawing alone: the call that draws answers the height too.
        SetBkMode(ui.dc, TRANSPARENT);
        SetTextColor(ui.dc, colour);
        return DrawTextW(ui.dc, text.data(), length, &target, flags);
    }
    RECT layout = box;
    DrawTextW(ui.dc, text.data(), length, &layout, flags | DT_CALCRECT);
    const int height = layout.bottom - layout.top;
    if (ui.measureOnly || (!ui.texts && (y >= ui.clip.bottom || y + height <= ui.clip.top)))
        return height;
    SetBkMode(ui.dc, TRANSPARENT);
    SetTextColor(ui.dc, colour);
    DrawTextW(ui.dc, text.data(), length, &target, flags);
    recordText(ui, text, layout, font, colour);
    return height;
}

void drawBarRaw(Ui& ui, const RECT& rect, double fraction, Colour colour) {
    signValues(ui, 'b', fraction, colour);
    if (ui.measureOnly || ui.signatureOnly) return;
    const int height = rect.bottom - rect.top;
    const Colour track = ui.colour(Role::track);
    shape(ui, rect, track, track, height);
    if (!(fraction > 0)) return; // also NaN
    if (fraction > 1) fraction = 1;
    int filled = static_cast<int>((rect.right - rect.left) * fraction);
    if (filled < height) filled = height;
    shape(ui, RECT{rect.left, rect.top, rect.left + filled, rect.bottom}, colour, colour, height);
}

void offerTip(Ui& ui, const RECT& rect, std::wstring_view text, int anchorY) {
    if (ui.measureOnly) return;
    if (ui.tipAreas) ui.tipAreas->push_back(rect);
    if (ui.tip && isHovered(ui, rect))
        *ui.tip = HoverTip{std::wstring(text), {ui.mouse.x, anchorY}};
}

void addHit(Ui& ui, const RECT& rect, int32_t command, int32_t argument) {
    if (ui.measureOnly || ui.signatureOnly || !ui.hits) return;
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
