#include "ui/widgets.h"

#include <algorithm>

namespace ovra {

namespace {

constexpr wchar_t unavailableText[] = L"Tidak tersedia pada perangkat ini";
constexpr wchar_t measuringText[] = L"Mengukur\u2026";

std::wstring limitationDetail(Limitation limitation, std::wstring_view reason) {
    std::wstring detail = L"Keterbatasan: " + limitationLabel(limitation);
    if (!reason.empty()) {
        detail += L". ";
        detail += reason;
    }
    return detail;
}

Ink orDefault(Ink colour, Ink fallback) {
    return colour == noColour ? fallback : colour;
}

// The label of a key-value row, wrapped in its column; returns its height.
int rowLabel(Col& col, std::wstring_view label, int labelWidth) {
    Ui& ui = *col.ui;
    return drawWrapped(ui, col.x, col.y, labelWidth - ui.px(8), label, FontRole::body,
                       ui.colour(Role::textSecondary));
}

// "Not available" with the limitation and reason 1 dip below it; returns the height of both.
int unavailableLines(Ui& ui, int x, int y, int width, Limitation limitation,
                     std::wstring_view reason) {
    const Ink muted = ui.colour(Role::textMuted);
    const int value =
        drawWrapped(ui, x, y, width, unavailableText, FontRole::bodyStrong, muted) + ui.px(1);
    return value + drawWrapped(ui, x, y + value, width, limitationDetail(limitation, reason),
                               FontRole::small, muted);
}

// The rounded outline shared by the stepper and the segmented choice.
void controlFrame(Ui& ui, int x, int y, int width, int height) {
    roundRect(ui, RECT{x, y, x + width, y + height}, ui.colour(Role::control),
              ui.colour(Role::border), ui.px(8));
}

// The hover fill of one cell of a stepper or a segmented choice.
void hoverFill(Ui& ui, const RECT& cell, int radius) {
    if (!isHovered(ui, cell)) return;
    const Colour hover = ui.colour(Role::controlHover);
    roundRect(ui, cell, hover, hover, radius);
}

// A key-value row as one text element: its label and the value runs drawn after it.
void describeRow(Col& col, std::wstring_view label, size_t mark, int top) {
    Ui& ui = *col.ui;
    if (!ui.elements) return;
    Element row{ElementKind::text, std::wstring(label), runsText(ui, mark + 1),
                RECT{col.x, top, col.x + col.width, col.y}};
    describe(ui, std::move(row), mark);
}

} // namespace

int kvLabelWidth(int columnWidth, int dpi) {
    return std::min(columnWidth * 45 / 100, scaled(190, dpi));
}

void kvRow(Col& col, std::wstring_view label, std::wstring_view value, Ink colour, bool useColour) {
    Ui& ui = *col.ui;
    const int labelWidth = kvLabelWidth(col.width, ui.dpi);
    const size_t mark = runMark(ui);
    const int top = col.y;
    const int labelHeight = rowLabel(col, label, labelWidth);
    const int valueHeight =
        drawWrapped(ui, col.x + labelWidth, col.y, col.width - labelWidth, value,
                    FontRole::bodyStrong, useColour ? colour : ui.colour(Role::text));
    col.y += std::max({labelHeight, valueHeight, fontHeight(ui, FontRole::body)}) + ui.px(5);
    describeRow(col, label, mark, top);
}

void readingRow(Col& col, std::wstring_view label, bool ok, std::wstring_view value,
                Limitation limitation, std::wstring_view reason) {
    Ui& ui = *col.ui;
    if (ok) return kvRow(col, label, value);
    if (limitation == Limitation::Measuring)
        return kvRow(col, label, measuringText, ui.colour(Role::textMuted), true);
    const int labelWidth = kvLabelWidth(col.width, ui.dpi);
    const size_t mark = runMark(ui);
    const int top = col.y;
    const int labelHeight = rowLabel(col, label, labelWidth);
    const int valueHeight =
        unavailableLines(ui, col.x + labelWidth, col.y, col.width - labelWidth, limitation, reason);
    col.y += std::max(valueHeight, labelHeight) + ui.px(7);
    describeRow(col, label, mark, top);
}

void unavailableBlock(Col& col, Limitation limitation, std::wstring_view reason) {
    Ui& ui = *col.ui;
    if (limitation == Limitation::Measuring) {
        col.y += drawWrapped(ui, col.x, col.y, col.width, measuringText, FontRole::body,
                             ui.colour(Role::textMuted)) +
                 ui.px(4);
        return;
    }
    col.y += unavailableLines(ui, col.x, col.y, col.width, limitation, reason) + ui.px(6);
}

void bigValue(Col& col, std::wstring_view text, Ink colour) {
    Ui& ui = *col.ui;
    const FontRole font =
        textWidth(ui, text, FontRole::big) > col.width ? FontRole::heading : FontRole::big;
    drawText(ui, col.x, col.y, text, font, orDefault(colour, ui.colour(Role::text)));
    col.y += fontHeight(ui, font) + ui.px(2);
}

void wrappedText(Col& col, std::wstring_view text, FontRole font, Ink colour) {
    Ui& ui = *col.ui;
    col.y += drawWrapped(ui, col.x, col.y, col.width, text, font,
                         orDefault(colour, ui.colour(Role::textSecondary))) +
             ui.px(4);
}

void bar(Col& col, double fraction, Colour colour, int heightDip) {
    Ui& ui = *col.ui;
    const int height = ui.px(heightDip);
    drawBarRaw(ui, RECT{col.x, col.y, col.x + col.width, col.y + height}, fraction, colour);
    col.y += height + ui.px(8);
}

int button(Ui& ui, int x, int y, std::wstring_view label, int32_t command, int32_t argument,
           bool enabled, ButtonStyle style) {
    const int width = textWidth(ui, label, FontRole::bodyStrong) + ui.px(28);
    if (ui.measureOnly) return width;
    const RECT rect{x, y, x + width, y + ui.px(32)};
    const bool hovered = enabled && isHovered(ui, rect);
    const Colour card = ui.colour(Role::card), bad = ui.colour(Role::statusBad);
    Colour fill = ui.colour(Role::control), border = ui.colour(Role::border);
    Ink ink = ui.colour(Role::text);
    if (!enabled) {
        ink = ui.colour(Role::textMuted);
    } else if (style == ButtonStyle::primary) {
        fill = border = hovered ? lerpColour(ui.colour(Role::accent), ui.colour(Role::text), 0.15)
                                : ui.colour(Role::accent).colour;
        ink = ui.colour(Role::onAccent);
    } else if (style == ButtonStyle::danger) {
        fill = lerpColour(card, bad, hovered ? 0.18 : 0.10);
        border = lerpColour(card, bad, 0.5);
        ink = bad;
    } else if (hovered) {
        fill = ui.colour(Role::controlHover);
    }
    if (ui.palette->highContrast) { // system colours only, outlined
        fill = enabled && style == ButtonStyle::primary ? ui.colour(Role::accent).colour
                                                        : ui.colour(Role::control).colour;
        border = ui.colour(enabled ? Role::text : Role::textMuted);
        if (style == ButtonStyle::danger && enabled) ink = ui.colour(Role::text);
    }
    roundRect(ui, rect, fill, border, ui.px(8));
    const size_t mark = runMark(ui);
    drawText(ui, x + ui.px(14), y + (ui.px(32) - fontHeight(ui, FontRole::bodyStrong)) / 2, label,
             FontRole::bodyStrong, ink);
    if (enabled) addHit(ui, rect, command, argument);
    describe(
        ui,
        Element{ElementKind::button, std::wstring(label), L"", rect, command, argument, enabled},
        mark);
    return width;
}

void buttonRow(Col& col, std::initializer_list<RowButton> buttons, int advanceDip) {
    Ui& ui = *col.ui;
    int x = col.x;
    for (const RowButton& item : buttons) {
        const int width = measured(ui, [&] { return button(ui, 0, 0, item.label, 0, 0, true); });
        if (x > col.x && x + width > col.x + col.width) {
            col.y += ui.px(advanceDip);
            x = col.x;
        }
        x += button(ui, x, col.y, item.label, item.command, item.argument, true, item.style) +
             ui.px(10);
    }
    col.y += ui.px(advanceDip);
}

void toggle(Ui& ui, int x, int y, bool on, int32_t command, int32_t argument, bool enabled) {
    if (ui.measureOnly) return;
    const RECT track{x, y, x + ui.px(40), y + ui.px(22)};
    Colour trackColour = ui.colour(Role::track);
    if (enabled) {
        // The "off" track is darker than the track role so the switch reads as a control.
        const Colour off = ui.palette->dark ? RGB(0x46, 0x4C, 0x55) : RGB(0xBE, 0xC6, 0xCD);
        trackColour = on ? ui.colour(Role::accent).colour : off;
        if (isHovered(ui, track))
            trackColour = lerpColour(trackColour, ui.colour(Role::text), 0.12);
    }
    Colour trackBorder = trackColour;
    Colour knobColour = enabled ? RGB(0xFF, 0xFF, 0xFF) : ui.colour(Role::textMuted).colour;
    if (ui.palette->highContrast) { // filled in the highlight when on, outlined when off
        trackColour = ui.colour(on && enabled ? Role::accent : Role::card);
        trackBorder = ui.colour(enabled ? Role::text : Role::textMuted);
        knobColour = on && enabled ? ui.colour(Role::onAccent).colour : trackBorder;
    }
    roundRect(ui, track, trackColour, trackBorder, ui.px(22));
    const int knob = ui.px(16), inset = ui.px(3);
    const int knobLeft = on ? track.right - inset - knob : track.left + inset;
    roundRect(ui, RECT{knobLeft, y + inset, knobLeft + knob, y + inset + knob}, knobColour,
              knobColour, knob);
    if (enabled) addHit(ui, track, command, argument);
    describe(ui, Element{ElementKind::toggle, L"", L"", track, command, argument, enabled, on},
             runMark(ui));
}

int stepper(Ui& ui, int x, int y, std::wstring_view value, int32_t command, bool canDecrease,
            bool canIncrease) {
    const int cell = ui.px(30), height = ui.px(30);
    const int middle = std::max(textWidth(ui, value, FontRole::bodyStrong) + ui.px(16), ui.px(64));
    const int width = middle + 2 * cell;
    if (ui.measureOnly) return width;
    controlFrame(ui, x, y, width, height);
    const RECT minus{x, y, x + cell, y + height};
    const RECT plus{x + cell + middle, y, x + width, y + height};
    const int signHeight = fontHeight(ui, FontRole::heading);
    auto endCell = [&](const RECT& rect, std::wstring_view sign, bool enabled, int32_t argument) {
        if (enabled) hoverFill(ui, rect, ui.px(8));
        const size_t mark = runMark(ui);
        const int signWidth = textWidth(ui, sign, FontRole::heading);
        drawText(ui, rect.left + (cell - signWidth) / 2, y + (height - signHeight) / 2, sign,
                 FontRole::heading, ui.colour(enabled ? Role::text : Role::textMuted));
        if (enabled) addHit(ui, rect, command, argument);
        describe(ui,
                 Element{ElementKind::stepperButton, std::wstring(sign), std::wstring(value), rect,
                         command, argument, enabled},
                 mark);
    };
    endCell(minus, L"\u2212", canDecrease, -1);
    endCell(plus, L"+", canIncrease, +1);
    const int valueWidth = textWidth(ui, value, FontRole::bodyStrong);
    drawText(ui, x + cell + (middle - valueWidth) / 2,
             y + (height - fontHeight(ui, FontRole::bodyStrong)) / 2, value, FontRole::bodyStrong,
             ui.colour(Role::text));
    return width;
}

int segmented(Ui& ui, int x, int y, const std::vector<std::wstring>& options, int selected,
              int32_t command, bool enabled) {
    const int pad = ui.px(28), height = ui.px(30), inset = ui.px(2);
    int width = 0;
    for (const std::wstring& option : options)
        width += textWidth(ui, option, FontRole::bodyStrong) + pad;
    if (ui.measureOnly) return width;
    controlFrame(ui, x, y, width, height);
    int left = x;
    for (int i = 0; i < static_cast<int>(options.size()); ++i) {
        const std::wstring& option = options[static_cast<size_t>(i)];
        const int segment = textWidth(ui, option, FontRole::bodyStrong) + pad;
        const RECT inner{left + inset, y + inset, left + segment - inset, y + height - inset};
        FontRole font = FontRole::body;
        Ink label = ui.colour(enabled ? Role::text : Role::textMuted);
        if (i == selected) {
            const Colour fill = ui.colour(enabled ? Role::accent : Role::textMuted);
            roundRect(ui, inner, fill, fill, ui.px(6));
            font = FontRole::bodyStrong;
            label = ui.colour(Role::onAccent);
        } else if (enabled) {
            hoverFill(ui, inner, ui.px(6));
            addHit(ui, inner, command, i);
        }
        const size_t mark = runMark(ui);
        drawText(ui, left + (segment - textWidth(ui, option, font)) / 2,
                 y + (height - fontHeight(ui, font)) / 2, option, font, label);
        describe(
            ui,
            Element{ElementKind::choice, option, L"", inner, command, i, enabled, i == selected},
            mark);
        left += segment;
    }
    return width;
}

} // namespace ovra
