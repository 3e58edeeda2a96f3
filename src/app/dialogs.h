#pragma once
// The modal dialogs of the command layer, reached through the App so a test can
// answer them in place of a user.
#include <windows.h>

#include <string>

namespace ovra {

// What the save-file dialog is asked for.
struct SaveFileRequest {
    std::wstring filter; // pairs of description and pattern, each ending in '\0'
    std::wstring initialName;
    std::wstring defaultExtension;
    DWORD flags = 0;
};

// Shows the system save-file dialog; false when the user cancels.
bool showSaveFileDialog(HWND owner, const SaveFileRequest& request, std::wstring& chosen);

struct Dialogs {
    int(WINAPI* messageBox)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) = MessageBoxW;
    bool (*saveFile)(HWND owner, const SaveFileRequest& request,
                     std::wstring& chosen) = showSaveFileDialog;
};

} // namespace ovra
