// What the built OvraMonitor.exe carries: its imports and its resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <set>
#include <string>

#include "driver.h"

using namespace e2e;

namespace {

// The program image mapped without running or resolving anything.
struct MappedProgram {
    HMODULE module = LoadLibraryExW(programPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ~MappedProgram() {
        if (module) FreeLibrary(module);
    }
    const unsigned char* base() const { return reinterpret_cast<const unsigned char*>(module); }
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::set<std::string> importedDlls(const MappedProgram& program) {
    std::set<std::string> names;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(program.base());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(program.base() + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    const auto* entry =
        reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(program.base() + directory.VirtualAddress);
    for (; entry->Name != 0; ++entry)
        names.insert(lower(reinterpret_cast<const char*>(program.base() + entry->Name)));
    return names;
}

std::string resourceText(HMODULE module, const wchar_t* type, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return {};
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

} // namespace

TEST(Program, ImportsOnlyWindowsOwnProtectedLibraries) {
    MappedProgram program;
    ASSERT_NE(program.module, nullptr);
    // Libraries Windows always takes from the system folder (KnownDLLs). Anything
    // else imported at load time could be planted beside the program; those are
    // loaded at run time from the system folder instead.
    const std::set<std::string> known = {"advapi32.dll", "comdlg32.dll", "gdi32.dll",
                                         "kernel32.dll", "msvcrt.dll",   "ole32.dll",
                                         "setupapi.dll", "shell32.dll",  "user32.dll"};
    const std::set<std::string> imports = importedDlls(program);
    EXPECT_TRUE(imports.count("kernel32.dll"));
    for (const std::string& dll : imports)
        EXPECT_TRUE(known.count(dll)) << dll << " is imported at load time";
}

TEST(Program, CarriesIconVersionAndManifest) {
    MappedProgram program;
    ASSERT_NE(program.module, nullptr);

    // Icon group 1 holds the 16, 24, 32, 48 and 256 pixel images (256 is stored as 0).
    const std::string group = resourceText(program.module, RT_GROUP_ICON, 1);
    ASSERT_GE(group.size(), 6u);
    const unsigned count =
        static_cast<unsigned char>(group[4]) | (static_cast<unsigned char>(group[5]) << 8);
    std::set<int> sizes;
    for (unsigned i = 0; i < count && 6 + i * 14 < group.size(); ++i) {
        const int width = static_cast<unsigned char>(group[6 + i * 14]);
        sizes.insert(width == 0 ? 256 : width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));

    const std::string manifest = resourceText(program.module, MAKEINTRESOURCEW(24), 1);
    EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("true/pm"), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(programPath().c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(programPath().c_str(), 0, size, block.data()));
    auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\042104B0\\") + name;
        if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
            return std::wstring();
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"ProductName"), L"Ovra Monitor");
    EXPECT_EQ(value(L"ProductVersion"), L"1.0.0");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
}
