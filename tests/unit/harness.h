#pragma once
// What unit tests share: Wine or not, folders of their own, the simulated PC.
#include <gtest/gtest.h>

#include <string>

#include "support/wine.h"

namespace ovra::test {

#define OVRA_SKIP_UNLESS_WINE()                                                                    \
    if (!::ovra::test::runningUnderWine()) GTEST_SKIP() << "changes per-user state: Wine only"

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

// "Simulated…" suites run on tests/fixtures/fake_pdh.cpp (ctest unit.simulated).
class SimulatedPc : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void setMachine(const std::string& lines) { writeTextFile(statePath_, lines); }

private:
    std::wstring statePath_;
};

} // namespace ovra::test
