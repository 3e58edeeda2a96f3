// The controls the program does not offer, and the locked-multiplier note.
#include <gtest/gtest.h>

#include "perf/unsupported.h"

using namespace ovra;

namespace {

const std::wstring lockedNote = L" memiliki pengali yang dikunci pabrik.";

size_t occurrences(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(UnsupportedControls, BothAreUnsupportedWithTheirReasons) {
    const Reading<bool> fan = fanControlInfo();
    EXPECT_FALSE(fan.ok);
    EXPECT_EQ(fan.limitation, Limitation::Unsupported);
    EXPECT_EQ(fan.reason().rfind(L"Tidak ada antarmuka kontrol kipas resmi", 0), 0u);
    EXPECT_NE(fan.reason().find(L"tidak mengakses embedded controller"), std::wstring::npos);

    const Reading<bool> overclock = overclockInfo(L"AMD Ryzen 5 5600X 6-Core Processor");
    EXPECT_FALSE(overclock.ok);
    EXPECT_EQ(overclock.limitation, Limitation::Unsupported);
    EXPECT_EQ(overclock.reason(),
              L"Windows tidak menyediakan antarmuka resmi untuk overclock. Overclock memerlukan "
              L"pengubahan BIOS/firmware, voltase, atau register prosesor, yang sengaja tidak "
              L"dilakukan Ovra Monitor.");
    EXPECT_EQ(overclockInfo(L"").reason(), overclock.reason());
}

TEST(UnsupportedControls, LockedMultiplierNoteIsCaseSensitiveAndSaidOnce) {
    const std::wstring name = L"Intel(R) Pentium(R) Silver N5000 (Atom) CPU @ 1.10GHz";
    const std::wstring reason = overclockInfo(name).reason();
    EXPECT_EQ(occurrences(reason, lockedNote), 1u);
    EXPECT_NE(reason.find(L" Selain itu, prosesor " + name + lockedNote), std::wstring::npos);
    EXPECT_EQ(occurrences(overclockInfo(L"Intel(R) Celeron(R) N4020").reason(), lockedNote), 1u);
    EXPECT_EQ(occurrences(overclockInfo(L"intel celeron n4020").reason(), lockedNote), 0u);
}

} // namespace
