#pragma once
// Indonesian display texts for numbers, sizes, durations and Windows error codes:
// decimal comma, full stop between thousands, units after one blank.
#include <cstdint>
#include <string>

namespace ovra {

// printf-style formatting ("%ls" takes a wide string). An invalid format, or a text
// of 2047 characters or more, gives the empty string.
std::wstring formatText(const wchar_t* format, ...);

// Removes white space (iswspace) from both ends.
std::wstring trimText(const std::wstring& text);

// Fixed point with a decimal comma and no grouping; "-" for NaN and infinities.
std::wstring formatNumber(double value, int decimals);
// "1.234.567"
std::wstring formatInteger(uint64_t n);
// One decimal below 10, none from 10 on: "5,3%", "56%".
std::wstring formatPercent(double percent);
// 1024-based: "512 B", "1,50 KB", "121 KB", "2048 TB".
std::wstring formatBytes(double bytes);
// formatBytes followed by "/s".
std::wstring formatRate(double bytesPerSecond);
// "800 MHz", "2,40 GHz".
std::wstring formatFrequency(double mhz);
// "59 menit", "1 jam 1 menit"; seconds past the last whole minute are dropped.
std::wstring formatDuration(uint32_t seconds);

// The system's message for a Windows error code followed by " (0x%08lX)".
std::wstring windowsErrorText(uint32_t code);
// The same from the message already fetched; systemText is empty when Windows has
// none, and the text becomes "Kode galat <code>".
std::wstring windowsErrorTextFrom(uint32_t code, const std::wstring& systemText);

} // namespace ovra
