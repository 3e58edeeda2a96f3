#include "app/dialogs.h"

#include <commdlg.h>

#include "sources/system_library.h"

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
    // comdlg32 brings the printing stack with it (winspool and, under Wine, CUPS
    // with its network libraries): loaded at the first export, not at every start,
    // and kept for the life of the process.
    static const auto getSaveFileName = systemFunction<decltype(&GetSaveFileNameW)>(
        loadSystemLibrary(L"comdlg32.dll"), "GetSaveFileNameW");
    if (!getSaveFileName || !getSaveFileName(&dialog)) return false;
    chosen = path;
    return true;
}

} // namespace ovra
