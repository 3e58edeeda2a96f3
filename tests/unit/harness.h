#pragma once
// What unit tests share: knowing whether they run under Wine, folders of their
// own, and the simulated PC (tests/fixtures/fake_pdh.cpp, whose top comment
// describes the state file).
#include <gtest/gtest.h>

#include <string>

#include "support/wine.h"

namespace ovra::test {

// Skips the test on a real Windows PC: for tests that change per-user state
// (the data folder, the registry, the theme) that only a Wine prefix may lose.
#define OVRA_SKIP_UNLESS_WINE()                                                                    \
    do {                                                                                           \
        if (!::ovra::test::runningUnderWine())                                                     \
            GTEST_SKIP() << "changes per-user state, so it runs only in a Wine prefix";            \
    } while (false)

// A fresh folder under the temporary folder, removed with its files afterwards.
struct TempFolder {
    explicit TempFolder(const wchar_t* name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::wstring file(const wchar_t* name) const { return path + L"\\" + name; }
    std::wstring path;
};

void writeTextFile(const std::wstring& path, const std::string& text);

// Base of the suites whose name starts with "Simulated": the ctest entry
// "unit.simulated" runs them in a process that loads the stand-in pdh.dll
// (WINEDLLOVERRIDES pdh=n). Each test has a state file of its own, named by
// OVRA_PDH_STATE and empty until setMachine. Elsewhere they are skipped: on
// Windows, and under Wine without the override.
class SimulatedPc : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the whole machine with these state-file lines; the next counter
    // collection sees them.
    void setMachine(const std::string& lines);

private:
    std::wstring statePath_;
};

} // namespace ovra::test
