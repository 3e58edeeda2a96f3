#pragma once
// The performance-control commands with their dialogs: the gate's refusal, the
// consent to switch control on, the confirmation of a change and the question
// before the reset to the Windows default. The command dispatcher calls these.
#include <cstdint>
#include <string>

namespace ovra {

struct App;

// Command "switch performance control on or off".
void togglePerfControlCommand(App& app);
// Command "apply performance change" (ignored while control is off).
void applyPerfChangeCommand(App& app);
// Command "reset to Windows default".
void resetPerfCommand(App& app);

// The text of the confirmation dialog.
std::wstring perfConfirmationText(const std::wstring& planName, uint32_t percent,
                                  int32_t safetyLimit);

} // namespace ovra
