#pragma once
// Whole-string conversions between UTF-8 (the CSV files) and UTF-16 (text in memory).
#include <string>
#include <string_view>

namespace ovra {

// Empty input, input too long for Windows or a failed conversion give an empty result.
std::wstring utf8ToWide(std::string_view text);
std::string wideToUtf8(std::wstring_view text);

} // namespace ovra
