// A page's text runs as the lines a copy takes.
#include <gtest/gtest.h>

#include "ui/page_text.h"

using namespace ovra;

// A label and its value, a wrapped label beside its value, a table row, a run
// starting left of the last one at its height, a cut name and a run below.
TEST(PageText, RunsJoinIntoLinesInTheOrderDrawn) {
    const auto run = [](const wchar_t* text, RECT rect, const wchar_t* whole = L"") {
        TextRun made;
        made.text = text;
        made.rect = rect;
        made.whole = whole;
        return made;
    };
    const std::vector<TextRun> runs{
        run(L"CPU", {10, 10, 40, 26}),     run(L"12%", {200, 10, 230, 26}),
        run(L"Model", {10, 40, 90, 72}),   run(L"Intel", {200, 56, 250, 72}),
        run(L"Judul", {300, 10, 360, 30}), run(L"app\u2026", {10, 100, 60, 116}, L"app.exe"),
        run(L"42", {120, 100, 140, 116}),  run(L"1,5 MB", {200, 101, 260, 117}),
        run(L"bawah", {10, 116, 60, 132}),
    };
    const std::vector<TextLine> lines = textLines(runs);
    std::vector<std::wstring> texts;
    for (const TextLine& line : lines)
        texts.push_back(line.text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"CPU\t12%", L"Model\tIntel", L"Judul",
                                                L"app.exe\t42\t1,5 MB", L"bawah"}));
    EXPECT_EQ(lineAt(lines, POINT{150, 105}), 3) << "between two cells of the row";
    EXPECT_EQ(lineAt(lines, POINT{150, 30}), -1);
    EXPECT_EQ(joinLines({lines[0], lines[2]}), L"CPU\t12%\r\nJudul\r\n");
}
