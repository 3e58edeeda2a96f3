#pragma once
// The recovery file "pemulihan_performa.ini": the power settings in force before
// this program first changed them, in section "asli". It exists exactly while a
// change by the program may be in force. Read and written only through the
// Windows profile functions.
#include <cstdint>
#include <string>

namespace ovra {

inline constexpr wchar_t recoveryFileName[] = L"pemulihan_performa.ini";

// Whether the recovery file at `path` exists (any file attributes count).
bool recoveryFileExists(const std::wstring& path);

// The text of `key` (at most 63 characters), empty when absent.
std::wstring recoveryReadText(const std::wstring& path, const std::wstring& key);
// The whole number of `key`, `fallback` when absent. Negative numbers keep their sign.
int32_t recoveryReadNumber(const std::wstring& path, const std::wstring& key, int32_t fallback);
// False when Windows reports the write as failed.
bool recoveryWriteText(const std::wstring& path, const std::wstring& key,
                       const std::wstring& value);
bool recoveryDelete(const std::wstring& path);

} // namespace ovra
