#include "app/Program.h"

#include "app/AfterFirstFrame.h"
#include "app/ClockRandom.h"
#include "app/Driver.h"
#include "ui/Game.h"
#include "app/SessionEndWatcher.h"
#include "record/IniSettingsStore.h"
#include "sound/SoundSystem.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

namespace velmora {

namespace {

bool DisplayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    // An explicit platform (offscreen, vnc, …) brings its own display.
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

int ReportFatal(EventPump& pump, Game& game, const FatalError& error)
{
    std::fprintf(stderr, "velmora: %s\n", qPrintable(error.Message()));
    game.music.StopMidi();
    pump.ReopenForMessages();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), error.Message(), QMessageBox::Ok);
    box.exec();
    return 1;
}

} // namespace

int RunGame(int argc, char** argv)
{
    if (!DisplayAvailable()) {
        std::fputs("velmora: no graphical display (DISPLAY is not set); start the game from a "
                   "desktop session.\n",
                   stderr);
        return 2;
    }
    BlockSessionEndSignals();

    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Velmora"));

    // Made first but started only once the logo is up (below): its audio device and soundfont are
    // not what the first window needs.
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

    // The logo goes on screen first. Right after its first frame, well before the jingle's cue at
    // 400 ms, the sound starts (the soundfont then loads in the background while the logo plays)
    // and the font check reads the system's font list; a missing font still ends the program
    // with its message, at the driver's next wait.
    AfterFirstFrame afterLogo([&] {
        sound.Start();
        pump.Guard([] { RequireJapaneseFont(); });
    });

    try {
        Main(game);
    } catch (const ProgramEnded&) {
        return 0;
    } catch (const FatalError& error) {
        return ReportFatal(pump, game, error);
    }
}

} // namespace velmora
