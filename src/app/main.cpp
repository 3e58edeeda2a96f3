// The Windows entry point; everything else lives in the library.
#include <windows.h>

#include "app/entry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    return ovra::runProcess(instance, commandLine);
}
