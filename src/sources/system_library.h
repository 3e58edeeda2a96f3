#pragma once
#include <windows.h>

namespace ovra {

// Loads a Windows DLL from the system folder only. A DLL of the same name placed
// beside the program (a Downloads folder, say) is never considered. Returns null
// when the library is missing; the caller frees what it loads.
HMODULE loadSystemLibrary(const wchar_t* name);

// Looks up an export and casts it to the exact type declared by the caller; null
// when the module or the export is missing.
template <class Function> Function systemFunction(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace ovra
