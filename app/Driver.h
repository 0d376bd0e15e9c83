#pragma once

#include <functional>

namespace velmora {

class Game;

// The stretches of the game the driver runs, in its order. The game runs the real ones; a test
// of the driver's own order can hand in stand-ins.
struct PlayParts {
    std::function<void(Game&)> CheckClearRecord;
    std::function<void(Game&)> OpeningChapter;
    std::function<void(Game&)> PlayQuiz;
    std::function<void(Game&)> RoadToTeaHouse;
    std::function<void(Game&)> TeaHouseEnding;
    std::function<void(Game&)> PlayStaffRoll;
};

PlayParts TheGame();

// The game's whole running order: the logo demo, one check of the stored record, then forever
// the title screen and one complete play. It never returns normally: it leaves by ProgramEnded
// when the player closes the game, or by FatalError.
[[noreturn]] void Main(Game& game, const PlayParts& parts = TheGame());

} // namespace velmora
