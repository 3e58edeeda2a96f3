// settings.ini against real profile files in a fresh temporary folder.
#include "store/settings.h"
#include "store/settings_fields.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace ovra {
namespace {

// A folder of its own under the temporary folder, removed with its files afterwards.
// The profile functions need a full path, never a bare file name.
class SettingsFile : public ::testing::Test {
protected:
    // A folder of the test's own under the temporary folder (Wine's or Windows'),
    // never the user's data folder.
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        folder = std::wstring(temp) + L"ovra-settings-" + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        path = folder + L"\\settings.ini";
    }

    void TearDown() override {
        DeleteFileW(path.c_str());
        EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    }

    void writeFile(const std::string& text) {
        std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
        out << text;
    }

    std::string readFile() {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // The file's lines without their CRLF; a final line break adds no empty line.
    std::vector<std::string> readLines() {
        const std::string text = readFile();
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find("\r\n", start);
            if (end == std::string::npos) end = text.size();
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    Settings loadFrom(const std::string& text) {
        writeFile(text);
        Settings settings;
        loadSettings(settings, path);
        return settings;
    }

    std::wstring folder;
    std::wstring path;
};

std::string narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text)
        out += static_cast<char>(c);
    return out;
}

size_t fieldIndex(const std::wstring& key) {
    const auto& fields = settingFields();
    for (size_t index = 0; index < fields.size(); ++index)
        if (fields[index].key == key) return index;
    ADD_FAILURE() << "no field for key";
    return 0;
}

void expectSameValues(const Settings& actual, const Settings& expected) {
    for (size_t index = 0; index < settingFieldCount; ++index)
        EXPECT_EQ(settingValue(actual, index), settingValue(expected, index))
            << narrow(settingFields()[index].key);
}

TEST_F(SettingsFile, MissingFileOrKeyKeepsTheCurrentValues) {
    Settings settings;
    loadSettings(settings, folder + L"\\no such folder\\settings.ini");
    expectSameValues(settings, Settings{});

    settings = loadFrom("[umum]\r\ntema=1\r\n");
    EXPECT_EQ(settings.theme, 1);
    EXPECT_EQ(settings.safetyLimit, 85);
    // The value already in the record is the fallback, not the built-in default.
    settings.safetyLimit = 70;
    loadSettings(settings, path);
    EXPECT_EQ(settings.safetyLimit, 70);
}

TEST_F(SettingsFile, ValuesOutsideTheirRangeAreClampedAndOthersKeptUnsnapped) {
    struct Case {
        const char* line;
        const wchar_t* key;
        int32_t expected;
    };
    const Case cases[] = {
        {"tema=7", L"tema", 2},
        {"interval_cepat_ms=1500", L"interval_cepat_ms", 1500},
        {"rentang_riwayat_menit=100", L"rentang_riwayat_menit", 60},
        {"rentang_riwayat_menit=30", L"rentang_riwayat_menit", 30},
        {"peringatan1_ambang=99", L"peringatan1_ambang", 98},
        {"peringatan3_ambang=7", L"peringatan3_ambang", 7},
    };
    for (const Case& c : cases) {
        const Settings settings = loadFrom(std::string("[umum]\r\n") + c.line + "\r\n");
        EXPECT_EQ(settingValue(settings, fieldIndex(c.key)), c.expected) << c.line;
    }
}

TEST_F(SettingsFile, FlagsAreTrueAboveZeroAndWrittenBackAsOne) {
    Settings settings = loadFrom("[umum]\r\nriwayat_disimpan=2\r\nnotifikasi=-3\r\n"
                                 "peringatan4_aktif=0\r\n");
    EXPECT_TRUE(settings.saveHistory);
    EXPECT_FALSE(settings.notifications);
    EXPECT_FALSE(settings.alertEnabled[4]);

    // Keys already in the file are rewritten where they stand.
    saveSettings(settings, path);
    const std::vector<std::string> lines = readLines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1], "riwayat_disimpan=1");
    EXPECT_EQ(lines[2], "notifikasi=0");
    EXPECT_EQ(lines[3], "peringatan4_aktif=0");
}

TEST_F(SettingsFile, TextThatIsNoNumberReadsAsZeroThenClamps) {
    const Settings settings =
        loadFrom("[umum]\r\ntema=abc\r\ninterval_cepat_ms=abc\r\nnotifikasi=ya\r\n");
    EXPECT_EQ(settings.theme, 0);
    EXPECT_EQ(settings.fastIntervalMs, 1000);
    EXPECT_FALSE(settings.notifications);
}

TEST_F(SettingsFile, KeysAndSectionsAddedByHandSurviveASave) {
    writeFile("[umum]\r\ntema=0\r\ncatatan=punya saya\r\n[lain]\r\nwarna=biru\r\n");
    Settings settings;
    settings.theme = 1;
    saveSettings(settings, path);

    wchar_t text[64] = {};
    GetPrivateProfileStringW(L"umum", L"catatan", L"", text, 64, path.c_str());
    EXPECT_STREQ(text, L"punya saya");
    GetPrivateProfileStringW(L"lain", L"warna", L"", text, 64, path.c_str());
    EXPECT_STREQ(text, L"biru");

    // The existing key is replaced in place, not added a second time.
    const std::vector<std::string> lines = readLines();
    size_t themeLines = 0;
    for (const std::string& line : lines)
        if (line.rfind("tema=", 0) == 0) ++themeLines;
    EXPECT_EQ(themeLines, 1u);
    EXPECT_EQ(lines.at(1), "tema=1");
}

TEST_F(SettingsFile, EveryFieldRoundTripsAtItsMinimumAndMaximum) {
    for (bool atMaximum : {false, true}) {
        Settings saved;
        for (size_t index = 0; index < settingFieldCount; ++index) {
            const SettingField& field = settingFields()[index];
            setSettingValue(saved, index, atMaximum ? field.maximum : field.minimum);
        }
        saveSettings(saved, path);

        // Start from the opposite end so that a key that is not read shows up.
        Settings loaded;
        for (size_t index = 0; index < settingFieldCount; ++index) {
            const SettingField& field = settingFields()[index];
            setSettingValue(loaded, index, atMaximum ? field.minimum : field.maximum);
        }
        loadSettings(loaded, path);
        expectSameValues(loaded, saved);
    }
}

TEST_F(SettingsFile, EveryFieldClampsJustOutsideItsRange) {
    std::string below = "[umum]\r\n", above = "[umum]\r\n";
    for (const SettingField& field : settingFields()) {
        const std::string key = narrow(field.key);
        below += key + "=" + std::to_string(field.minimum - 1) + "\r\n";
        above += key + "=" + std::to_string(field.maximum + 1) + "\r\n";
    }
    const Settings low = loadFrom(below);
    const Settings high = loadFrom(above);
    for (size_t index = 0; index < settingFieldCount; ++index) {
        EXPECT_EQ(settingValue(low, index), settingFields()[index].minimum) << index;
        EXPECT_EQ(settingValue(high, index), settingFields()[index].maximum) << index;
    }
}

} // namespace
} // namespace ovra
