#include "perf/recovery_file.h"

#include <windows.h>

namespace ovra {

namespace {

constexpr wchar_t section[] = L"asli";

} // namespace

bool recoveryFileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring recoveryReadText(const std::wstring& path, const std::wstring& key) {
    wchar_t buffer[64] = {};
    GetPrivateProfileStringW(section, key.c_str(), L"", buffer, 64, path.c_str());
    return buffer;
}

int32_t recoveryReadNumber(const std::wstring& path, const std::wstring& key, int32_t fallback) {
    // The profile function answers an unsigned number; "-5" comes back as its
    // two's complement, so the cast restores the sign.
    return static_cast<int32_t>(
        GetPrivateProfileIntW(section, key.c_str(), fallback, path.c_str()));
}

bool recoveryWriteText(const std::wstring& path, const std::wstring& key,
                       const std::wstring& value) {
    return WritePrivateProfileStringW(section, key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool recoveryDelete(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != FALSE;
}

} // namespace ovra
