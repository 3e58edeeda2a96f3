#pragma once
// A simulated PC's power plans behind the stand-in powrprof.dll
// (tests/fixtures/fake_power_library.cpp, whose top comment describes the state
// lines), bound through the program's own binding.
#include <string>

#include "harness.h"
#include "perf/guid.h"
#include "perf/power_api.h"

namespace ovra::test {

inline const std::string balancedId = "{381B4222-F694-41F0-9685-FF5BB260DF2E}";
inline const std::string highId = "{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}";
inline const std::string saverId = "{A1841308-3541-4FAB-BC81-F71556F20B4A}";

// Balanced active; Balanced and High performance at 100 %, the power saver at
// 70 % on mains and 60 % on battery; Windows allows 0 to 100 % in steps of 1.
inline const std::string threePlans =
    "active " + balancedId + "\nrange 0 100 1\nplan " + balancedId + " 100 100 Seimbang\nplan " +
    highId + " 100 100 Performa tinggi\nplan " + saverId + " 70 60 Penghemat daya\n";

struct FakePower {
    // `variant`: "full", "no_increment" or "no_set_active".
    explicit FakePower(const std::string& machine = threePlans, const wchar_t* variant = L"full");
    ~FakePower();
    void set(const std::string& machine) const { writeTextFile(statePath, machine); }
    // The machine as the library left it.
    std::string state() const;
    bool has(const std::string& text) const { return state().find(text) != std::string::npos; }

    TempFolder folder{L"ovra-power"};
    std::wstring statePath = folder.file(L"machine.txt");
    std::wstring libraryPath;
    PowerApi api;
};

Guid guidOf(const std::string& text);

} // namespace ovra::test
