#include "sources/format.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace ovra {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double tebibyte = 1024.0 * 1024.0 * 1024.0 * 1024.0;

// Every number the user reads: decimal comma, full stop between thousands,
// 1024-based units chosen before rounding, and the rounding edges of each.
TEST(Format, NumbersSizesAndDurationsInIndonesian) {
    const struct {
        std::wstring text, expected;
    } cases[] = {
        // clang-format off
        {formatNumber(3.14159, 2), L"3,14"},         {formatNumber(-0.04, 1), L"-0,0"},
        {formatNumber(1234567.26, 1), L"1234567,3"}, {formatNumber(nan, 1), L"-"},
        {formatInteger(999), L"999"},                {formatInteger(1000), L"1.000"},
        {formatInteger(18446744073709551615ULL), L"18.446.744.073.709.551.615"},
        {formatPercent(5.26), L"5,3%"},              {formatPercent(9.96), L"10,0%"},
        {formatPercent(10), L"10%"},                 {formatPercent(55.7), L"56%"},
        {formatBytes(1023.6), L"1024 B"},            {formatBytes(1024), L"1,00 KB"},
        {formatBytes(10240), L"10,0 KB"},            {formatBytes(123456), L"121 KB"},
        {formatBytes(1048575), L"1024 KB"},          {formatBytes(5767168), L"5,50 MB"},
        {formatBytes(17179869184.0), L"16,0 GB"},    {formatBytes(2048 * tebibyte), L"2048 TB"},
        {formatBytes(-1536.4), L"-1536 B"},          {formatBytes(nan), L"- B"},
        {formatFrequency(999.6), L"1000 MHz"},       {formatFrequency(2400), L"2,40 GHz"},
        {formatDuration(3599), L"59 menit"},         {formatDuration(3660), L"1 jam 1 menit"},
        {formatDuration(4294967295u), L"1193046 jam 28 menit"}, {formatRate(1536), L"1,50 KB/s"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

// The conversions an old C runtime gets wrong, and the output limit.
TEST(Format, TextConversionsAndLimits) {
    EXPECT_EQ(formatText(L"[%ls]%d|%lu", L"45 °C", -42, 4294967295UL), L"[45 °C]-42|4294967295");
    EXPECT_EQ(formatText(L"%llu|%zu", 18446744073709551615ULL, size_t{1} << 40),
              L"18446744073709551615|1099511627776");
    EXPECT_EQ(formatText(L"%*d", 2046, 7).size(), 2046u);
    EXPECT_EQ(formatText(L"%*d", 2047, 7), L"");
    EXPECT_EQ(trimText(L" \t Akses  ditolak.\r\n"), L"Akses  ditolak.");
    EXPECT_EQ(windowsErrorTextFrom(5, L"Akses ditolak.\r\n"), L"Akses ditolak. (0x00000005)");
    EXPECT_EQ(windowsErrorTextFrom(0xC0000005u, L""), L"Kode galat 3221225477 (0xC0000005)");
    EXPECT_EQ(windowsErrorText(0x2AAAAAAAu), L"Kode galat 715827882 (0x2AAAAAAA)");
}

} // namespace
} // namespace ovra
