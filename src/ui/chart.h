#pragma once
// The one time chart of the program: one or two metrics of the history over the
// last N minutes, the right edge being now.
#include "ui/chart_plan.h"
#include "ui/ui.h"

namespace ovra {

// Draws nothing when measuring or when the panel lies outside the visible area;
// records no hit regions.
void drawChart(Ui& ui, const HistoryStore& history, const RECT& rect, SampleField first,
               Colour firstColour, SampleField second, Colour secondColour, ChartScale scale,
               uint32_t minutes);

} // namespace ovra
