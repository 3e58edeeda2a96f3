// The Run value in Wine's real registry; the value found before each test is put back.
// On a real Windows PC it is the user's own start-up entry, so nothing here runs there.
#include "store/autostart.h"

#include <gtest/gtest.h>

#include "harness.h"

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
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName, type, data, size),
        ERROR_SUCCESS);
}

class AutostartRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        OVRA_SKIP_UNLESS_WINE();
        before = readRunValue();
    }
    void TearDown() override {
        if (IsSkipped()) return;
        if (before.present)
            putRunValue(before.type, before.data.data(), static_cast<DWORD>(before.data.size()));
        else
            RegDeleteKeyValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName);
    }
    RunValue before;
};

TEST_F(AutostartRegistry, EnablingRegistersTheRunningProgramAndDisablingRemovesIt) {
    std::wstring error;
    ASSERT_TRUE(setAutostart(true, error)) << error.c_str();
    EXPECT_TRUE(isAutostartEnabled());
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const RunValue written = readRunValue();
    EXPECT_EQ(written.type, static_cast<DWORD>(REG_SZ));
    // The stored bytes include the terminating zero.
    EXPECT_EQ(runValueText(written), L"\"" + std::wstring(exe) + L"\" --minimized" + L'\0');

    ASSERT_TRUE(setAutostart(false, error)) << error.c_str();
    EXPECT_FALSE(isAutostartEnabled());
    EXPECT_FALSE(readRunValue().present);
    // Disabling again, with the value already gone, succeeds quietly.
    EXPECT_TRUE(setAutostart(false, error));
    EXPECT_TRUE(error.empty());
}

TEST_F(AutostartRegistry, EmptyValueReadsAsOffAndAPathWithBlanksStaysQuoted) {
    putRunValue(REG_SZ, L"", sizeof(wchar_t));
    EXPECT_FALSE(isAutostartEnabled());

    const std::wstring exe = L"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe";
    std::wstring error;
    ASSERT_TRUE(setAutostart(true, exe, error)) << error.c_str();
    EXPECT_TRUE(isAutostartEnabled());
    EXPECT_EQ(runValueText(readRunValue()),
              L"\"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe\" --minimized" +
                  std::wstring(1, L'\0'));
}

} // namespace
} // namespace ovra
