#pragma once
// The stand-in powrprof.dll (tests/fixtures/fake_power_library.cpp), bound for real.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "harness.h"
#include "perf/power_api.h"
#include "perf/recovery_file.h"

namespace ovra::test {

inline const std::string balancedId = "{381B4222-F694-41F0-9685-FF5BB260DF2E}",
                         highId = "{8C5E7FDA-E8BF-4A96-9A85-A6E23A8C635C}",
                         saverId = "{A1841308-3541-4FAB-BC81-F71556F20B4A}";
inline const std::string threePlans =
    "active " + balancedId + "\nrange 0 100 1\nplan " + balancedId + " 100 100 Seimbang\nplan " +
    highId + " 100 100 Performa tinggi\nplan " + saverId + " 70 60 Penghemat daya\n";

struct FakePower {
    explicit FakePower(const std::string& machine = threePlans, std::wstring variant = L"full") {
        set(machine);
        SetEnvironmentVariableW(L"OVRA_FAKE_POWER", statePath.c_str());
        wchar_t program[MAX_PATH] = {};
        library.assign(program, GetModuleFileNameW(nullptr, program, MAX_PATH));
        library.replace(library.rfind(L'\\'), std::wstring::npos, L"\\fakes\\fake_powrprof_");
        bindPowerApi(api, LoadLibraryW((library += variant + L".dll").c_str()));
    }
    void set(const std::string& machine) const { writeTextFile(statePath, machine); }
    void add(const std::string& line) const { set(state() + line + "\n"); }
    std::string state() const { // the machine as the library left it
        std::stringstream text;
        text << std::ifstream(statePath.c_str()).rdbuf();
        return text.str();
    }
    bool has(const std::string& text) const { return state().find(text) != std::string::npos; }
    bool recorded() const { return recoveryFileExists(recovery); }

    TempFolder folder{L"ovra-power"};
    std::wstring statePath = folder.file(L"machine.txt"), recovery = folder.file(recoveryFileName);
    std::wstring library;
    PowerApi api;
};

} // namespace ovra::test
