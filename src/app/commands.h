#pragma once
// Carrying out the commands the pages record (ids in app/app.h) when the
// button is released over them.
#include <cstdint>

#include "app/dialogs.h"

namespace ovra {

struct App;

// Carries out a command, then repaints; unknown ids and arguments out of range
// change nothing.
void executeCommand(App& app, int32_t command, int32_t argument);

// What the history export asks the save dialog for.
SaveFileRequest exportFileRequest();

} // namespace ovra
