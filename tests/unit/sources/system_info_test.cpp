#include "sources/registry.h"
#include "sources/system_info.h"
#include "sources/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace ovra {
namespace {

struct OsCase {
    const wchar_t* productName;
    uint32_t build;
    const wchar_t* displayVersion;
    const wchar_t* releaseId;
    int ubr; // -1: no UBR value
    const wchar_t* name;
    const wchar_t* version;
};

TEST(SystemInfoCore, NameAndVersionFromRegistryValues) {
    const OsCase cases[] = {
        // Windows 11 keeps the old edition name in the registry.
        {L"Windows 10 Pro", 22631, L"23H2", L"", 4037, L"Windows 11 Pro",
         L"versi 23H2, build 22631.4037"},
        {L"Windows 10 Home", 19045, L"", L"2009", -1, L"Windows 10 Home",
         L"versi 2009, build 19045"},
        {L"Windows 10 Home", 19045, L"22H2", L"2009", -1, L"Windows 10 Home",
         L"versi 22H2, build 19045"},
        {L"Windows 10 Pro", 21999, L"", L"", 0, L"Windows 10 Pro", L"build 21999.0"},
        {L"Windows 10 Pro", 22000, L"", L"", -1, L"Windows 11 Pro", L"build 22000"},
        // An unknown build (RtlGetVersion missing) leaves the name alone.
        {L"Windows 10 Pro", 0, L"", L"", -1, L"Windows 10 Pro", L"build 0"},
        {L"Windows Server 2022", 26100, L"", L"", -1, L"Windows Server 2022", L"build 26100"},
        {L"", 0, L"", L"", -1, L"Windows", L"build 0"},
    };
    for (const OsCase& c : cases) {
        SystemInfoRaw raw;
        raw.productName = c.productName;
        raw.build = c.build;
        raw.displayVersion = c.displayVersion;
        raw.releaseId = c.releaseId;
        raw.hasUbr = c.ubr >= 0;
        raw.ubr = c.ubr >= 0 ? static_cast<uint32_t>(c.ubr) : 0;
        raw.manufacturer = L"Contoso";
        const SystemInfo info = systemInfoFromRaw(raw);
        EXPECT_EQ(info.osName, c.name) << wideToUtf8(c.version);
        EXPECT_EQ(info.osVersion, c.version);
        EXPECT_EQ(info.manufacturer, L"Contoso");
        EXPECT_EQ(info.model, L"");
    }
}

// Runs against Wine's real registry under a key of its own, removed afterwards.
class SystemInfoRegistry : public ::testing::Test {
protected:
    static constexpr const wchar_t* keyPath = L"Software\\OvraMonitorTest";

    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, keyPath);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }

    void TearDown() override {
        if (key) RegCloseKey(key);
        EXPECT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, keyPath), ERROR_SUCCESS);
    }

    // Stores exactly the characters given, terminating NUL included only when asked.
    void setString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ,
                   bool withNul = true) {
        const size_t chars = text.size() + (withNul ? 1 : 0);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(chars * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }

    void setDword(const wchar_t* name, DWORD value) {
        ASSERT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value)),
                  ERROR_SUCCESS);
    }

    std::wstring readString(const wchar_t* name) {
        return regReadString(HKEY_CURRENT_USER, keyPath, name, true);
    }

    HKEY key = nullptr;
};

TEST_F(SystemInfoRegistry, StringsAreTrimmedExpandedAndEndAtTheFirstNul) {
    setString(L"SystemManufacturer", L"  Contoso Ltd.   ");
    setString(L"Folder", L"%SystemRoot%\\ovra", REG_EXPAND_SZ);
    setString(L"Embedded", std::wstring(L"abc\0def", 7));
    setString(L"Unterminated", L"xyz", REG_SZ, false);
    EXPECT_EQ(readString(L"SystemManufacturer"), L"Contoso Ltd.");
    EXPECT_EQ(regReadString(HKEY_CURRENT_USER, keyPath, L"SystemManufacturer", false),
              L"Contoso Ltd.");
    wchar_t expanded[MAX_PATH] = {};
    ASSERT_GT(ExpandEnvironmentStringsW(L"%SystemRoot%\\ovra", expanded, MAX_PATH), 0u);
    EXPECT_EQ(readString(L"Folder"), expanded);
    EXPECT_EQ(readString(L"Embedded"), L"abc");
    EXPECT_EQ(readString(L"Unterminated"), L"xyz");
}

TEST_F(SystemInfoRegistry, MissingEmptyOrMistypedValuesReadAsEmpty) {
    setString(L"Empty", L"", REG_SZ, false);
    setString(L"Blank", L"   ");
    setDword(L"UBR", 4037);
    setString(L"Text", L"4037");
    for (const wchar_t* name : {L"Empty", L"Blank", L"UBR", L"Absent"})
        EXPECT_EQ(readString(name), L"");
    EXPECT_EQ(regReadString(HKEY_CURRENT_USER, L"Software\\OvraMonitorTest\\Absent", L"x", true),
              L"");

    uint32_t value = 1;
    EXPECT_FALSE(regReadDword(HKEY_CURRENT_USER, keyPath, L"Text", value, true));
    EXPECT_FALSE(regReadDword(HKEY_CURRENT_USER, keyPath, L"Absent", value, true));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(regReadDword(HKEY_CURRENT_USER, keyPath, L"UBR", value, true));
    EXPECT_EQ(value, 4037u);
}

TEST(SystemInfoUtf8, TextSurvivesTheRoundTrip) {
    EXPECT_EQ(utf8ToWide("\xC2\xB0"
                         "C"),
              L"°C");
    EXPECT_EQ(wideToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
    const std::wstring text = L"Suhu 45 °C … ↓↑ \U0001F600";
    EXPECT_EQ(utf8ToWide(wideToUtf8(text)), text);
    EXPECT_EQ(utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(wideToUtf8(L""), "");
}

TEST(SystemInfoRead, WineReportsAWindowsVersionAndBuild) {
    SystemInfo info;
    systemInfoRead(info);
    EXPECT_FALSE(info.osName.empty());
    EXPECT_GT(info.build, 0u);
    EXPECT_NE(info.osVersion.find(L"build " + std::to_wstring(info.build)), std::wstring::npos)
        << info.osVersion;
    EXPECT_TRUE(info.is64Bit);
}

} // namespace
} // namespace ovra
