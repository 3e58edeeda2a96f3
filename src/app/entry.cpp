#include "app/entry.h"

#include <cwchar>
#include <memory>

#include "app/app.h"

namespace ovra {

namespace {

// A second start brings the running window forward instead of opening another.
void handOverToRunningInstance() {
    HWND running = FindWindowW(mainWindowClass, nullptr);
    if (!running) return; // the first instance is starting or ending
    ShowWindow(running, IsIconic(running) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(running);
}

} // namespace

bool hasMinimizedFlag(const wchar_t* commandLine) {
    return commandLine && std::wcsstr(commandLine, L"--minimized") != nullptr;
}

int runProcess(HINSTANCE instance, const wchar_t* commandLine) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, singleInstanceMutex);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        handOverToRunningInstance();
        CloseHandle(mutex);
        return 0;
    }
    // Without a mutex the program still runs, only unprotected against a second copy.

    const bool startMinimized = hasMinimizedFlag(commandLine);
    int result;
    {
        // On the heap: the App is large, and it must be gone before the mutex is.
        auto app = std::make_unique<App>();
        result = runApp(*app, instance, startMinimized);
    }
    if (mutex) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
    }
    return result;
}

} // namespace ovra
