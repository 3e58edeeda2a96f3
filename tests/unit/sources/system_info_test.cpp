#include "sources/registry.h"
#include "sources/system_info.h"
#include "sources/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace ovra {
namespace {

SystemInfoRaw rawWindows(const wchar_t* productName, uint32_t build) {
    SystemInfoRaw raw;
    raw.productName = productName;
    raw.build = build;
    return raw;
}

TEST(SystemInfoCore, Windows11KeepsTheOldEditionNameInTheRegistry) {
    SystemInfoRaw raw = rawWindows(L"Windows 10 Pro", 22631);
    raw.displayVersion = L"23H2";
    raw.hasUbr = true;
    raw.ubr = 4037;
    const SystemInfo info = systemInfoFromRaw(raw);
    EXPECT_EQ(info.osName, L"Windows 11 Pro");
    EXPECT_EQ(info.osVersion, L"versi 23H2, build 22631.4037");
    EXPECT_EQ(info.build, 22631u);
    EXPECT_TRUE(info.is64Bit);
}

TEST(SystemInfoCore, ReleaseIdStandsInForAMissingDisplayVersion) {
    SystemInfoRaw raw = rawWindows(L"Windows 10 Home", 19045);
    raw.releaseId = L"2009";
    const SystemInfo info = systemInfoFromRaw(raw);
    EXPECT_EQ(info.osName, L"Windows 10 Home");
    EXPECT_EQ(info.osVersion, L"versi 2009, build 19045");

    raw.displayVersion = L"22H2";
    EXPECT_EQ(systemInfoFromRaw(raw).osVersion, L"versi 22H2, build 19045");
}

TEST(SystemInfoCore, WithoutVersionNamesOnlyTheBuildIsShown) {
    SystemInfoRaw raw = rawWindows(L"Windows 10 Pro", 19045);
    EXPECT_EQ(systemInfoFromRaw(raw).osVersion, L"build 19045");
    raw.hasUbr = true;
    raw.ubr = 0;
    EXPECT_EQ(systemInfoFromRaw(raw).osVersion, L"build 19045.0");
}

TEST(SystemInfoCore, EditionNameChangesOnlyFromBuild22000) {
    EXPECT_EQ(systemInfoFromRaw(rawWindows(L"Windows 10 Pro", 21999)).osName, L"Windows 10 Pro");
    EXPECT_EQ(systemInfoFromRaw(rawWindows(L"Windows 10 Pro", 22000)).osName, L"Windows 11 Pro");
    // An unknown build (RtlGetVersion missing) leaves the name alone.
    EXPECT_EQ(systemInfoFromRaw(rawWindows(L"Windows 10 Pro", 0)).osName, L"Windows 10 Pro");
    EXPECT_EQ(systemInfoFromRaw(rawWindows(L"Windows Server 2022", 26100)).osName,
              L"Windows Server 2022");
}

TEST(SystemInfoCore, MissingValuesGiveGenericNameAndEmptyMachine) {
    const SystemInfo info = systemInfoFromRaw(SystemInfoRaw{});
    EXPECT_EQ(info.osName, L"Windows");
    EXPECT_EQ(info.osVersion, L"build 0");
    EXPECT_EQ(info.manufacturer, L"");
    EXPECT_EQ(info.model, L"");

    SystemInfoRaw raw;
    raw.manufacturer = L"Contoso";
    raw.model = L"Laptop 7";
    EXPECT_EQ(systemInfoFromRaw(raw).manufacturer, L"Contoso");
    EXPECT_EQ(systemInfoFromRaw(raw).model, L"Laptop 7");
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
        HKEY gone = nullptr;
        EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &gone), ERROR_SUCCESS);
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

TEST_F(SystemInfoRegistry, StringsLoseTheirSurroundingBlanks) {
    setString(L"SystemManufacturer", L"  Contoso Ltd.   ");
    EXPECT_EQ(readString(L"SystemManufacturer"), L"Contoso Ltd.");
    EXPECT_EQ(regReadString(HKEY_CURRENT_USER, keyPath, L"SystemManufacturer", false),
              L"Contoso Ltd.");
}

TEST_F(SystemInfoRegistry, ExpandableStringsAreExpanded) {
    setString(L"Folder", L"%SystemRoot%\\ovra", REG_EXPAND_SZ);
    wchar_t expected[MAX_PATH] = {};
    ASSERT_GT(ExpandEnvironmentStringsW(L"%SystemRoot%\\ovra", expected, MAX_PATH), 0u);
    EXPECT_EQ(readString(L"Folder"), expected);
    EXPECT_EQ(readString(L"Folder").find(L'%'), std::wstring::npos);
}

TEST_F(SystemInfoRegistry, StringsEndAtTheFirstNulWhetherStoredOrNot) {
    setString(L"Embedded", std::wstring(L"abc\0def", 7));
    setString(L"Unterminated", L"xyz", REG_SZ, false);
    EXPECT_EQ(readString(L"Embedded"), L"abc");
    EXPECT_EQ(readString(L"Unterminated"), L"xyz");
}

TEST_F(SystemInfoRegistry, MissingEmptyOrMistypedStringsReadAsEmpty) {
    setString(L"Empty", L"", REG_SZ, false);
    setString(L"OnlyNul", L"");
    setString(L"Blank", L"   ");
    setDword(L"Number", 7);
    EXPECT_EQ(readString(L"Empty"), L"");
    EXPECT_EQ(readString(L"OnlyNul"), L"");
    EXPECT_EQ(readString(L"Blank"), L"");
    EXPECT_EQ(readString(L"Number"), L"");
    EXPECT_EQ(readString(L"Absent"), L"");
    EXPECT_EQ(regReadString(HKEY_CURRENT_USER, L"Software\\OvraMonitorTest\\Absent", L"x", true),
              L"");
}

TEST_F(SystemInfoRegistry, DwordIsReadOnlyFromADwordValue) {
    setDword(L"UBR", 4037);
    setString(L"Text", L"4037");
    uint32_t value = 1;
    EXPECT_TRUE(regReadDword(HKEY_CURRENT_USER, keyPath, L"UBR", value, true));
    EXPECT_EQ(value, 4037u);

    value = 1;
    EXPECT_FALSE(regReadDword(HKEY_CURRENT_USER, keyPath, L"Absent", value, true));
    EXPECT_FALSE(regReadDword(HKEY_CURRENT_USER, keyPath, L"Text", value, true));
    EXPECT_EQ(value, 1u);
}

TEST(SystemInfoUtf8, NonAsciiTextSurvivesTheRoundTrip) {
    EXPECT_EQ(utf8ToWide("\xC2\xB0" "C"), L"°C");
    EXPECT_EQ(wideToUtf8(L"…"), "\xE2\x80\xA6");
    const std::wstring text = L"Suhu 45 °C … ↓↑ \U0001F600";
    EXPECT_EQ(utf8ToWide(wideToUtf8(text)), text);
    EXPECT_EQ(wideToUtf8(L"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(SystemInfoUtf8, EmbeddedNulAndEmptyInput) {
    EXPECT_EQ(utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(utf8ToWide(""), L"");
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
