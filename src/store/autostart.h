#pragma once
// Starting with Windows: the value "OvraMonitor" under the current user's Run key.
// Its presence is the only record of the choice.
#include <string>

namespace ovra {

inline constexpr wchar_t autostartRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t autostartValueName[] = L"OvraMonitor";

// The Run value's data: the quoted executable path, a blank, "--minimized".
std::wstring autostartCommand(const std::wstring& exePath);

// True when the Run value reads as a non-empty string.
bool isAutostartEnabled();

// Writes (for the running executable) or removes the Run value. On failure returns
// false with the Windows error text in `error`. Removing an absent value succeeds.
bool setAutostart(bool enable, std::wstring& error);

// The same with the executable path given, so a test can register any path.
bool setAutostart(bool enable, const std::wstring& exePath, std::wstring& error);

} // namespace ovra
