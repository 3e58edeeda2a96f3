#include "sources/format.h"

#include <cmath>
#include <cstdarg>
#include <cwchar>
#include <cwctype>

namespace ovra {

namespace {

constexpr int textBufferChars = 2048;

std::wstring formatTextV(const wchar_t* format, va_list args) {
    if (!format) return {};
    wchar_t buffer[textBufferChars];
    // A conforming vswprintf answers a negative count when the text does not fit;
    // MinGW's answers the length it would have needed. Both end up empty here, and
    // so does a text that fills the buffer to its last character.
    const int length = std::vswprintf(buffer, textBufferChars, format, args);
    if (length < 0 || length >= textBufferChars - 1) return {};
    return std::wstring(buffer, static_cast<size_t>(length));
}

} // namespace

std::wstring formatText(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = formatTextV(format, args);
    va_end(args);
    return text;
}

std::wstring trimText(const std::wstring& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && std::iswspace(static_cast<wint_t>(text[begin])))
        ++begin;
    while (end > begin && std::iswspace(static_cast<wint_t>(text[end - 1])))
        --end;
    return text.substr(begin, end - begin);
}

std::wstring formatNumber(double value, int decimals) {
    if (!std::isfinite(value)) return L"-";
    std::wstring text = formatText(L"%.*f", decimals, value);
    for (wchar_t& c : text) {
        if (c == L'.') c = L',';
    }
    return text;
}

std::wstring formatInteger(uint64_t n) {
    const std::wstring digits = formatText(L"%llu", static_cast<unsigned long long>(n));
    std::wstring grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += L'.';
        grouped += digits[i];
    }
    return grouped;
}

std::wstring formatPercent(double percent) {
    return formatNumber(percent, percent < 10.0 ? 1 : 0) + L"%";
}

std::wstring formatBytes(double bytes) {
    if (bytes < 1024.0) return formatNumber(bytes, 0) + L" B";
    // The unit is chosen on the exact value, before rounding, so 1023.6 stays "1024 B"
    // and 1048575 bytes read "1024 KB". NaN takes no division and stays in B.
    static const wchar_t* const units[] = {L"B", L"KB", L"MB", L"GB", L"TB"};
    double scaled = bytes;
    int unit = 0;
    while (scaled >= 1024.0 && unit < 4) {
        scaled *= 1.0 / 1024.0;
        ++unit;
    }
    const int decimals = scaled < 10.0 ? 2 : (scaled < 100.0 ? 1 : 0);
    return formatNumber(scaled, decimals) + L" " + units[unit];
}

std::wstring formatRate(double bytesPerSecond) {
    return formatBytes(bytesPerSecond) + L"/s";
}

std::wstring formatFrequency(double mhz) {
    if (mhz >= 1000.0) return formatNumber(mhz / 1000.0, 2) + L" GHz";
    return formatNumber(mhz, 0) + L" MHz";
}

std::wstring formatDuration(uint32_t seconds) {
    const unsigned long minutes = (seconds % 3600) / 60;
    if (seconds < 3600) return formatText(L"%lu menit", minutes);
    return formatText(L"%lu jam %lu menit", static_cast<unsigned long>(seconds / 3600), minutes);
}

std::wstring windowsErrorTextFrom(uint32_t code, const std::wstring& systemText) {
    const std::wstring text = systemText.empty()
                                  ? formatText(L"Kode galat %lu", static_cast<unsigned long>(code))
                                  : systemText;
    return trimText(text) + formatText(L" (0x%08lX)", static_cast<unsigned long>(code));
}

} // namespace ovra
