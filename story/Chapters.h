#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace velmora {

class Game;

// The story's three chapters, each returning when the player has read its last line.
void OpeningChapter(Game& game);
void RoadToTeaHouse(Game& game);
// Chooses the heroine from the points and the record, plays her ending and records it.
void TeaHouseEnding(Game& game);

// Marks the heroine's ending as seen, waiting for the store beside the event loop (it may wait
// for another running copy of the game), so the window never freezes. When the record cannot be
// written the player is told, on stderr and in a message box, and the game goes on. True when
// the record was written.
bool SaveEnding(Game& game, std::int16_t heroine);

// The script of a heroine's tea-house ending ("ending3.txt").
QString EndingScript(std::int16_t heroine);

// Every line the scripts show in the line box, as it shows them (a thought in its brackets): what
// the line box's font is made ready with before the story starts.
QStringList EveryLine();

} // namespace velmora
