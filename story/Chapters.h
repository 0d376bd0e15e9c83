#pragma once

#include <QString>

#include <cstdint>

namespace velmora {

class Game;

// The story's three chapters, each returning when the player has read its last line.
void OpeningChapter(Game& game);
void RoadToTeaHouse(Game& game);
// Chooses the heroine from the points and the record, plays her ending and records it.
void TeaHouseEnding(Game& game);

// The script of a heroine's tea-house ending ("ending3.txt").
QString EndingScript(std::int16_t heroine);

} // namespace velmora
