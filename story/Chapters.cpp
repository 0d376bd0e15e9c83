#include "story/Chapters.h"

#include "core/MessageBox.h"
#include "ui/Game.h"
#include "record/ClearRecord.h"
#include "story/Script.h"
#include "story/Selection.h"
#include "ui/LineDisplay.h"

#include <cstdio>

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

QStringList EveryLine()
{
    QStringList scripts = {QStringLiteral("opening.txt"), QStringLiteral("quiz_intro.txt"), QStringLiteral("road.txt")};
    for (std::int16_t heroine = 1; heroine <= 7; ++heroine) {
        scripts << EndingScript(heroine);
    }
    QStringList lines;
    for (const QString& script : scripts) {
        for (const Step& step : LoadChapter(script).steps) {
            if (step.kind == Step::Kind::Line || step.kind == Step::Kind::TeaLine) {
                lines << ShownLine(step.speaker, step.text);
            }
        }
    }
    return lines;
}

void TeaHouseEnding(Game& game)
{
    // The record is read once, when the heroine is chosen; it is written after her closing line.
    const std::int16_t record = ReadClearRecord(game.services.settings);
    const std::int16_t chosen = ChooseHeroine(game.state.Affection, record);
    game.Trace(QStringLiteral("heroine %1").arg(chosen));
    RunChapter(game, LoadChapter(EndingScript(chosen)));
    SaveEnding(game, chosen);
}

bool SaveEnding(Game& game, std::int16_t heroine)
{
    SettingsStore& store = game.services.settings;
    const bool written = game.pump.RunAside([&store, heroine] { return RecordEnding(store, heroine); });
    if (!written) {
        // A store that cannot be written loses this ending, but never the game; the player hears
        // of it, so that nobody believes an ending counted that did not.
        const QString problem = store.LastProblem();
        std::fprintf(stderr, "velmora: the ending was not recorded: %s\n", qPrintable(problem));
        ShowMessage(game.pump, game.mainForm.Get(), QMessageBox::Warning, QStringLiteral("Velmora"),
                    QStringLiteral("The ending you have just seen could not be recorded, so it does not "
                                   "count as seen.\n\n%1\n\nThe game goes on.")
                        .arg(problem));
    }
    return written;
}

} // namespace velmora
