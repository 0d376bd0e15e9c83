#include "app/Program.h"

#include "app/ClockRandom.h"
#include "app/DataFolder.h"
#include "app/DisplayCheck.h"
#include "app/Driver.h"
#include "ui/Game.h"
#include "app/SessionEndWatcher.h"
#include "app/WindowLossWatcher.h"
#include "record/IniSettingsStore.h"
#include "sound/SoundSystem.h"
#include "ui/Fonts.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace velmora {

int RunGame(int argc, char** argv)
{
    // Every file is opened by its bare name, so the folder must be right before anything starts.
    if (!EnterDataFolder()) {
        return 2;
    }
    if (const std::optional<QString> problem = DisplayProblem()) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(*problem));
        return 2;
    }
    BlockSessionEndSignals();

    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    // Made first: the soundfont starts loading in the background while the logo plays.
    SoundSystem sound;
    IniSettingsStore settings;
    ClockRandom random;
    EventPump pump;
    Game game(Services{settings, sound.Midi(), sound.Waves(), random}, pump);

    // The session ending is one more outside close: the music stops and the game ends.
    SessionEndWatcher sessionEnd([&] {
        game.music.StopMidi();
        pump.EndProgram();
    });
    // A window destroyed by another client, or the display connection cut, is one more.
    WindowLossWatcher windowLoss([&] {
        game.music.StopMidi();
        pump.EndProgram();
    });

    try {
        RequireJapaneseFont();
        Main(game);
    } catch (const ProgramEnded&) {
        return 0;
    } catch (const FatalError& error) {
        return ReportFatalError(game, error);
    }
}

} // namespace velmora
