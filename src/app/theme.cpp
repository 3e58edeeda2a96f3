#include "app/app.h"
#include "sources/system_library.h"
#include "store/theme.h"

namespace ovra {

void applyTheme(App& app) {
    const bool dark =
        themeIsDark(app.settings.theme, app.settings.theme == 2 && systemUsesDarkTheme());
    app.view.palette = windowsPalette(dark);

    // The title bar follows through the immersive dark-mode attribute: 20 on
    // current Windows, 19 on Windows 10 builds before 20H1.
    if (HMODULE dwm = loadSystemLibrary(L"dwmapi.dll")) {
        using SetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
        if (auto setAttribute = systemFunction<SetAttributeFn>(dwm, "DwmSetWindowAttribute")) {
            const BOOL value = dark ? TRUE : FALSE;
            if (FAILED(setAttribute(app.window, 20, &value, sizeof(value))))
                setAttribute(app.window, 19, &value, sizeof(value));
        }
        FreeLibrary(dwm);
    }
    if (app.window) InvalidateRect(app.window, nullptr, FALSE);
}

} // namespace ovra
