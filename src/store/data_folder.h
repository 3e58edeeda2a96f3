#pragma once
// The per-user folder that holds every file of the program.
#include <string>

namespace ovra {

// "<roaming application data>\OvraMonitor" (the temporary folder when that is
// unavailable). Evaluated anew at every use; each call makes sure it exists.
std::wstring dataFolder();

// dataFolder() + "\" + name.
std::wstring dataFilePath(const wchar_t* name);

} // namespace ovra
