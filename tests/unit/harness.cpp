#include "harness.h"

#include <windows.h>

#include <fstream>

namespace ovra::test {

TempFolder::TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned made = 0;
    path = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++made);
    CreateDirectoryW(path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(file(found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path.c_str());
}

void writeTextFile(const std::wstring& path, const std::string& text) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << text;
}

namespace {

bool overrideAsksForNativePdh() {
    wchar_t overrides[1024] = {};
    const DWORD length = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 1024);
    return length > 0 && length < 1024 &&
           std::wstring(overrides).find(L"pdh=n") != std::wstring::npos;
}

} // namespace

void SimulatedPc::SetUp() {
    if (!runningUnderWine()) GTEST_SKIP() << "the simulated PC exists only in a Wine prefix";
    if (!overrideAsksForNativePdh())
        GTEST_SKIP() << "needs WINEDLLOVERRIDES=pdh=n (the ctest entry unit.simulated)";
    // The same module the program binds: the system folder's pdh.dll.
    const HMODULE pdh = LoadLibraryExW(L"pdh.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const bool simulated = pdh && GetProcAddress(pdh, "ovraSimulatedPc") != nullptr;
    if (pdh) FreeLibrary(pdh);
    ASSERT_TRUE(simulated) << "pdh=n is set, but the prefix's system32\\pdh.dll is not the "
                              "simulated PC's: build the target simulated_pc_install";

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static unsigned made = 0;
    statePath_ = std::wstring(temp) + L"ovra-simulated-pc-" +
                 std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made) + L".txt";
    writeTextFile(statePath_, "");
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", statePath_.c_str());
}

void SimulatedPc::TearDown() {
    if (statePath_.empty()) return;
    SetEnvironmentVariableW(L"OVRA_PDH_STATE", nullptr);
    DeleteFileW(statePath_.c_str());
}

void SimulatedPc::setMachine(const std::string& lines) {
    writeTextFile(statePath_, lines);
}

} // namespace ovra::test
