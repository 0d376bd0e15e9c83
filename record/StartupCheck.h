#pragma once

namespace velmora {

class EventPump;
class SettingsStore;

// Checks the stored record once at start; a value the game cannot have written is deleted
// after two warnings, each shown in a message box that waits on `pump`.
void CheckClearRecord(SettingsStore& settings, EventPump& pump);

} // namespace velmora
