#pragma once
#include <windows.h>

namespace ovra {

inline constexpr wchar_t singleInstanceMutex[] = L"Local\\OvraMonitor.SingleInstance";

// "--minimized" anywhere in the command line (case-sensitive, as autostart writes it).
bool hasMinimizedFlag(const wchar_t* commandLine);

// The whole process: single instance, the App, the message loop. Returns the
// process exit code.
int runProcess(HINSTANCE instance, const wchar_t* commandLine);

} // namespace ovra
