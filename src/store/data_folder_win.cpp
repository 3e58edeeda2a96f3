#include "store/data_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace ovra {

std::wstring dataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        GetTempPathW(MAX_PATH, buffer);
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    folder += L"\\OvraMonitor";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring dataFilePath(const wchar_t* name) { return dataFolder() + L"\\" + name; }

} // namespace ovra
