#include "store/autostart.h"

namespace ovra {

std::wstring autostartCommand(const std::wstring& exePath) {
    // Quoted so that Windows starts a path with blanks as one program.
    return L"\"" + exePath + L"\" --minimized";
}

} // namespace ovra
