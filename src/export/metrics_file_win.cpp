#include "export/metrics_file.h"

#include <windows.h>

#include "sources/format.h"
#include "sources/handle.h"

namespace ovra {

bool writeMetricsFile(const std::wstring& folder, const std::wstring& name, const std::string& text,
                      std::wstring& error) {
    std::wstring target = folder;
    if (!target.empty() && target.back() != L'\\' && target.back() != L'/') target += L'\\';
    target += name;
    // The collector reads only names ending in ".prom": it never sees this one.
    const std::wstring temporary = target + L".tmp";
    bool written = false;
    {
        KernelHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = windowsErrorText(GetLastError());
            return false;
        }
        DWORD done = 0;
        written =
            WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
            done == text.size();
        if (!written) error = windowsErrorText(GetLastError());
    }
    if (written && MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    if (written) error = windowsErrorText(GetLastError());
    DeleteFileW(temporary.c_str());
    return false;
}

} // namespace ovra
