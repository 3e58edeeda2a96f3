#include "harness.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace ovra::test {

namespace {

std::wstring freshTempPath(const wchar_t* name) {
    static unsigned made = 0;
    return (std::filesystem::temp_directory_path() / name).wstring() + L"-" +
           std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made);
}

} // namespace

TempFolder::TempFolder(const wchar_t* name) : path(freshTempPath(name)) {
    std::filesystem::create_directory(path);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void writeTextFile(const std::wstring& path, const std::string& text) {
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << text;
}

void SimulatedPc::SetUp() {
    wchar_t overrides[1024] = {};
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 1024);
    if (!runningUnderWine() || !wcsstr(overrides, L"pdh=n"))
        GTEST_SKIP() << "runs in Wine with WINEDLLOVERRIDES=pdh=n (the ctest entry unit.simulated)";
    statePath_ = freshTempPath(L"ovra-simulated-pc") + L".txt";
    writeTextFile(statePath_, "");
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", statePath_.c_str());
}

void SimulatedPc::TearDown() {
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", nullptr);
    DeleteFileW(statePath_.c_str());
}

} // namespace ovra::test
