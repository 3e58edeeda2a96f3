#include "perf/guid.h"

#include <cwchar>

#include "sources/format.h"

namespace ovra {

bool operator==(const Guid& a, const Guid& b) {
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i]) return false;
    return true;
}

std::wstring guidToText(const Guid& g) {
    return formatText(L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      static_cast<unsigned long>(g.data1), unsigned(g.data2), unsigned(g.data3),
                      unsigned(g.data4[0]), unsigned(g.data4[1]), unsigned(g.data4[2]),
                      unsigned(g.data4[3]), unsigned(g.data4[4]), unsigned(g.data4[5]),
                      unsigned(g.data4[6]), unsigned(g.data4[7]));
}

bool guidFromText(const std::wstring& text, Guid& guid) {
    unsigned long first = 0;
    unsigned second = 0, third = 0;
    unsigned bytes[8] = {};
    const int fields = std::swscanf(text.c_str(), L"{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}",
                                    &first, &second, &third, &bytes[0], &bytes[1], &bytes[2],
                                    &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7]);
    if (fields != 11) return false;
    guid.data1 = static_cast<uint32_t>(first);
    guid.data2 = static_cast<uint16_t>(second);
    guid.data3 = static_cast<uint16_t>(third);
    for (int i = 0; i < 8; ++i)
        guid.data4[i] = static_cast<uint8_t>(bytes[i]);
    return true;
}

} // namespace ovra
