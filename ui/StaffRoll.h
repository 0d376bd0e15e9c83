#pragma once

#include <array>

namespace velmora {

class Game;

// The credited makers' handles, name lines A to E of the roll. They are copied from
// story/script/credits.txt, where the writers keep them; a test holds the two in step.
inline constexpr std::array<const char16_t*, 5> StaffNames = {
    u"たあねる太郎", u"森野こずえ", u"クイズ屋まるお", u"ぬるが7721", u"月橋カメラ",
};

// The closing state of the game window and the timed staff roll; returns when the roll is over.
void PlayStaffRoll(Game& game);

// One tick of the staff-roll timer.
void StaffRollTick(Game& game);

} // namespace velmora
