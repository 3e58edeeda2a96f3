#include "app/copy.h"

#include <algorithm>
#include <cstring>

#include "app/app.h"
#include "app/popup_menu.h"
#include "app/window.h"
#include "ui/gdi.h"

namespace ovra {

std::vector<TextLine> pageTextLines(App& app) {
    RECT client{};
    if (app.window) GetClientRect(app.window, &client);
    const MemoryDc dc(nullptr);
    if (!dc.get()) return {};
    // A frame as tall as the page shows all of it, from its top; the window's
    // own view (scroll, regions, hover, tip) is put back after it.
    View& view = app.view;
    const View kept = view;
    view.recordTextRuns = true;
    view.mouse = POINT{-10000, -10000};
    drawFrame(app, dc.get(), std::max(int(client.right), 1),
              std::max(int(client.bottom), view.contentHeights[static_cast<size_t>(view.page)]));
    std::vector<TextRun> runs = std::move(view.textRuns);
    view = kept;

    const int sidebar = scaled(sidebarWidth, view.dpi);
    std::erase_if(runs, [&](const TextRun& run) { return run.rect.left < sidebar; });
    return textLines(runs);
}

void copyPage(App& app) {
    setClipboardText(app.window, joinLines(pageTextLines(app)));
}

void onPageContextMenu(App& app, POINT client) {
    if (client.x < scaled(sidebarWidth, app.view.dpi)) return;
    const std::vector<TextLine> lines = pageTextLines(app);
    const int offset = app.view.scrollOffsets[static_cast<size_t>(app.view.page)];
    const int line = lineAt(lines, POINT{client.x, client.y + offset});
    if (line < 0) return;
    POINT screen = client;
    ClientToScreen(app.window, &screen);
    const UINT chosen = popupMenu(app, {{1, L"Salin"}}, screen);
    if (chosen == 1) setClipboardText(app.window, lines[static_cast<size_t>(line)].text);
}

bool setClipboardText(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            // The clipboard owns the memory once it takes it.
            placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed) GlobalFree(memory);
    }
    CloseClipboard();
    return placed;
}

} // namespace ovra
