#include "store/data_folder.h"

#include <windows.h>
#include <shlobj.h>

namespace ovra {

std::wstring dataFolder() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
        // A failed call may leave part of a path behind; so may a temporary path
        // that does not fit.
        buffer[0] = L'\0';
        const DWORD length = GetTempPathW(MAX_PATH, buffer);
        if (length == 0 || length >= MAX_PATH) buffer[0] = L'\0';
    }
    std::wstring folder = buffer;
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    folder += L"\\OvraMonitor";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring dataFilePath(const wchar_t* name) {
    return dataFolder() + L"\\" + name;
}

} // namespace ovra
