#include "app/Driver.h"

#include "app/Game.h"
#include "quiz/PlayQuiz.h"
#include "record/StartupCheck.h"
#include "story/Chapters.h"
#include "ui/StaffRoll.h"

namespace velmora {

void Main(Game& game)
{
    game.Demoform.Show();
    game.pump.WaitUntil([&] { return !game.Demoform.Visible(); });
    game.Demoform.Unload();

    game.Trace(QStringLiteral("CheckClearRecord"));
    CheckClearRecord(game);

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
            OpeningChapter(game);
        }
        game.Trace(QStringLiteral("PlayQuiz"));
        PlayQuiz(game);
        game.Trace(QStringLiteral("RoadToTeaHouse"));
        RoadToTeaHouse(game);
        game.Trace(QStringLiteral("TeaHouseEnding"));
        TeaHouseEnding(game);
        game.Trace(QStringLiteral("PlayStaffRoll"));
        PlayStaffRoll(game);
    }
}

} // namespace velmora
