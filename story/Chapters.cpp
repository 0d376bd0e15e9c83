#include "story/Chapters.h"

#include "ui/Game.h"
#include "record/ClearRecord.h"
#include "story/Script.h"
#include "story/Selection.h"

namespace velmora {

void OpeningChapter(Game& game)
{
    RunChapter(game, LoadChapter(QStringLiteral("opening.txt")));
}

void RoadToTeaHouse(Game& game)
{
    RunChapter(game, LoadChapter(QStringLiteral("road.txt")));
}

QString EndingScript(std::int16_t heroine)
{
    return QStringLiteral("ending%1.txt").arg(heroine);
}

void TeaHouseEnding(Game& game)
{
    // The record is read once, when the heroine is chosen; it is written after her closing line.
    const std::int16_t record = ReadClearRecord(game.services.settings);
    const std::int16_t chosen = ChooseHeroine(game.state.Affection, record);
    game.Trace(QStringLiteral("heroine %1").arg(chosen));
    RunChapter(game, LoadChapter(EndingScript(chosen)));
    // A store that cannot be written loses this ending, but never the game.
    RecordEnding(game.services.settings, chosen);
}

} // namespace velmora
