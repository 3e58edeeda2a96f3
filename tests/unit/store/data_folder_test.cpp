// The real data folder of the Wine prefix. Files other programs keep there stay.
// On a real Windows PC it is the user's own folder, so nothing here runs there.
#include "store/data_folder.h"

#include <gtest/gtest.h>

#include "harness.h"

#include <windows.h>

#include <string>

namespace ovra {
namespace {

bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(DataFolder, IsOvraMonitorUnderTheUsersFolderWithSingleSeparators) {
    OVRA_SKIP_UNLESS_WINE();
    const std::wstring folder = dataFolder();
    const std::wstring suffix = L"\\OvraMonitor";
    ASSERT_GT(folder.size(), suffix.size());
    EXPECT_EQ(folder.substr(folder.size() - suffix.size()), suffix);
    EXPECT_EQ(folder.find(L"\\\\"), std::wstring::npos);
    EXPECT_EQ(folder.find(L':'), 1u) << "a full path with a drive";
    EXPECT_TRUE(isFolder(folder));
    EXPECT_EQ(dataFilePath(L"settings.ini"), folder + L"\\settings.ini");
}

TEST(DataFolder, IsCreatedAgainAfterBeingRemoved) {
    OVRA_SKIP_UNLESS_WINE();
    const std::wstring folder = dataFolder();
    // Set aside whatever is there, so that the files other tests keep survive.
    const std::wstring aside = folder + L".aside-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(MoveFileW(folder.c_str(), aside.c_str()));
    EXPECT_FALSE(isFolder(folder));

    EXPECT_EQ(dataFolder(), folder);
    EXPECT_TRUE(isFolder(folder));

    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    EXPECT_TRUE(MoveFileW(aside.c_str(), folder.c_str()));
}

} // namespace
} // namespace ovra
