// The Run value; the registry only under Wine, left absent as in a fresh prefix.
#include "store/autostart.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace ovra {

TEST(Autostart, TheRunValueStartsTheQuotedProgramMinimised) {
    const std::wstring exe = L"C:\\Program Files\\Ovra Monitor\\OvraMonitor.exe";
    EXPECT_EQ(autostartCommand(exe), L"\"" + exe + L"\" --minimized");
    OVRA_SKIP_UNLESS_WINE();
    std::wstring error;
    ASSERT_TRUE(setAutostart(true, exe, error));
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, autostartRunKey, autostartValueName, RRF_RT_REG_SZ, nullptr,
                 value, &size);
    EXPECT_EQ(value, autostartCommand(exe));
    EXPECT_TRUE(setAutostart(false, error) && !isAutostartEnabled() && setAutostart(false, error));
}

} // namespace ovra
