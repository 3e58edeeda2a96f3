// The Run value in Wine's real registry; the value found before each test is put back.
#include "store/autostart.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace ovra {
namespace {

struct RunValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

RunValue readRunValue() {
    RunValue value;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName,
                     RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    if (RegGetValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName,
                     RRF_RT_ANY | RRF_NOEXPAND, &value.type, value.data.data(),
                     &size) != ERROR_SUCCESS)
        return value;
    value.data.resize(size);
    value.present = true;
    return value;
}

std::wstring runValueText(const RunValue& value) {
    return std::wstring(reinterpret_cast<const wchar_t*>(value.data.data()),
                        value.data.size() / sizeof(wchar_t));
}

void putRunValue(DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName, type, data,
                              size),
              ERROR_SUCCESS);
}

class AutostartRegistry : public ::testing::Test {
protected:
    void SetUp() override { before = readRunValue(); }
    void TearDown() override {
        if (before.present)
            putRunValue(before.type, before.data.data(), static_cast<DWORD>(before.data.size()));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName);
    }
    RunValue before;
};

TEST(Autostart, CommandQuotesThePathAndAsksForAMinimizedStart) {
    EXPECT_EQ(autostartCommand(L"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe"),
              L"\"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe\" --minimized");
}

TEST_F(AutostartRegistry, EnablingRegistersTheRunningProgramAndDisablingRemovesIt) {
    std::wstring error;
    ASSERT_TRUE(setAutostart(true, error)) << error.c_str();
    EXPECT_TRUE(isAutostartEnabled());

    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const RunValue written = readRunValue();
    ASSERT_TRUE(written.present);
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
    // The stored bytes include the terminating zero.
    EXPECT_EQ(runValueText(written), L"\"" + std::wstring(exe) + L"\" --minimized" + L'\0');

    ASSERT_TRUE(setAutostart(false, error)) << error.c_str();
    EXPECT_FALSE(isAutostartEnabled());
    EXPECT_FALSE(readRunValue().present);
}

TEST_F(AutostartRegistry, DisablingWhenAlreadyAbsentSucceedsQuietly) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName);
    std::wstring error;
    EXPECT_TRUE(setAutostart(false, error));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(isAutostartEnabled());
}

TEST_F(AutostartRegistry, EmptyValueReadsAsOffAndEnablingReplacesIt) {
    putRunValue(REG_SZ, L"", sizeof(wchar_t));
    EXPECT_FALSE(isAutostartEnabled());

    std::wstring error;
    ASSERT_TRUE(setAutostart(true, error)) << error.c_str();
    EXPECT_TRUE(isAutostartEnabled());
    EXPECT_GT(readRunValue().data.size(), sizeof(wchar_t));
}

TEST_F(AutostartRegistry, PathWithBlanksStaysQuotedInTheRegistry) {
    const std::wstring exe = L"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe";
    std::wstring error;
    ASSERT_TRUE(setAutostart(true, exe, error)) << error.c_str();
    const RunValue written = readRunValue();
    const std::wstring expected = L"\"" + exe + L"\" --minimized";
    EXPECT_EQ(written.data.size(), (expected.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(runValueText(written), expected + L'\0');
    EXPECT_TRUE(isAutostartEnabled());
}

} // namespace
} // namespace ovra
