// What the built OvraMonitor.exe carries: its imports, manifest and version.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "driver.h"

using namespace e2e;

TEST(Program, ImportsOnlyProtectedLibrariesAndCarriesItsManifestAndVersion) {
    HMODULE module = LoadLibraryExW(programPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(module, nullptr);
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
        base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    // Libraries Windows always takes from the system folder (KnownDLLs); anything
    // else is loaded at run time from the system folder, never planted beside it.
    const std::set<std::string> known = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",
                                         "kernel32.dll", "msvcrt.dll",   "ole32.dll", "oleaut32.dll",
                                         "setupapi.dll", "shell32.dll",  "user32.dll"};
    for (; entry->Name != 0; ++entry) {
        std::string name = reinterpret_cast<const char*>(base + entry->Name);
        for (char& c : name)
            c = char(tolower(c));
        EXPECT_TRUE(known.count(name)) << name << " is imported at load time";
    }
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                               SizeofResource(module, found));
    for (const char* part : {"PerMonitorV2", "true/pm", "asInvoker", "Common-Controls"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), RT_GROUP_ICON), nullptr);
    FreeLibrary(module);

    DWORD ignored = 0;
    std::string block(GetFileVersionInfoSizeW(programPath().c_str(), &ignored), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(programPath().c_str(), 0, DWORD(block.size()), block.data()));
    wchar_t* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\StringFileInfo\\042104B0\\ProductVersion",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"1.0.0");
}
