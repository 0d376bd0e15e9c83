#pragma once

namespace velmora {

class Game;

// The closing state of the game window and the timed staff roll; returns when the roll is over.
void PlayStaffRoll(Game& game);

// One tick of the staff-roll timer.
void StaffRollTick(Game& game);

} // namespace velmora
