#include "app/Program.h"

#include "app/AfterFirstFrame.h"
#include "app/ClockRandom.h"
#include "app/DataFolder.h"
#include "app/DisplayCheck.h"
#include "app/Driver.h"
#include "ui/Game.h"
#include "app/SessionEndWatcher.h"
#include "app/WindowLossWatcher.h"
#include "record/IniSettingsStore.h"
#include "sound/SoundSystem.h"
#include "story/Chapters.h"
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

    // Made first but started only once the logo is up (below): its audio device and soundfont are
    // not what the first window needs.
    SoundSystem sound(SoundModulePlaces());
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

    // The logo goes on screen first. Right after its first frame, well before the jingle's cue at
    // 400 ms, the sound starts (the soundfont then loads in the background while the logo plays)
    // and the font check reads the system's font list; a missing font still ends the program
    // with its message, at the driver's next wait. The characters the game window's fonts are
    // made ready with are gathered then too, for the title screen to draw while it waits.
    AfterFirstFrame afterLogo([&] {
        sound.Start();
        pump.Guard([&] {
            RequireJapaneseFont();
            game.glyphWarmer.Add(LineFont(), EveryLine().join(QString()));
            GameState cast;
            InitNewGame(cast);
            for (const QString& name : cast.CastName) {
                game.glyphWarmer.Add(SpeakerFont(), name);
            }
        });
    });

    try {
        Main(game);
    } catch (const ProgramEnded&) {
        return 0;
    } catch (const FatalError& error) {
        return ReportFatalError(game, error);
    }
}

} // namespace velmora
