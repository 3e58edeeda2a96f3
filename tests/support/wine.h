#pragma once
// Under Wine the prefix is a sandbox; on a real Windows PC the per-user folders,
// registry values and theme are the user's own.
#include <windows.h>

namespace ovra::test {

inline bool runningUnderWine() { // ntdll exports wine_get_version
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace ovra::test
