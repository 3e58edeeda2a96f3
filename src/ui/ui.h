#pragma once
// The drawing context of one paint and the primitives every widget is built on.
// Each primitive honours measureOnly, so the same code measures a layout and
// paints it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

#include "ui/dpi.h"
#include "ui/fonts.h"
#include "ui/hit_region.h"
#include "ui/palette.h"

namespace ovra {

// Colour argument meaning "the widget's default colour".
inline constexpr Colour noColour = 0xFFFFFFFFu;

// A colour and, when it comes straight from the palette, its role; a blend or a
// fixed colour has the role -1. Text remembers the role it was drawn in.
struct Ink {
    Colour colour = 0;
    int role = -1;
    Ink() = default;
    Ink(Colour value) : colour(value) {}
    Ink(Colour value, Role from) : colour(value), role(static_cast<int>(from)) {}
    operator Colour() const { return colour; }
};

// One piece of text as it was drawn. Recorded only when a paint asks for it, so
// tests, keyboard focus and screen readers can learn what the screen shows.
struct TextRun {
    std::wstring text;
    RECT rect{};
    Colour colour = 0;
    int role = -1; // the palette role of the colour, -1 for a blend
    FontRole font = FontRole::body;
    std::wstring whole; // the whole text when `text` is cut with "…", else empty
    int group = -1;     // the described group (Element index) it was drawn in, -1 outside any
};

// What a control or a piece of content is to a keyboard or a screen reader.
enum class ElementKind : int {
    group,         // a card: name = its title
    text,          // a labelled value: name = the label, value = the value as drawn
    button,        // name = its label
    toggle,        // on = its state; named after the label drawn beside it
    stepperButton, // argument -1 or +1; name = the sign, value = the stepper's value
    choice,        // one option of a segmented choice: argument = its index, on = selected
    pageEntry,     // a sidebar entry: argument = the page, on = shown
};

// One described element, recorded by the same call that draws it when a paint
// asks for descriptions (Ui::elements). Rectangles are not clipped.
struct Element {
    ElementKind kind = ElementKind::text;
    std::wstring name;
    std::wstring value;
    RECT rect{};
    int32_t command = 0;
    int32_t argument = 0;
    bool enabled = true;
    bool on = false;
    int group = -1;      // the enclosing group element, -1 for none
    size_t firstRun = 0; // the text runs it drew: [firstRun, endRun)
    size_t endRun = 0;
};

// What the pointer rests on and tells more about: the whole of a cut text, a
// chart's readout. Shown beside the pointer, below `anchor` (client pixels).
struct HoverTip {
    std::wstring text; // empty: nothing to tell
    POINT anchor{};
};

// One card of the page as a paint placed it, with the fingerprint of what it drew.
struct CardMark {
    RECT rect{};
    uint64_t signature = 0;
};

// A card's measured height for a width and a fingerprint: the same content at the
// same width takes the same height, so a paint measures only what changed.
struct CardHeight {
    int width = 0;
    uint64_t signature = 0;
    int height = 0;
    bool used = false; // by the paint under way; the others are dropped after it
};

// What the paints of the page area keep between frames, so that a tick repaints
// only the cards whose fingerprint changed.
struct PaintMemory {
    bool valid = false; // a paint of `page` filled what follows
    int page = -1;
    uint64_t pageSignature = 0; // what the page draws outside its cards
    std::vector<CardMark> cards;
    std::vector<CardHeight> heights;
};

inline constexpr uint64_t signatureSeed = 14695981039346656037ull;

struct Ui {
    HDC dc = nullptr;
    const Palette* palette = nullptr;
    const FontSet* fonts = nullptr;
    int dpi = 96;
    bool measureOnly = false;
    std::vector<HitRegion>* hits = nullptr; // may be null: nothing is recorded
    std::vector<TextRun>* texts = nullptr;  // null unless a reader of the screen asked
    // Descriptions for keyboard focus and screen readers; null unless asked (then
    // texts is recorded too, and cards outside the visible area are described).
    std::vector<Element>* elements = nullptr;
    int group = -1;                        // the group element being drawn
    POINT mouse{-10000, -10000};           // client coordinates; far away when outside
    RECT clip{};                           // the visible part of the page area
    std::vector<RECT>* tipAreas = nullptr; // where a tip may appear; may be null
    HoverTip* tip = nullptr;               // set by what lies under the pointer
    // When set, every primitive mixes what it draws (texts, fonts, colours, bar
    // lengths) into it, except while measuring: a cheap fingerprint of a card.
    uint64_t* signature = nullptr;
    // Only fingerprints: the primitives measure and draw nothing and call no GDI.
    bool signatureOnly = false;
    std::vector<CardMark>* cards = nullptr;     // each card in order, when set
    std::vector<CardHeight>* heights = nullptr; // per card in order, kept between paints

    int px(int dip) const { return scaled(dip, dpi); }
    // A size that holds text: dip scaled by the DPI and by Windows' text size.
    int tx(int dip) const { return MulDiv(px(dip), fonts ? fonts->textScale : 100, 100); }
    Ink colour(Role role) const { return Ink((*palette)[role], role); }
    HFONT font(FontRole role) const { return (*fonts)[role]; }
};

void fillRect(Ui& ui, const RECT& rect, Colour colour);
// Both corner ellipses are `radius` pixels; a radius equal to the height gives round ends.
void roundRect(Ui& ui, const RECT& rect, Colour fill, Colour border, int radius);
// An unfilled rounded rectangle drawn with a line `thickness` pixels wide, inside `rect`.
void outline(Ui& ui, const RECT& rect, Colour colour, int radius, int thickness);
// A filled circle of radius r pixels.
void dot(Ui& ui, int x, int y, int r, Colour colour);

int textWidth(Ui& ui, std::wstring_view text, FontRole font);
int fontHeight(Ui& ui, FontRole font);
// Returns the text's width, also when only measuring.
int drawText(Ui& ui, int x, int y, std::wstring_view text, FontRole font, Ink colour);
// Draws `shown`, cut from `whole` to fit; a recorded run keeps the whole text.
int drawCutText(Ui& ui, int x, int y, std::wstring_view shown, std::wstring_view whole,
                FontRole font, Ink colour);
// Draws the text so that it ends at `right`.
void drawTextRight(Ui& ui, int right, int y, std::wstring_view text, FontRole font, Ink colour);
// Word-wrapped in at least 10 pixels; returns the height the text takes.
int drawWrapped(Ui& ui, int x, int y, int width, std::wstring_view text, FontRole font, Ink colour);
// A rounded bar on the `track` colour; a tiny non-zero fraction still shows a round dot.
void drawBarRaw(Ui& ui, const RECT& rect, double fraction, Colour colour);

// Mixes `size` bytes into the fingerprint being taken, if any (FNV-1a).
inline void sign(Ui& ui, const void* data, size_t size) {
    if (!ui.signature || ui.measureOnly) return;
    uint64_t hash = *ui.signature;
    for (size_t i = 0; i < size; ++i)
        hash = (hash ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
    *ui.signature = hash;
}
template <class... Values> void signValues(Ui& ui, Values... values) {
    (sign(ui, &values, sizeof values), ...);
}

// Runs `run` with measureOnly set and gives back its result: the size a widget
// will take, found by the same code that draws it, before drawing it.
template <class Run> auto measured(Ui& ui, Run&& run) {
    const bool wasMeasuring = ui.measureOnly;
    ui.measureOnly = true;
    const auto result = run();
    ui.measureOnly = wasMeasuring;
    return result;
}

// Records a rectangle that tells more under the pointer; when the pointer is in
// it, `text` becomes the tip, shown below `anchorY`.
void offerTip(Ui& ui, const RECT& rect, std::wstring_view text, int anchorY);

// Records a clickable rectangle, clipped to the visible area.
void addHit(Ui& ui, const RECT& rect, int32_t command, int32_t argument);
bool isHovered(const Ui& ui, const RECT& rect);

// Describing: the number of text runs so far, marking where an element's runs begin,
// and the element itself, given the runs it drew since `firstRun`. Both do nothing
// unless the paint describes. Returns the element's index, or -1.
size_t runMark(const Ui& ui);
int describe(Ui& ui, Element element, size_t firstRun);
// The runs since `firstRun` joined by line breaks: a value exactly as drawn.
std::wstring runsText(const Ui& ui, size_t firstRun);

} // namespace ovra
