#pragma once
// Registry readers that never fail loudly: a missing key or value reads as empty.
#include <cstdint>
#include <string>
#include <windows.h>

namespace ovra {

// A REG_SZ or REG_EXPAND_SZ value (expanded), cut at its first NUL and trimmed;
// empty on any failure. view64 reads the 64-bit view of the registry.
std::wstring regReadString(HKEY root, const wchar_t* subkey, const wchar_t* valueName, bool view64);

// A REG_DWORD value; out is left untouched when the value cannot be read.
bool regReadDword(HKEY root, const wchar_t* subkey, const wchar_t* valueName, uint32_t& out,
                  bool view64);

} // namespace ovra
