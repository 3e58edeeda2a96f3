#include "ui/page_text.h"

namespace ovra {

std::vector<TextLine> textLines(const std::vector<TextRun>& runs) {
    std::vector<TextLine> lines;
    const TextRun* previous = nullptr;
    for (const TextRun& run : runs) {
        const std::wstring& text = run.whole.empty() ? run.text : run.whole;
        const LONG middle = (run.rect.top + run.rect.bottom) / 2;
        if (previous && run.rect.left >= previous->rect.right && middle >= previous->rect.top &&
            middle < previous->rect.bottom) {
            TextLine& line = lines.back();
            line.text += L'\t';
            line.text += text;
            UnionRect(&line.rect, &line.rect, &run.rect);
        } else {
            lines.push_back(TextLine{text, run.rect});
        }
        previous = &run;
    }
    return lines;
}

int lineAt(const std::vector<TextLine>& lines, POINT point) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (PtInRect(&lines[i].rect, point)) return static_cast<int>(i);
    return -1;
}

std::wstring joinLines(const std::vector<TextLine>& lines) {
    std::wstring text;
    for (const TextLine& line : lines)
        text += line.text + L"\r\n";
    return text;
}

} // namespace ovra
