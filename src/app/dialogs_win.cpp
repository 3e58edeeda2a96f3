#include "app/dialogs.h"

#include <commdlg.h>

namespace ovra {

bool showSaveFileDialog(HWND owner, const SaveFileRequest& request, std::wstring& chosen) {
    wchar_t path[MAX_PATH] = {};
    request.initialName.copy(path, MAX_PATH - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = request.defaultExtension.c_str();
    dialog.Flags = request.flags;
    if (!GetSaveFileNameW(&dialog)) return false;
    chosen = path;
    return true;
}

} // namespace ovra
