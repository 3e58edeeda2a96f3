#include "page_canvas.h"

namespace ovra::test {

std::vector<const TextRun*> PageCanvas::textsStarting(const std::wstring& prefix) const {
    std::vector<const TextRun*> found;
    for (const TextRun& run : canvas.texts)
        if (run.text.rfind(prefix, 0) == 0) found.push_back(&run);
    return found;
}

int PageCanvas::count(const std::wstring& wanted) const {
    int n = 0;
    for (const TextRun& run : canvas.texts)
        n += run.text == wanted;
    return n;
}

Colour PageCanvas::barBelow(const TextRun& bigValue, int heightDip) const {
    // bigValue moves the column 2 dip below its text; the bar starts there.
    const int top = bigValue.rect.bottom + px(2);
    return canvas.pixel(bigValue.rect.left + px(3), top + px(heightDip) / 2);
}

} // namespace ovra::test
