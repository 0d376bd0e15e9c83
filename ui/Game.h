#pragma once

#include "core/EventPump.h"
#include "core/FormSlot.h"
#include "core/GameState.h"
#include "sound/TarnelMidi.h"
#include "ui/DemoWindow.h"
#include "ui/GameWindow.h"
#include "ui/GlyphWarmer.h"
#include "ui/History.h"
#include "ui/LineDisplay.h"
#include "ui/Pictures.h"
#include "ui/TitleWindow.h"

#include <functional>

namespace velmora {

class MidiDevice;
class RandomSource;
class SettingsStore;
class WaveSound;

// The platform services the game uses, handed in by whoever starts it: the real ones by the
// program, fakes by the tests.
struct Services {
    SettingsStore& settings;
    MidiDevice& midi;
    WaveSound& sound;
    RandomSource& random;
};

// One running game program: the shared variables, the services, the music player and the three
// windows. The windows' handlers, the chapters, the quiz and the driver above them reach each
// other through it; it stands on the ground in core/ and on the services, never on what uses it.
class Game {
public:
    Game(Services services, EventPump& pump);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    GameState state;
    Services services;
    EventPump& pump;
    TarnelMidi music;

    // The scene picture the line display last loaded. It lives for the whole run, across
    // unloads of the game window, so a new game's first line always changes the scene.
    QString CurrentPicture;

    // The line after the next one shown, and scene pictures decoded ahead of their lines, for
    // the line display (ReadAhead).
    std::optional<LineAhead> lineAhead;
    DecodedAhead decodedAhead;

    // What the game window showed in this game, for the player to read back; the game never
    // reads it. Emptied when the game window loads.
    History history;

    // The game window's fonts with the characters its lines will show, drawn while the title
    // screen waits for the player (the title starts it), so no line waits for FreeType.
    GlyphWarmer glyphWarmer;

    // Records the driver's steps and the windows' loads and unloads, for tests and diagnostics.
    std::function<void(const QString&)> trace;
    void Trace(const QString& what) const
    {
        if (trace) {
            trace(what);
        }
    }

    FormSlot<DemoWindow> Demoform;
    FormSlot<TitleWindow> openForm;
    FormSlot<GameWindow> mainForm;

private:
    // A new game window with the history view over it and the history emptied.
    std::unique_ptr<GameWindow> LoadGameWindow();
};

// Reports a fatal error: on stderr, then in a message box that waits for the player, with the
// music stopped for good (the game window's loop tick too, which would start it again while the
// box is open). Gives the program's exit status, 1.
int ReportFatalError(Game& game, const FatalError& error);

// The close handling the title screen and the game window share: the music stops for every
// reason, and a close from outside ends the program.
void QueryUnloadEndsProgram(Game& game, const QString& window, UnloadMode mode);

} // namespace velmora
