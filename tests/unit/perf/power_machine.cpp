#include "power_machine.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "perf/guid.h"

namespace ovra::test {

FakePower::FakePower(const std::string& machine, const wchar_t* variant) {
    set(machine);
    SetEnvironmentVariableW(L"OVRA_FAKE_POWER", statePath.c_str());
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    libraryPath = program;
    libraryPath.resize(libraryPath.find_last_of(L'\\'));
    libraryPath += std::wstring(L"\\fakes\\fake_powrprof_") + variant + L".dll";
    bindPowerApi(api, LoadLibraryW(libraryPath.c_str()));
}

FakePower::~FakePower() {
    SetEnvironmentVariableW(L"OVRA_FAKE_POWER", nullptr);
}

std::string FakePower::state() const {
    std::ifstream in(statePath.c_str(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string lines = text.str();
    std::erase(lines, '\r');
    return lines;
}

Guid guidOf(const std::string& text) {
    Guid guid;
    guidFromText(std::wstring(text.begin(), text.end()), guid);
    return guid;
}

} // namespace ovra::test
