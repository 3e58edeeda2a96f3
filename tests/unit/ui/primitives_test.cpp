// The drawing primitives: DPI scaling, measuring without drawing, clipping of
// hit regions and the text recorder.
#include <gtest/gtest.h>

#include "canvas.h"
#include "ui/widgets.h"

using namespace ovra;
using ovra::test::Canvas;

TEST(Primitives, FontsAndSizesScaleWithDpi) {
    Canvas canvas(200, 100, 144);
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(canvas.fonts[FontRole::body], sizeof(font), &font), 0);
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfWeight, 400);
    GetObjectW(canvas.fonts[FontRole::big], sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -39);
    EXPECT_EQ(font.lfWeight, 600);
    EXPECT_EQ(canvas.ui.px(28), 42);

    // Re-creating for another DPI replaces the fonts rather than adding to them.
    createFonts(canvas.fonts, 96);
    GetObjectW(canvas.fonts[FontRole::body], sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -13);
}

TEST(Primitives, MeasuringChangesNoPixelAndRecordsNothingButStillMeasures) {
    Canvas canvas(400, 300);
    Ui& ui = canvas.ui;
    const std::vector<uint32_t> before = canvas.pixels();
    const int drawnWidth = textWidth(ui, L"Penggunaan total", FontRole::body);
    ui.measureOnly = true;

    EXPECT_EQ(drawText(ui, 10, 10, L"Penggunaan total", FontRole::body, 0), drawnWidth);
    EXPECT_GT(drawWrapped(ui, 10, 40, 60, L"satu dua tiga empat lima enam", FontRole::body, 0),
              fontHeight(ui, FontRole::body));
    fillRect(ui, RECT{0, 0, 400, 300}, 0);
    roundRect(ui, RECT{10, 10, 100, 60}, 0, 0, 8);
    dot(ui, 50, 50, 10, 0);
    drawBarRaw(ui, RECT{10, 100, 200, 108}, 0.5, 0);
    drawTextRight(ui, 300, 10, L"kanan", FontRole::small, 0);
    EXPECT_GT(button(ui, 10, 150, L"Ekspor", 8, 0, true), 0);
    toggle(ui, 10, 200, true, 6, 0, true);
    EXPECT_GT(stepper(ui, 100, 200, L"85%", 100, true, true), 0);
    EXPECT_GT(segmented(ui, 10, 240, {L"Terang", L"Gelap"}, 0, 2, true), 0);
    Col col{&ui, 10, 10, 300};
    kvRow(col, L"Label", L"Nilai");
    bar(col, 0.5, 0, 8);
    EXPECT_GT(col.y, 10);

    EXPECT_EQ(canvas.pixels(), before);
    EXPECT_TRUE(canvas.hits.empty());
    EXPECT_TRUE(canvas.texts.empty());
}

TEST(Primitives, WrappingNeverUsesLessThanTenPixels) {
    Canvas canvas(400, 300);
    const std::wstring text = L"sebuah kalimat yang cukup panjang";
    const int atTen = drawWrapped(canvas.ui, 0, 0, 10, text, FontRole::body, 0);
    EXPECT_EQ(drawWrapped(canvas.ui, 0, 0, 3, text, FontRole::body, 0), atTen);
    EXPECT_EQ(drawWrapped(canvas.ui, 0, 0, -40, text, FontRole::body, 0), atTen);
    EXPECT_LT(drawWrapped(canvas.ui, 0, 0, 400, text, FontRole::body, 0), atTen);
}

TEST(Primitives, HitRegionsAreClippedToTheVisibleArea) {
    Canvas canvas(400, 300);
    Ui& ui = canvas.ui;
    ui.clip = RECT{100, 50, 300, 250};
    addHit(ui, RECT{0, 0, 90, 40}, 1, 0);       // wholly outside
    addHit(ui, RECT{310, 100, 350, 120}, 1, 1); // wholly outside
    addHit(ui, RECT{80, 240, 150, 280}, 7, 3);  // straddles the corner
    ASSERT_EQ(canvas.hits.size(), 1u);
    EXPECT_EQ(canvas.hits[0].rect.left, 100);
    EXPECT_EQ(canvas.hits[0].rect.top, 240);
    EXPECT_EQ(canvas.hits[0].rect.right, 150);
    EXPECT_EQ(canvas.hits[0].rect.bottom, 250);
    EXPECT_EQ(canvas.hits[0].command, 7);
    EXPECT_EQ(canvas.hits[0].argument, 3);

    // Hover needs the pointer inside the rectangle and inside the visible area.
    ui.mouse = POINT{120, 260};
    EXPECT_FALSE(isHovered(ui, RECT{100, 240, 150, 280}));
    ui.mouse = POINT{120, 245};
    EXPECT_TRUE(isHovered(ui, RECT{100, 240, 150, 280}));
}

TEST(Primitives, LaterRegionsLieAboveEarlierOnes) {
    std::vector<HitRegion> hits = {{RECT{0, 0, 100, 100}, 1, 0}, {RECT{50, 50, 150, 150}, 2, 0}};
    EXPECT_EQ(regionAt(hits, POINT{60, 60}), 1);
    EXPECT_EQ(regionAt(hits, POINT{10, 10}), 0);
    EXPECT_EQ(regionAt(hits, POINT{100, 10}), -1); // right edge is outside
    EXPECT_EQ(regionAt({}, POINT{0, 0}), -1);
}

TEST(Primitives, RecorderKeepsTextRectangleRoleAndFont) {
    Canvas canvas(400, 300, 144, true);
    Ui& ui = canvas.ui;
    const int width =
        drawText(ui, 20, 30, L"Ovra Monitor", FontRole::heading, ui.colour(Role::text));
    drawWrapped(ui, 20, 80, 200, L"Dua baris teks yang dibungkus", FontRole::small,
                lerpColour(ui.colour(Role::card), ui.colour(Role::text), 0.3));
    ASSERT_EQ(canvas.texts.size(), 2u);
    const TextRun& title = canvas.texts[0];
    EXPECT_EQ(title.text, L"Ovra Monitor");
    EXPECT_EQ(title.rect.left, 20);
    EXPECT_EQ(title.rect.top, 30);
    EXPECT_EQ(title.rect.right, 20 + width);
    EXPECT_EQ(title.rect.bottom - title.rect.top, fontHeight(ui, FontRole::heading));
    EXPECT_EQ(title.role, static_cast<int>(Role::text));
    EXPECT_EQ(title.font, FontRole::heading);
    EXPECT_EQ(canvas.texts[1].role, -1) << "a blend has no role";
    EXPECT_EQ(canvas.texts[1].font, FontRole::small);

    // A context without a recorder records nothing and draws the same.
    ui.texts = nullptr;
    drawText(ui, 20, 30, L"lagi", FontRole::body, 0);
    EXPECT_EQ(canvas.texts.size(), 2u);
}

TEST(Primitives, BarFillsItsShareWithARoundMinimum) {
    Canvas canvas(300, 100);
    Ui& ui = canvas.ui;
    const Colour fill = RGB(200, 0, 0), track = ui.colour(Role::track);
    drawBarRaw(ui, RECT{10, 10, 210, 18}, 0.5, fill);
    EXPECT_EQ(canvas.pixel(60, 14), fill);
    EXPECT_EQ(canvas.pixel(160, 14), track);
    drawBarRaw(ui, RECT{10, 40, 210, 48}, 0.001, fill);
    EXPECT_EQ(canvas.pixel(14, 44), fill) << "a tiny share still shows a dot";
    drawBarRaw(ui, RECT{10, 70, 210, 78}, 7.0, fill);
    EXPECT_EQ(canvas.pixel(200, 74), fill) << "clamped to full";
    EXPECT_EQ(canvas.pixel(215, 74), ui.colour(Role::background));
}
