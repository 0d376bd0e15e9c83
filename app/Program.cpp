#include "app/Program.h"

#include "app/ClockRandom.h"
#include "app/DataFolder.h"
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
    // Every file is opened by its bare name, so the folder must be right before anything starts.
    if (!EnterDataFolder()) {
        return 2;
    }
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

    try {
        RequireJapaneseFont();
        Main(game);
    } catch (const ProgramEnded&) {
        return 0;
    } catch (const FatalError& error) {
        return ReportFatal(pump, game, error);
    }
}

} // namespace velmora
