#pragma once
// Every user action is a command: an id and one argument, recorded with a
// rectangle while painting and carried out when the button is released over it.
#include <cstdint>

#include "pages/dialogs.h"

namespace ovra {

struct App;

enum Command : int32_t {
    commandNavigate = 1,         // page index
    commandTheme = 2,            // 0 light, 1 dark, 2 follow Windows
    commandFastInterval = 3,     // choice 0..2
    commandSlowInterval = 4,     // choice 0..2
    commandProcessMode = 5,      // 0 off, 1 every 3 s, 2 every 10 s
    commandAutostart = 6,        // toggles
    commandSaveHistory = 7,      // toggles
    commandExportHistory = 8,    //
    commandClearHistory = 9,     //
    commandHistoryRange = 10,    // choice 0 (5 min), 1 (15 min), else 60 min
    commandNotifications = 11,   // toggles
    commandAlertEnabled = 12,    // alert kind
    commandProcessSort = 13,     // sort key
    commandSmartCheck = 14,      //
    commandPerfControl = 20,     // switches performance control on or off
    commandPerfPlan = 21,        // index into the plan list
    commandPerfPercent = 22,     // -1 or +1
    commandPerfApply = 23,       //
    commandPerfRestore = 24,     //
    commandPerfReset = 25,       //
    commandSafetyLimit = 26,     // -1 or +1
    commandOpenDataFolder = 27,  //
    commandAlertThreshold = 100, // + alert kind; argument -1 or +1
};

// Carries out a command, then repaints; unknown ids and arguments out of range
// change nothing.
void executeCommand(App& app, int32_t command, int32_t argument);

// What the history export asks the save dialog for.
SaveFileRequest exportFileRequest();

} // namespace ovra
