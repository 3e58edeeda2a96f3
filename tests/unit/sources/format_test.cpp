#include "sources/format.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <string>

namespace ovra {
namespace {

// The conversions the program relies on, each with a value that an old C runtime
// prints wrongly or not at all.
TEST(FormatText, ConversionsTakeWideArgumentsAndFullWidths) {
    EXPECT_EQ(formatText(L"[%ls]%lc", L"Suhu 45 °C", static_cast<wint_t>(L'…')), L"[Suhu 45 °C]…");
    EXPECT_EQ(formatText(L"%d|%lu", -42, 4294967295UL), L"-42|4294967295");
    EXPECT_EQ(formatText(L"%llu", 18446744073709551615ULL), L"18446744073709551615");
    EXPECT_EQ(formatText(L"%zu|%d", static_cast<size_t>(1) << 40, 8), L"1099511627776|8");
    EXPECT_EQ(formatText(L"%08lX", 0xBEEFUL), L"0000BEEF");
    EXPECT_EQ(formatText(L"%.*f", 0, 1023.6), L"1024");
    // Exact decimal expansion of the double nearest 0.1, beyond 17 significant digits.
    EXPECT_EQ(formatText(L"%.*f", 20, 0.1), L"0.10000000000000000555");
}

TEST(FormatText, TextOf2046CharactersIsKeptAnd2047IsDropped) {
    const std::wstring fits(2046, L'x');
    EXPECT_EQ(formatText(L"%ls", fits.c_str()), fits);
    EXPECT_EQ(formatText(L"%ls", std::wstring(2047, L'x').c_str()), L"");
    // The limit applies to the output, not to the length of any one argument.
    EXPECT_EQ(formatText(L"%*d", 2046, 7).size(), 2046u);
    EXPECT_EQ(formatText(L"%*d", 2047, 7), L"");
}

TEST(FormatText, TrimRemovesWhiteSpaceAtBothEndsOnly) {
    EXPECT_EQ(trimText(L" \t Akses  ditolak.\r\n"), L"Akses  ditolak.");
    EXPECT_EQ(trimText(L" \r\n\t "), L"");
}

TEST(FormatNumbers, NumbersUseADecimalCommaWithoutGrouping) {
    EXPECT_EQ(formatNumber(3.14159, 2), L"3,14");
    EXPECT_EQ(formatNumber(-0.04, 1), L"-0,0");
    EXPECT_EQ(formatNumber(1234567.26, 1), L"1234567,3");
    EXPECT_EQ(formatNumber(42.0, 0), L"42");
}

TEST(FormatNumbers, NonFiniteValuesNeverPrintAsNanOrInf) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(formatNumber(nan, 1), L"-");
    EXPECT_EQ(formatNumber(-inf, 2), L"-");
    for (const std::wstring& text : {formatBytes(nan), formatBytes(inf), formatRate(nan),
                                     formatFrequency(inf), formatPercent(nan)}) {
        EXPECT_EQ(text.find(L"nan"), std::wstring::npos) << text;
        EXPECT_EQ(text.find(L"inf"), std::wstring::npos) << text;
        EXPECT_EQ(text.substr(0, 1), L"-") << text;
    }
}

TEST(FormatNumbers, IntegersGroupThousandsWithFullStops) {
    EXPECT_EQ(formatInteger(999), L"999");
    EXPECT_EQ(formatInteger(1000), L"1.000");
    EXPECT_EQ(formatInteger(1234567), L"1.234.567");
    EXPECT_EQ(formatInteger(18446744073709551615ULL), L"18.446.744.073.709.551.615");
}

TEST(FormatNumbers, PercentKeepsOneDecimalOnlyBelowTen) {
    EXPECT_EQ(formatPercent(0), L"0,0%");
    EXPECT_EQ(formatPercent(5.26), L"5,3%");
    EXPECT_EQ(formatPercent(9.96), L"10,0%");
    EXPECT_EQ(formatPercent(10), L"10%");
    EXPECT_EQ(formatPercent(55.7), L"56%");
}

TEST(FormatBytes, UnitIsChosenBeforeRounding) {
    EXPECT_EQ(formatBytes(512), L"512 B");
    EXPECT_EQ(formatBytes(1023.6), L"1024 B");
    EXPECT_EQ(formatBytes(1024), L"1,00 KB");
    EXPECT_EQ(formatBytes(1536), L"1,50 KB");
    EXPECT_EQ(formatBytes(10240), L"10,0 KB");
    EXPECT_EQ(formatBytes(123456), L"121 KB");
    EXPECT_EQ(formatBytes(1048575), L"1024 KB");
    EXPECT_EQ(formatBytes(5767168), L"5,50 MB");
    EXPECT_EQ(formatBytes(17179869184.0), L"16,0 GB");
}

TEST(FormatBytes, TerabytesAreTheLargestUnitAndNegativesStayInBytes) {
    const double tebibyte = 1024.0 * 1024.0 * 1024.0 * 1024.0;
    EXPECT_EQ(formatBytes(3 * tebibyte), L"3,00 TB");
    EXPECT_EQ(formatBytes(2048 * tebibyte), L"2048 TB");
    EXPECT_EQ(formatBytes(-512), L"-512 B");
    EXPECT_EQ(formatBytes(-1536.4), L"-1536 B");
    EXPECT_EQ(formatBytes(-5767168), L"-5767168 B");
    EXPECT_EQ(formatRate(1536), L"1,50 KB/s");
    EXPECT_EQ(formatRate(0), L"0 B/s");
}

TEST(FormatFrequency, GigahertzFromAThousandMegahertz) {
    EXPECT_EQ(formatFrequency(800), L"800 MHz");
    EXPECT_EQ(formatFrequency(999.6), L"1000 MHz");
    EXPECT_EQ(formatFrequency(1000), L"1,00 GHz");
    EXPECT_EQ(formatFrequency(2400), L"2,40 GHz");
}

TEST(FormatDuration, HoursAndWholeMinutesInWords) {
    EXPECT_EQ(formatDuration(0), L"0 menit");
    EXPECT_EQ(formatDuration(59), L"0 menit");
    EXPECT_EQ(formatDuration(3599), L"59 menit");
    EXPECT_EQ(formatDuration(3600), L"1 jam 0 menit");
    EXPECT_EQ(formatDuration(3660), L"1 jam 1 menit");
    EXPECT_EQ(formatDuration(4294967295u), L"1193046 jam 28 menit");
}

TEST(FormatError, SystemTextIsTrimmedBeforeTheCodeOrTheDecimalCodeStandsIn) {
    EXPECT_EQ(windowsErrorTextFrom(5, L"Akses ditolak.\r\n"), L"Akses ditolak. (0x00000005)");
    EXPECT_EQ(windowsErrorTextFrom(0xC0000005u, L""), L"Kode galat 3221225477 (0xC0000005)");
    EXPECT_EQ(windowsErrorText(0x2AAAAAAAu), L"Kode galat 715827882 (0x2AAAAAAA)");

    // A known code carries Windows' own message, trimmed.
    const std::wstring text = windowsErrorText(5);
    const std::wstring suffix = L" (0x00000005)";
    ASSERT_GT(text.size(), suffix.size() + 1);
    EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
    const std::wstring message = text.substr(0, text.size() - suffix.size());
    EXPECT_EQ(message, trimText(message));
    EXPECT_NE(message, L"Kode galat 5");
}

} // namespace
} // namespace ovra
