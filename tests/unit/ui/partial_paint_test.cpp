// A tick repaints only the cards whose content changed, and nothing while hidden.
#include "../pages/app_fixture.h"

using namespace ovra;
using PartialPaint = test::AppWindow;

TEST_F(PartialPaint, ATickInvalidatesTheChangedCardsAloneAndNothingWhileMinimised) {
    HWND shown = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1060, 720, nullptr,
                                 nullptr, nullptr, nullptr);
    app.window = shown;
    app.view.recordTextRuns = false;
    setReading(app.machine.cpu.usage, 12.0);
    app.machine.memory.ok = true;
    app.machine.memory.usedPercent = 40;
    paint(1060, 720);
    const std::vector<CardMark> cards = app.view.paintMemory.cards;
    ASSERT_GE(cards.size(), 3u);
    const auto dirty = [&] {
        ValidateRect(shown, nullptr);
        invalidateChangedParts(app);
        RECT update{};
        GetUpdateRect(shown, &update, FALSE);
        return std::vector<LONG>{update.left, update.top, update.right, update.bottom};
    };
    const auto rectOf = [](const RECT& r) {
        return std::vector<LONG>{r.left, r.top, r.right, r.bottom};
    };
    EXPECT_EQ(dirty(), std::vector<LONG>(4, 0)) << "nothing changed";
    setReading(app.machine.cpu.usage, 57.0); // the processor tile, the first card
    EXPECT_EQ(dirty(), rectOf(cards[0].rect));
    paint(1060, 720);
    EXPECT_EQ(dirty(), std::vector<LONG>(4, 0)) << "painted since";
    app.machine.memory.usedPercent = 41; // the memory tile, the second
    EXPECT_EQ(dirty(), rectOf(cards[1].rect));
    // Drawn over the old frame, the part leaves the picture of a whole new paint.
    const auto pixels = [](const test::Canvas& from) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1060, -720, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const MemoryDc dc(nullptr);
        const GdiObject dib(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        Selection selected(dc.get(), dib.get());
        BitBlt(dc.get(), 0, 0, 1060, 720, from.dc.get(), 0, 0, SRCCOPY);
        GdiFlush();
        return std::vector<uint32_t>(static_cast<uint32_t*>(bits),
                                     static_cast<uint32_t*>(bits) + 1060 * 720);
    };
    const test::Canvas whole(1060, 720);
    paintWindow(app, whole.dc.get(), RECT{0, 0, 1060, 720});
    paintWindow(app, canvas->dc.get(), RECT{0, 0, 1060, 720}, cards[1].rect);
    EXPECT_TRUE(pixels(*canvas) == pixels(whole));
    app.view.page = 1; // not painted yet: everything
    EXPECT_EQ(dirty(), std::vector<LONG>({0, 0, 1060, 720}));
    ShowWindow(shown, SW_MINIMIZE);
    EXPECT_EQ(dirty(), std::vector<LONG>(4, 0)) << "minimised";
    DestroyWindow(shown);
}
