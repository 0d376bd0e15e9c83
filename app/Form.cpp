#include "app/Form.h"

#include "app/Game.h"

#include <QCloseEvent>

namespace velmora {

Form::Form(Game& game, Qt::WindowFlags flags) : QWidget(nullptr, flags), m_game(game)
{
    setAttribute(Qt::WA_QuitOnClose, false);
}

void Form::closeEvent(QCloseEvent* event)
{
    // The driver unloads by destroying the window, which sends no close event, so every close
    // event comes from outside: the window manager's (spontaneous) or the session's.
    const UnloadMode mode = event->spontaneous() ? UnloadMode::ControlMenu : UnloadMode::AppWindows;
    m_game.pump.Guard([&] { Form_QueryUnload(mode); });
    event->accept();
}

void QueryUnloadEndsProgram(Game& game, const QString& window, UnloadMode mode)
{
    game.Trace(window + (mode == UnloadMode::Code ? QStringLiteral(" closed by code")
                                                  : QStringLiteral(" closed from outside")));
    game.music.StopMidi();
    if (mode != UnloadMode::Code) {
        game.pump.EndProgram();
    }
}

} // namespace velmora
