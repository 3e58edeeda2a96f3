#pragma once
// One measured value and, when it is missing, why.
#include <cstdint>
#include <string>
#include <utility>

namespace ovra {

// Why a value is missing. The numbers are fixed: they name the category shown
// next to every unavailable value.
enum class Limitation : uint32_t {
    None = 0,
    Measuring = 1,
    Sensor = 2,
    Firmware = 3,
    Driver = 4,
    WindowsApi = 5,
    Permission = 6,
    Hardware = 7,
    Setting = 8,
    Unsupported = 9,
};

// A reading starts as "measuring" until its source's first update decides. The
// reason is a fixed sentence (kept, never copied) followed by what changes from
// call to call, such as a Windows error text; pages read it through reason().
template <class T> struct Reading {
    bool ok = false;
    T value{};
    Limitation limitation = Limitation::Measuring;
    const wchar_t* sentence = L"";
    std::wstring detail;
    std::wstring reason() const { return sentence + detail; }
};

template <class T> void setReading(Reading<T>& reading, T value) {
    reading.ok = true;
    reading.value = value;
    reading.limitation = Limitation::None;
    reading.sentence = L"";
    reading.detail.clear();
}

// An unavailable reading always carries the value 0 (false for a status). The
// sentence must outlive the reading: a literal or another static text.
template <class T>
void setUnavailable(Reading<T>& reading, Limitation limitation, const wchar_t* sentence,
                    std::wstring detail = {}) {
    reading.ok = false;
    reading.value = T{};
    reading.limitation = limitation;
    reading.sentence = sentence;
    reading.detail = std::move(detail);
}

// A reason built at run time.
template <class T>
void setUnavailable(Reading<T>& reading, Limitation limitation, std::wstring reason) {
    setUnavailable(reading, limitation, L"", std::move(reason));
}

// Unavailable for the same reason as `cause`.
template <class T, class U> void setUnavailableAs(Reading<T>& reading, const Reading<U>& cause) {
    setUnavailable(reading, cause.limitation, cause.sentence, cause.detail);
}

// The Indonesian label of a limitation category ("API Windows" ...); empty for
// None and for values outside the enumeration.
std::wstring limitationLabel(Limitation limitation);

} // namespace ovra
