#pragma once

namespace velmora {

// Starts the game program on the desktop and runs it until the player closes it. Returns the
// process's exit status: 0 when the player closed the game, 1 after a fatal error, 2 when there
// is no display to show it on or no data folder to play from.
int RunGame(int argc, char** argv);

} // namespace velmora
