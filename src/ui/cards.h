#pragma once
// Page layout: the page header, cards and grids of cards. A card's content runs
// twice per paint (measure, then draw), so it must do nothing but draw.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/widgets.h"

namespace ovra {

struct Card {
    std::wstring title; // empty: a card without a title
    std::function<void(Col&)> content;
};

// Title and wrapped subtitle; returns the height including the gap below.
int pageHeader(Ui& ui, int x, int y, int width, std::wstring_view title,
               std::wstring_view subtitle);

// Draws one card (when it is visible) at least minHeight tall; returns its height.
int drawCard(Ui& ui, int x, int y, int width, const Card& card, int minHeight);

// How many columns a grid uses and how wide each is, all in pixels.
struct GridColumns {
    int count = 1;
    int width = 0;
};
GridColumns gridColumns(int width, int cards, int maxColumns, int minColumnWidth, int gap);

// Cards in rows, each row as tall as its tallest card; returns the advance,
// including one gap after the last row.
int cardGrid(Ui& ui, int x, int y, int width, const std::vector<Card>& cards, int maxColumns,
             int minColumnWidthDip);

} // namespace ovra
