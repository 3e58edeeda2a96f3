// Column widgets, controls and card layout at 96 and 144 DPI.
#include <gtest/gtest.h>

#include "canvas.h"
#include "ui/cards.h"

using namespace ovra;
using ovra::test::Canvas;

namespace {

class Widgets : public testing::TestWithParam<int> {
protected:
    int dpi() const { return GetParam(); }
    int px(int dip) const { return scaled(dip, dpi()); }
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Dpi, Widgets, testing::Values(96, 144));

TEST(KeyValueRow, LabelColumnIsAlmostHalfUpTo190) {
    Canvas canvas(1000, 400);
    Col narrow{&canvas.ui, 10, 10, 300};
    kvRow(narrow, L"Prosesor", L"Sempit");
    Col wide{&canvas.ui, 10, 100, 600};
    kvRow(wide, L"Prosesor", L"Lebar");
    ASSERT_TRUE(canvas.text(L"Sempit") && canvas.text(L"Lebar"));
    EXPECT_EQ(canvas.text(L"Sempit")->rect.left, 10 + 135);
    EXPECT_EQ(canvas.text(L"Lebar")->rect.left, 10 + 190);
    EXPECT_EQ(kvLabelWidth(600, 144), 270);
    EXPECT_EQ(kvLabelWidth(1000, 144), 285);
}

TEST_P(Widgets, KeyValueRowAdvancesByTheTallerSide) {
    Canvas canvas(1000, 600, dpi());
    Col col{&canvas.ui, 0, 0, px(300)};
    kvRow(col, L"Satu", L"Nilai");
    const int oneLine = col.y;
    EXPECT_EQ(oneLine, fontHeight(canvas.ui, FontRole::body) + px(5));
    kvRow(col, L"Label yang panjang sekali sehingga harus dibungkus beberapa baris", L"x",
          RGB(1, 2, 3), true);
    EXPECT_GT(col.y - oneLine, 2 * fontHeight(canvas.ui, FontRole::body));
    EXPECT_EQ(canvas.text(L"x")->colour, RGB(1, 2, 3));
    EXPECT_EQ(canvas.text(L"Nilai")->role, static_cast<int>(Role::text));
    EXPECT_EQ(canvas.text(L"Satu")->role, static_cast<int>(Role::textSecondary));
}

TEST_P(Widgets, ReadingRowShowsValueMeasuringOrWhyNot) {
    Canvas canvas(1000, 600, dpi());
    Col col{&canvas.ui, 0, 0, px(400)};
    readingRow(col, L"Suhu", true, L"45 \u00B0C", Limitation::None, L"");
    readingRow(col, L"Kipas", false, L"", Limitation::Measuring, L"");
    const int before = col.y;
    readingRow(col, L"GPU", false, L"", Limitation::WindowsApi, L"");
    readingRow(col, L"SMART", false, L"", Limitation::Driver, L"Driver menolak.");

    EXPECT_EQ(canvas.text(L"45 \u00B0C")->role, static_cast<int>(Role::text));
    EXPECT_EQ(canvas.text(L"Mengukur\u2026")->role, static_cast<int>(Role::textMuted));
    const TextRun* detail = canvas.text(L"Keterbatasan: API Windows");
    ASSERT_NE(detail, nullptr) << "an empty reason adds nothing after the label";
    EXPECT_EQ(detail->font, FontRole::small);
    EXPECT_EQ(detail->role, static_cast<int>(Role::textMuted));
    const TextRun* unavailable = canvas.text(L"Tidak tersedia pada perangkat ini");
    ASSERT_NE(unavailable, nullptr);
    EXPECT_EQ(unavailable->rect.left, kvLabelWidth(px(400), dpi()));
    EXPECT_EQ(detail->rect.top, unavailable->rect.bottom + px(1));
    EXPECT_EQ(detail->rect.left, unavailable->rect.left);
    EXPECT_NE(canvas.text(L"Keterbatasan: Driver. Driver menolak."), nullptr);
    EXPECT_GE(col.y - before, 2 * (detail->rect.bottom - unavailable->rect.top));
}

TEST_P(Widgets, UnavailableBlockSpansTheColumn) {
    Canvas canvas(1000, 600, dpi());
    Col col{&canvas.ui, 20, 0, px(300)};
    unavailableBlock(col, Limitation::Measuring, L"diabaikan");
    EXPECT_EQ(col.y, fontHeight(canvas.ui, FontRole::body) + px(4));
    EXPECT_EQ(canvas.texts.size(), 1u);
    unavailableBlock(col, Limitation::Sensor, L"Tidak ada zona termal.");
    const TextRun* detail = canvas.text(L"Keterbatasan: Sensor. Tidak ada zona termal.");
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->rect.left, 20);
    EXPECT_EQ(col.y, detail->rect.bottom + px(6));
}

TEST_P(Widgets, BigValueFallsBackToTheHeadingFontWhenTooWide) {
    Canvas canvas(1000, 600, dpi());
    Col col{&canvas.ui, 0, 0, px(300)};
    bigValue(col, L"56%");
    EXPECT_EQ(canvas.text(L"56%")->font, FontRole::big);
    EXPECT_EQ(col.y, fontHeight(canvas.ui, FontRole::big) + px(2));
    Col narrow{&canvas.ui, 0, 100, px(40)};
    bigValue(narrow, L"123,4 MB/s", RGB(9, 9, 9));
    EXPECT_EQ(canvas.text(L"123,4 MB/s")->font, FontRole::heading);
    EXPECT_EQ(canvas.text(L"123,4 MB/s")->colour, RGB(9, 9, 9));
}

TEST_P(Widgets, ButtonRecordsOnlyWhenEnabled) {
    Canvas canvas(1000, 600, dpi());
    Ui& ui = canvas.ui;
    const int width = button(ui, 10, 20, L"Ekspor", 8, 0, true, ButtonStyle::primary);
    EXPECT_EQ(width, textWidth(ui, L"Ekspor", FontRole::bodyStrong) + px(28));
    ASSERT_EQ(canvas.hits.size(), 1u);
    EXPECT_EQ(canvas.hits[0].rect.right - canvas.hits[0].rect.left, width);
    EXPECT_EQ(canvas.hits[0].rect.bottom - canvas.hits[0].rect.top, px(32));
    EXPECT_EQ(canvas.hits[0].command, 8);
    EXPECT_EQ(canvas.text(L"Ekspor")->role, static_cast<int>(Role::onAccent));
    EXPECT_EQ(canvas.pixel(10 + px(4), 20 + px(16)), ui.colour(Role::accent));

    button(ui, 10, 100, L"Hapus", 9, 0, false, ButtonStyle::danger);
    EXPECT_EQ(canvas.hits.size(), 1u) << "a disabled button is not clickable";
    EXPECT_EQ(canvas.text(L"Hapus")->role, static_cast<int>(Role::textMuted));
    EXPECT_EQ(canvas.pixel(10 + px(4), 100 + px(16)), ui.colour(Role::control));
}

TEST_P(Widgets, HoveredButtonsChangeTheirFill) {
    Canvas canvas(1000, 600, dpi());
    Ui& ui = canvas.ui;
    ui.mouse = POINT{10 + px(3), 20 + px(3)};
    button(ui, 10, 20, L"A", 1, 0, true, ButtonStyle::normal);
    EXPECT_EQ(canvas.pixel(10 + px(3), 20 + px(16)), ui.colour(Role::controlHover));
    ui.mouse = POINT{10 + px(3), 100 + px(3)};
    button(ui, 10, 100, L"B", 1, 0, true, ButtonStyle::danger);
    EXPECT_EQ(canvas.pixel(10 + px(3), 100 + px(16)),
              lerpColour(ui.colour(Role::card), ui.colour(Role::statusBad), 0.18));
}

TEST_P(Widgets, ToggleIsOneClickableTrack) {
    Canvas canvas(1000, 600, dpi(), true);
    Ui& ui = canvas.ui;
    toggle(ui, 10, 10, true, 11, 0, true);
    ASSERT_EQ(canvas.hits.size(), 1u);
    EXPECT_EQ(canvas.hits[0].rect.right - canvas.hits[0].rect.left, px(40));
    EXPECT_EQ(canvas.hits[0].rect.bottom - canvas.hits[0].rect.top, px(22));
    // On: the knob sits at the right end, the track shows the accent at the left.
    EXPECT_EQ(canvas.pixel(10 + px(40) - px(11), 10 + px(11)), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(canvas.pixel(10 + px(8), 10 + px(11)), ui.colour(Role::accent));
    toggle(ui, 10, 50, false, 11, 0, true);
    EXPECT_EQ(canvas.pixel(10 + px(11), 50 + px(11)), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(canvas.pixel(10 + px(32), 50 + px(11)), RGB(0x46, 0x4C, 0x55));
    toggle(ui, 10, 90, false, 11, 0, false);
    EXPECT_EQ(canvas.hits.size(), 2u);
    EXPECT_EQ(canvas.pixel(10 + px(11), 90 + px(11)), ui.colour(Role::textMuted));
    EXPECT_EQ(canvas.pixel(10 + px(32), 90 + px(11)), ui.colour(Role::track));
}

TEST_P(Widgets, StepperOffersOnlyTheAllowedSides) {
    Canvas canvas(1000, 600, dpi());
    Ui& ui = canvas.ui;
    const int width = stepper(ui, 10, 10, L"60 \u00B0C", 26, false, true);
    EXPECT_EQ(width, px(64) + px(60)) << "a short value keeps the minimum middle cell";
    ASSERT_EQ(canvas.hits.size(), 1u);
    EXPECT_EQ(canvas.hits[0].argument, +1);
    EXPECT_EQ(canvas.hits[0].rect.left, 10 + width - px(30));
    EXPECT_EQ(canvas.hits[0].command, 26);
    EXPECT_EQ(canvas.text(L"\u2212")->role, static_cast<int>(Role::textMuted));
    EXPECT_EQ(canvas.text(L"+")->role, static_cast<int>(Role::text));

    const std::wstring wide = L"Sangat panjang sekali nilainya";
    EXPECT_EQ(stepper(ui, 10, 60, wide, 22, true, false),
              textWidth(ui, wide, FontRole::bodyStrong) + px(16) + px(60));
    ASSERT_EQ(canvas.hits.size(), 2u);
    EXPECT_EQ(canvas.hits[1].argument, -1);
    EXPECT_EQ(canvas.hits[1].rect.left, 10);
}

TEST_P(Widgets, SegmentedRecordsOnlyTheOtherChoices) {
    Canvas canvas(1000, 600, dpi());
    Ui& ui = canvas.ui;
    const std::vector<std::wstring> options = {L"1 detik", L"2 detik", L"5 detik"};
    const int width = segmented(ui, 10, 10, options, 1, 3, true);
    int expected = 0;
    for (const auto& option : options)
        expected += textWidth(ui, option, FontRole::bodyStrong) + px(28);
    EXPECT_EQ(width, expected);
    ASSERT_EQ(canvas.hits.size(), 2u);
    EXPECT_EQ(canvas.hits[0].argument, 0);
    EXPECT_EQ(canvas.hits[1].argument, 2);
    EXPECT_EQ(canvas.hits[0].rect.left, 10 + px(2));
    EXPECT_EQ(canvas.hits[0].rect.bottom - canvas.hits[0].rect.top, px(30) - 2 * px(2));
    EXPECT_EQ(canvas.text(L"2 detik")->font, FontRole::bodyStrong);
    EXPECT_EQ(canvas.text(L"2 detik")->role, static_cast<int>(Role::onAccent));
    EXPECT_EQ(canvas.text(L"1 detik")->font, FontRole::body);

    segmented(ui, 10, 60, options, 0, 3, false);
    EXPECT_EQ(canvas.hits.size(), 2u) << "a disabled choice records nothing";
}

TEST_P(Widgets, PageHeaderWrapsTheSubtitleUnder820) {
    Canvas canvas(2000, 600, dpi());
    Ui& ui = canvas.ui;
    const int titleOnly = pageHeader(ui, 0, 0, 2000, L"Proses", L"");
    EXPECT_EQ(titleOnly, fontHeight(ui, FontRole::title) + px(4) + px(18));
    const std::wstring subtitle(300, L'a');
    const int height = pageHeader(ui, 0, 100, 2000, L"Judul", subtitle + L" akhir");
    const TextRun* run = canvas.text(subtitle + L" akhir");
    ASSERT_NE(run, nullptr);
    EXPECT_LE(run->rect.right, px(820));
    EXPECT_EQ(height, titleOnly + (run->rect.bottom - run->rect.top));
}

TEST(CardGrid, ColumnsShrinkUntilWideEnough) {
    const GridColumns five = gridColumns(900, 5, 5, 170, 16);
    EXPECT_EQ(five.count, 4);
    EXPECT_EQ(five.width, 213);
    EXPECT_EQ(gridColumns(900, 2, 5, 170, 16).count, 2) << "never more columns than cards";
    const GridColumns narrow = gridColumns(300, 3, 2, 340, 16);
    EXPECT_EQ(narrow.count, 1);
    EXPECT_EQ(narrow.width, 300);
}

TEST_P(Widgets, CardGridLaysRowsOfEqualHeight) {
    Canvas canvas(1200, 1200, dpi());
    Ui& ui = canvas.ui;
    std::vector<Card> cards;
    for (int need : {100, 160, 120, 40, 40})
        cards.push_back(
            Card{L"Kartu " + std::to_wstring(need) + L"-" + std::to_wstring(cards.size()),
                 [&ui, need](Col& col) { col.y += ui.px(need); }});
    const int width = px(900);
    const int advance = cardGrid(ui, 0, 0, width, cards, 5, 170);

    const GridColumns columns = gridColumns(width, 5, 5, px(170), px(16));
    ASSERT_EQ(columns.count, 4);
    const int header = fontHeight(ui, FontRole::heading) + px(10);
    const int firstRow = header + 2 * px(18) + px(160) - px(4);
    const int secondRow = header + 2 * px(18) + px(40) - px(4);
    EXPECT_EQ(advance, firstRow + px(16) + secondRow + px(16));
    for (int column = 0; column < 4; ++column) {
        const int left = column * (columns.width + px(16));
        EXPECT_EQ(canvas.text(cards[size_t(column)].title)->rect.left, left + px(18));
        // Every card of the first row ends at the tallest card's bottom.
        EXPECT_EQ(canvas.pixel(left + columns.width / 2, firstRow - 1), ui.colour(Role::border));
        EXPECT_EQ(canvas.pixel(left + columns.width / 2, firstRow - 3), ui.colour(Role::card));
    }
    EXPECT_EQ(canvas.text(cards[4].title)->rect.top, firstRow + px(16) + px(18));
}

TEST_P(Widgets, CardsOutsideTheVisibleAreaAreMeasuredButNotDrawn) {
    Canvas canvas(800, 600, dpi());
    Ui& ui = canvas.ui;
    ui.clip = RECT{0, 0, 800, 100};
    int runs = 0;
    const Card card{L"Jauh", [&](Col& col) {
                        ++runs;
                        button(ui, col.x, col.y, L"Tombol", 14, 0, true);
                        col.y += ui.px(36);
                    }};
    const int height = drawCard(ui, 0, 300, 400, card, 0);
    EXPECT_GT(height, px(36));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(canvas.hits.empty());
    EXPECT_TRUE(canvas.texts.empty());
    EXPECT_EQ(drawCard(ui, 0, 300, 400, card, 1000), 1000);
    EXPECT_EQ(drawCard(ui, 0, 20, 400, card, 0), height);
    EXPECT_EQ(runs, 4) << "a visible card runs its content to measure and to draw";
    EXPECT_EQ(canvas.hits.size(), 1u);
}
