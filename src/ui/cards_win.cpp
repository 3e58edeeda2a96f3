#include "ui/cards.h"

#include <algorithm>
#include <utility>

namespace ovra {

namespace {

constexpr int cardPadding = 18; // dip
constexpr int gridGap = 16;     // dip

int titleLines(Ui& ui, int x, int y, int width, const Card& card) {
    const int p = ui.px(cardPadding);
    return drawWrapped(ui, x + p, y + p, width - 2 * p, card.title, FontRole::heading,
                       ui.colour(Role::text));
}

// A title wider than its card (large text) wraps.
int titleHeight(Ui& ui, const Card& card, int width) {
    if (card.title.empty()) return 0;
    return measured(ui, [&] { return titleLines(ui, 0, 0, width, card); }) + ui.px(10);
}

// Where a card's content starts, below its title and inside its padding.
Col contentColumn(Ui& ui, int x, int y, int width, const Card& card) {
    const int p = ui.px(cardPadding);
    return Col{&ui, x + p, y + p + titleHeight(ui, card, width), width - 2 * p};
}

// What the card draws, taken without measuring or drawing: its title and every
// text, colour and bar length of its content. Hover and the visible area are left
// out (moving the pointer or scrolling repaints everything anyway), so the same
// content gives the same fingerprint wherever the card stands.
uint64_t fingerprint(const Ui& ui, int x, int y, int width, const Card& card) {
    uint64_t signature = signatureSeed;
    Ui probe = ui;
    probe.measureOnly = false;
    probe.signatureOnly = true;
    probe.signature = &signature;
    probe.cards = nullptr;
    probe.heights = nullptr;
    probe.hits = nullptr;
    probe.texts = nullptr;
    probe.elements = nullptr;
    probe.mouse = POINT{-10000, -10000};
    probe.clip = RECT{-1000000000, -1000000000, 1000000000, 1000000000};
    signValues(probe, ui.dpi, width, ui.fonts ? ui.fonts->textScale : 100);
    drawText(probe, 0, 0, card.title, FontRole::heading, 0);
    Col col = contentColumn(probe, x, y, width, card);
    card.content(col);
    return signature;
}

struct Measure {
    int height = 0;
    uint64_t signature = 0; // 0 when nobody asked for fingerprints
};

// The card's height, found by running its content without drawing; a content whose
// fingerprint was measured at this width before takes the height it took then.
Measure measureCard(Ui& ui, int x, int y, int width, const Card& card, int minHeight) {
    Measure result;
    if (ui.cards || ui.heights) result.signature = fingerprint(ui, x, y, width, card);
    if (ui.signatureOnly) return result;
    CardHeight* known = nullptr;
    if (ui.heights)
        for (CardHeight& entry : *ui.heights)
            if (entry.width == width && entry.signature == result.signature) known = &entry;
    int content = 0;
    if (known) {
        known->used = true;
        content = known->height;
    } else {
        content = measured(ui, [&] {
            Col col = contentColumn(ui, x, y, width, card);
            const int start = col.y;
            card.content(col);
            return col.y - start;
        });
        if (ui.heights) ui.heights->push_back({width, result.signature, content, true});
    }
    result.height = std::max(
        titleHeight(ui, card, width) + 2 * ui.px(cardPadding) + content - ui.px(4), minHeight);
    return result;
}

// Draws a card of known height when it overlaps the visible area; a paint that
// keeps card marks gets its place and fingerprint either way.
void paintCard(Ui& ui, int x, int y, int width, const Card& card, const Measure& measure) {
    if (ui.measureOnly) return;
    const int height = measure.height;
    if (ui.cards) ui.cards->push_back({RECT{x, y, x + width, y + height}, measure.signature});
    // A described paint draws every card, so keyboard focus can reach those out of view.
    const bool visible = ui.clip.bottom >= y && y + height >= ui.clip.top;
    if (ui.signatureOnly || (!visible && !ui.elements)) return;
    // The card's drawing is its own fingerprint's business, not the page's.
    uint64_t* const page = std::exchange(ui.signature, nullptr);
    std::vector<CardMark>* const cards = std::exchange(ui.cards, nullptr);
    const RECT rect{x, y, x + width, y + height};
    roundRect(ui, rect, ui.colour(Role::card), ui.colour(Role::border), ui.px(12));
    const size_t mark = runMark(ui);
    if (!card.title.empty()) titleLines(ui, x, y, width, card);
    const int outer = ui.group;
    const int group = describe(ui, Element{ElementKind::group, card.title, L"", rect}, mark);
    if (group >= 0) ui.group = group;
    Col col = contentColumn(ui, x, y, width, card);
    card.content(col);
    ui.group = outer;
    ui.signature = page;
    ui.cards = cards;
}

} // namespace

int pageHeader(Ui& ui, int x, int y, int width, std::wstring_view title,
               std::wstring_view subtitle) {
    drawText(ui, x, y, title, FontRole::title, ui.colour(Role::text));
    int height = fontHeight(ui, FontRole::title) + ui.px(4);
    if (!subtitle.empty())
        height += drawWrapped(ui, x, y + height, std::min(width, ui.px(820)), subtitle,
                              FontRole::body, ui.colour(Role::textSecondary));
    return height + ui.px(18);
}

int drawCard(Ui& ui, int x, int y, int width, const Card& card, int minHeight) {
    const Measure measure = measureCard(ui, x, y, width, card, minHeight);
    paintCard(ui, x, y, width, card, measure);
    return measure.height;
}

GridColumns gridColumns(int width, int cards, int maxColumns, int minColumnWidth, int gap) {
    int n = std::max(1, std::min(maxColumns, cards));
    while (n >= 2 && (width - (n - 1) * gap) / n < minColumnWidth)
        --n;
    return GridColumns{n, (width - (n - 1) * gap) / n};
}

int cardGrid(Ui& ui, int x, int y, int width, const std::vector<Card>& cards, int maxColumns,
             int minColumnWidthDip) {
    if (cards.empty()) return 0;
    const int gap = ui.px(gridGap);
    const GridColumns columns = gridColumns(width, static_cast<int>(cards.size()), maxColumns,
                                            ui.px(minColumnWidthDip), gap);
    int top = y;
    for (size_t first = 0; first < cards.size(); first += static_cast<size_t>(columns.count)) {
        const size_t end = std::min(cards.size(), first + static_cast<size_t>(columns.count));
        // Every card of a row takes the height of the tallest; each content runs
        // once to measure and once to draw.
        std::vector<Measure> row(end - first);
        int rowHeight = 0;
        for (size_t i = first; i < end; ++i) {
            row[i - first] = measureCard(ui, x, top, columns.width, cards[i], 0);
            rowHeight = std::max(rowHeight, row[i - first].height);
        }
        for (size_t i = first; i < end; ++i) {
            const int left = x + static_cast<int>(i - first) * (columns.width + gap);
            row[i - first].height = rowHeight;
            paintCard(ui, left, top, columns.width, cards[i], row[i - first]);
        }
        top += rowHeight + gap;
    }
    return top - y;
}

} // namespace ovra
