#pragma once
// One measured value and, when it is missing, why.
#include <cstdint>
#include <string>

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

// A reading starts as "measuring" until its source's first update decides.
template <class T> struct Reading {
    bool ok = false;
    T value{};
    Limitation limitation = Limitation::Measuring;
    std::wstring reason;
};

template <class T> void setReading(Reading<T>& reading, T value) {
    reading.ok = true;
    reading.value = value;
    reading.limitation = Limitation::None;
    reading.reason.clear();
}

// An unavailable reading always carries the value 0 (false for a status).
template <class T>
void setUnavailable(Reading<T>& reading, Limitation limitation, std::wstring reason) {
    reading.ok = false;
    reading.value = T{};
    reading.limitation = limitation;
    reading.reason = std::move(reason);
}

// The Indonesian label of a limitation category ("API Windows" ...); empty for
// None and for values outside the enumeration.
std::wstring limitationLabel(Limitation limitation);

} // namespace ovra
