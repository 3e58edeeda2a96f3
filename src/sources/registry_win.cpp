#include "sources/registry.h"

#include <algorithm>
#include <vector>

#include "sources/format.h"

namespace ovra {

std::wstring regReadString(HKEY root, const wchar_t* subkey, const wchar_t* valueName,
                           bool view64) {
    // RRF_RT_REG_SZ alone also accepts REG_EXPAND_SZ: such a value is expanded and then
    // counts as REG_SZ. Adding RRF_RT_REG_EXPAND_SZ without RRF_NOEXPAND is refused as
    // an invalid parameter by Wine and by Windows before 8, which would empty every read.
    const DWORD flags = RRF_RT_REG_SZ | (view64 ? RRF_SUBKEY_WOW6464KEY : 0);
    DWORD size = 0;
    if (RegGetValueW(root, subkey, valueName, flags, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size == 0)
        return {};
    // One spare, zeroed character, and the search for the end stays inside the
    // buffer: a stored string need not end in NUL.
    std::vector<wchar_t> buffer(size / 2 + 1, L'\0');
    DWORD bufferSize = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(root, subkey, valueName, flags, nullptr, buffer.data(), &bufferSize) !=
        ERROR_SUCCESS)
        return {};
    const auto end = std::find(buffer.begin(), buffer.end(), L'\0');
    return trimText(std::wstring(buffer.begin(), end));
}

bool regReadDword(HKEY root, const wchar_t* subkey, const wchar_t* valueName, uint32_t& out,
                  bool view64) {
    const DWORD flags = RRF_RT_REG_DWORD | (view64 ? RRF_SUBKEY_WOW6464KEY : 0);
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, subkey, valueName, flags, nullptr, &value, &size) != ERROR_SUCCESS)
        return false;
    out = value;
    return true;
}

} // namespace ovra
