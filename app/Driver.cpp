#include "app/Driver.h"

#include "ui/Game.h"
#include "quiz/PlayQuiz.h"
#include "record/StartupCheck.h"
#include "story/Chapters.h"
#include "ui/StaffRoll.h"

namespace velmora {

PlayParts TheGame()
{
    return PlayParts{
        [](Game& game) { CheckClearRecord(game.services.settings, game.pump); }, [](Game& game) { OpeningChapter(game); },
        [](Game& game) { PlayQuiz(game); },         [](Game& game) { RoadToTeaHouse(game); },
        [](Game& game) { TeaHouseEnding(game); },   [](Game& game) { PlayStaffRoll(game); },
    };
}

void Main(Game& game, const PlayParts& parts)
{
    game.Demoform.Show();
    game.pump.WaitUntil([&] { return !game.Demoform.Visible(); });
    game.Demoform.Unload();

    game.Trace(QStringLiteral("CheckClearRecord"));
    parts.CheckClearRecord(game);

    for (;;) {
        // On the first pass the game window was never loaded and this does nothing; later it
        // closes the finished game's window, which also stops the ending music.
        game.mainForm.Unload();
        game.openForm.Show();
        game.pump.WaitUntil([&] { return !game.openForm.Visible(); });
        game.openForm.Unload();

        game.Trace(QStringLiteral("InitNewGame"));
        InitNewGame(game.state);
        game.mainForm.Show();
        if (game.state.SkipOpening == 0) {
            game.Trace(QStringLiteral("OpeningChapter"));
            parts.OpeningChapter(game);
        }
        game.Trace(QStringLiteral("PlayQuiz"));
        parts.PlayQuiz(game);
        game.Trace(QStringLiteral("RoadToTeaHouse"));
        parts.RoadToTeaHouse(game);
        game.Trace(QStringLiteral("TeaHouseEnding"));
        parts.TeaHouseEnding(game);
        game.Trace(QStringLiteral("PlayStaffRoll"));
        parts.PlayStaffRoll(game);
    }
}

} // namespace velmora
