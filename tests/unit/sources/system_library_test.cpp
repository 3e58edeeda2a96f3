// System DLLs loaded at run time come from the system folder, never from the
// program's own folder, where the test build plants a fake powrprof.dll.
#include <gtest/gtest.h>

#include <cwctype>
#include <string>

#include "sources/system_library.h"

using namespace ovra;

namespace {

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::wstring folderOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring modulePath(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

} // namespace

TEST(Library, PlantedPowrprofBesideTheProgramIsIgnored) {
    const std::wstring planted = folderOf(modulePath(nullptr)) + L"\\powrprof.dll";
    ASSERT_NE(GetFileAttributesW(planted.c_str()), INVALID_FILE_ATTRIBUTES)
        << "the test build must plant powrprof.dll beside the test program";

    HMODULE module = loadSystemLibrary(L"powrprof.dll");
    ASSERT_NE(module, nullptr);
    wchar_t systemFolder[MAX_PATH] = {};
    GetSystemDirectoryW(systemFolder, MAX_PATH);
    EXPECT_EQ(lower(folderOf(modulePath(module))), lower(systemFolder));
    EXPECT_EQ(GetProcAddress(module, "ovraPlantedLibraryMarker"), nullptr)
        << "the planted library was loaded";
    FreeLibrary(module);
}

TEST(Library, MissingLibraryOrExportGivesNull) {
    EXPECT_EQ(loadSystemLibrary(L"ovra-no-such-library.dll"), nullptr);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    using Fn = DWORD(WINAPI*)();
    EXPECT_EQ(systemFunction<Fn>(kernel, "OvraNoSuchExport"), nullptr);
    EXPECT_EQ(systemFunction<Fn>(nullptr, "GetTickCount"), nullptr);
    ASSERT_NE(systemFunction<Fn>(kernel, "GetTickCount"), nullptr);
}
