// The settings file a user finds after running the program once.
#include <gtest/gtest.h>

#include "driver.h"

using namespace e2e;

TEST(Settings, FirstRunWritesEveryKeyOnClose) {
    removeDataFolder();
    {
        Program program;
        HWND window = program.waitForWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(dataFolderFiles().empty()) << "nothing is saved before the window closes";
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.waitForExit(), 0u);
    }
    const std::string expected = "[umum]\r\n"
                                 "tema=2\r\n"
                                 "interval_cepat_ms=2000\r\n"
                                 "interval_lambat_ms=10000\r\n"
                                 "mode_proses=1\r\n"
                                 "riwayat_disimpan=0\r\n"
                                 "notifikasi=1\r\n"
                                 "rentang_riwayat_menit=15\r\n"
                                 "peringatan0_aktif=1\r\n"
                                 "peringatan0_ambang=90\r\n"
                                 "peringatan1_aktif=1\r\n"
                                 "peringatan1_ambang=85\r\n"
                                 "peringatan2_aktif=1\r\n"
                                 "peringatan2_ambang=10\r\n"
                                 "peringatan3_aktif=1\r\n"
                                 "peringatan3_ambang=15\r\n"
                                 "peringatan4_aktif=1\r\n"
                                 "peringatan4_ambang=85\r\n"
                                 "suhu_pengaman=85\r\n";
    EXPECT_EQ(readFile(dataFolder() + L"\\settings.ini"), expected);
}

TEST(Settings, HandEditedValuesAreClampedAndWrittenBack) {
    removeDataFolder();
    CreateDirectoryW(dataFolder().c_str(), nullptr);
    const std::wstring path = dataFolder() + L"\\settings.ini";
    WritePrivateProfileStringW(L"umum", L"tema", L"7", path.c_str());
    WritePrivateProfileStringW(L"umum", L"riwayat_disimpan", L"2", path.c_str());
    WritePrivateProfileStringW(L"umum", L"peringatan1_ambang", L"99", path.c_str());
    WritePrivateProfileStringW(L"umum", L"catatan_saya", L"tetap", path.c_str());
    {
        Program program;
        HWND window = program.waitForWindow();
        ASSERT_NE(window, nullptr);
        PostMessageW(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(program.waitForExit(), 0u);
    }
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"tema", -5, path.c_str()), 2);
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"riwayat_disimpan", -5, path.c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"peringatan1_ambang", -5, path.c_str()), 98);
    EXPECT_EQ(GetPrivateProfileIntW(L"umum", L"suhu_pengaman", -5, path.c_str()), 85);
    wchar_t kept[32] = {};
    GetPrivateProfileStringW(L"umum", L"catatan_saya", L"", kept, 32, path.c_str());
    EXPECT_STREQ(kept, L"tetap") << "a key the user added survives the save";
}
