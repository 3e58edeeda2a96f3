#pragma once
// Findings: concrete problems of the machine as it is now, each with the numbers
// that triggered it and what the user can do. Rebuilt on every paint of the
// summary; nothing is stored or notified.
#include <cstdint>
#include <string>
#include <vector>
#include "health/alerts.h"

namespace ovra {

// Higher is more serious; the summary colours any other value as good.
enum class FindingSeverity : int32_t { Warning = 1, Critical = 2 };

struct Finding {
    FindingSeverity severity = FindingSeverity::Warning;
    std::wstring title; // one line
    std::wstring body;  // a paragraph
};

// Shown when the list is empty.
inline constexpr wchar_t noFindingsText[] =
    L"Tidak ada temuan yang perlu ditindaklanjuti saat ini.";
inline constexpr wchar_t findingsCheckedText[] =
    L"Yang diperiksa: pemakaian RAM, memori virtual, ruang disk, status SMART (bila terbaca), "
    L"kesehatan baterai (bila dilaporkan firmware), CPU sibuk berkepanjangan, dan suhu (bila ada "
    L"sensor resmi).";

// Every finding, the most serious first; equally serious ones keep the order of
// the checks (RAM, commit, disks, SMART, battery, CPU, temperature). The alert
// thresholds for RAM, disk and temperature apply even to alerts switched off.
std::vector<Finding> evaluateFindings(const Settings& settings, const HealthInputs& inputs,
                                      bool cpuSustained);

} // namespace ovra
