#pragma once

namespace velmora {

class Game;

// The game's whole running order: the logo demo, one check of the stored record, then forever
// the title screen and one complete play. It never returns normally: it leaves by ProgramEnded
// when the player closes the game, or by FatalError.
[[noreturn]] void Main(Game& game);

} // namespace velmora
