// Draws pages with the program's own frame into pictures, for what Wine's window
// cannot show: a high-contrast theme (Wine refuses SPI_SETHIGHCONTRAST), next to
// 150 % text and the keyboard's focus ring.
//   paint.exe <output folder> [pages, default 19]
// writes "<variant>-<n>.bmp" for each page digit (1 is the summary, 9 the settings) of a
// window-less program that measured once (Wine's own values). Exit code 0 when
// every picture was saved.
#include <windows.h>

#include <string>

#include "app/app.h"
#include "app/window.h"
#include "ui/gdi.h"

using namespace ovra;

namespace {

bool saveBitmap(HDC dc, HBITMAP bitmap, int width, int height, const std::wstring& path) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::string pixels(size_t(width) * size_t(height) * 4, '\0');
    if (!GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS)) return false;
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof(header) + sizeof(info.bmiHeader);
    header.bfSize = header.bfOffBits + DWORD(pixels.size());
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool written = WriteFile(file, &header, sizeof(header), &done, nullptr) &&
                         WriteFile(file, &info.bmiHeader, sizeof(info.bmiHeader), &done, nullptr) &&
                         WriteFile(file, pixels.data(), DWORD(pixels.size()), &done, nullptr);
    CloseHandle(file);
    return written;
}

constexpr Colour rgb(int r, int g, int b) {
    return RGB(r, g, b);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    const std::wstring out = argv[1];
    const std::wstring pages = argc > 2 ? argv[2] : L"19";
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"ovra-paint";
    CreateDirectoryW(folder.c_str(), nullptr);
    App app(folder);
    startMeasuring(app);

    // Windows' "High Contrast Black" and "High Contrast White" themes.
    const SystemColours black{rgb(0, 0, 0),       rgb(255, 255, 255), rgb(26, 235, 255), rgb(0, 0, 0),
                              rgb(255, 255, 0),   rgb(63, 242, 63),   rgb(0, 0, 0)};
    const SystemColours white{rgb(255, 255, 255), rgb(0, 0, 0),       rgb(55, 0, 110), rgb(255, 255, 255),
                              rgb(0, 0, 159),     rgb(96, 0, 0),      rgb(255, 255, 255)};
    const struct {
        const wchar_t* name;
        Palette palette;
        int textScale;
        bool focus;
    } variants[] = {{L"high-contrast-black", highContrastPalette(black), 100, false},
                    {L"high-contrast-white", highContrastPalette(white), 100, false},
                    {L"text-150", buildPalette(false), 150, false},
                    {L"focus-ring", buildPalette(false), 100, true}};
    const int width = 1060, height = 1400;
    HDC screen = GetDC(nullptr);
    const MemoryDc dc(screen);
    const GdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
    ReleaseDC(nullptr, screen);
    int failed = 0;
    for (const auto& variant : variants) {
        app.view.palette = variant.palette;
        app.view.fonts.textScale = variant.textScale;
        createFonts(app.view.fonts, app.view.dpi);
        for (const wchar_t digit : pages) {
            app.view.page = digit - L'1';
            AccessState& access = app.view.access;
            access = AccessState{};
            {
                Selection selected(dc.get(), bitmap.get());
                if (variant.focus) { // the page's third stop, as after F6 and two Tabs
                    access.describe = access.showFocus = true;
                    drawFrame(app, dc.get(), width, height);
                    access.focus = otherZone(access.elements, otherZone(access.elements, {}));
                    access.focus = nextStop(access.stops, nextStop(access.stops, access.focus, false), false);
                }
                drawFrame(app, dc.get(), width, height);
            }
            const std::wstring path = out + L"\\" + variant.name + L"-" + digit + L".bmp";
            failed += !saveBitmap(dc.get(), static_cast<HBITMAP>(bitmap.get()), width, height, path);
        }
    }
    deleteFonts(app.view.fonts);
    return failed ? 1 : 0;
}
