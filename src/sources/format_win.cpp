#include "sources/format.h"

#include <windows.h>

namespace ovra {

std::wstring windowsErrorText(uint32_t code) {
    std::wstring systemText;
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (message) {
        if (length > 0) systemText.assign(message, length);
        LocalFree(message);
    }
    return windowsErrorTextFrom(code, systemText);
}

} // namespace ovra
