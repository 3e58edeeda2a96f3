#pragma once
// Whether the tests run under Wine, where the prefix is a sandbox, or on a real
// Windows PC, where per-user folders, registry values and the theme are the
// user's own.
#include <windows.h>

namespace ovra::test {

// True under Wine (ntdll exports wine_get_version), false on a real Windows PC.
inline bool runningUnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace ovra::test
