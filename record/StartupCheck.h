#pragma once

namespace velmora {

class Game;

// Checks the stored record once at start; a value the game cannot have written is deleted
// after two messages.
void CheckClearRecord(Game& game);

} // namespace velmora
