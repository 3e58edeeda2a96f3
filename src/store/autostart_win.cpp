#include "store/autostart.h"

#include <windows.h>

#include <vector>

#include "sources/format.h"
#include "sources/handle.h"
#include "sources/registry.h"

namespace ovra {

namespace {

struct KeyTraits {
    using Handle = HKEY;
    static Handle none() { return nullptr; }
    static bool valid(Handle key) { return key != nullptr; }
    static void close(Handle key) { RegCloseKey(key); }
};
using KeyHandle = UniqueHandle<KeyTraits>;

// The full path of the running executable. The buffer grows past MAX_PATH, as a
// truncated path would register a program that does not exist.
bool executablePath(std::wstring& path, DWORD& errorCode) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            errorCode = GetLastError();
            return false;
        }
        if (length < buffer.size()) {
            path.assign(buffer.data(), length);
            return true;
        }
        if (buffer.size() >= 32768) {
            errorCode = ERROR_INSUFFICIENT_BUFFER;
            return false;
        }
        buffer.resize(buffer.size() * 2);
    }
}

bool failWith(LSTATUS code, std::wstring& error) {
    error = windowsErrorText(static_cast<uint32_t>(code));
    return false;
}

bool writeRunValue(const std::wstring& exePath, std::wstring& error) {
    // Created when missing: a profile without a Run key must still be able to enable.
    KeyHandle run;
    const LSTATUS opened = RegCreateKeyExW(HKEY_CURRENT_USER, autostartRunKey, 0, nullptr, 0,
                                           KEY_SET_VALUE, nullptr, run.receive(), nullptr);
    if (opened != ERROR_SUCCESS) return failWith(opened, error);
    const std::wstring data = autostartCommand(exePath);
    const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    const LSTATUS written = RegSetValueExW(run.get(), autostartValueName, 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(data.c_str()), bytes);
    if (written != ERROR_SUCCESS) return failWith(written, error);
    return true;
}

bool deleteRunValue(std::wstring& error) {
    KeyHandle run;
    const LSTATUS opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, autostartRunKey, 0, KEY_SET_VALUE, run.receive());
    // No Run key means no value: already disabled.
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return failWith(opened, error);
    const LSTATUS deleted = RegDeleteValueW(run.get(), autostartValueName);
    if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND)
        return failWith(deleted, error);
    return true;
}

} // namespace

bool isAutostartEnabled() {
    return !regReadString(HKEY_CURRENT_USER, autostartRunKey, autostartValueName, false).empty();
}

bool setAutostart(bool enable, const std::wstring& exePath, std::wstring& error) {
    return enable ? writeRunValue(exePath, error) : deleteRunValue(error);
}

bool setAutostart(bool enable, std::wstring& error) {
    if (!enable) return deleteRunValue(error);
    std::wstring exePath;
    DWORD code = ERROR_SUCCESS;
    if (!executablePath(exePath, code)) return failWith(static_cast<LSTATUS>(code), error);
    return writeRunValue(exePath, error);
}

} // namespace ovra
