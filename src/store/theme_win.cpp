#include "store/theme.h"

#include "sources/registry.h"

namespace ovra {

bool systemUsesDarkTheme() {
    uint32_t lightApps = 1;
    const bool read = regReadDword(
        HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
        L"AppsUseLightTheme", lightApps, false);
    return read && lightApps == 0;
}

} // namespace ovra
