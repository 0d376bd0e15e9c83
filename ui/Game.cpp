#include "ui/Game.h"

#include "ui/HistoryView.h"

#include <QMessageBox>

#include <cstdio>

namespace velmora {

Game::Game(Services platform, EventPump& eventPump)
    : services(platform),
      pump(eventPump),
      music(state, platform.midi),
      Demoform(QStringLiteral("Demoform"), [this] { return std::make_unique<DemoWindow>(*this); },
               [this](const QString& what) { Trace(what); }),
      openForm(QStringLiteral("openForm"), [this] { return std::make_unique<TitleWindow>(*this); },
               [this](const QString& what) { Trace(what); }),
      mainForm(QStringLiteral("mainForm"), [this] { return LoadGameWindow(); },
               [this](const QString& what) { Trace(what); })
{
}

Game::~Game() = default;

int ReportFatalError(Game& game, const FatalError& error)
{
    std::fprintf(stderr, "velmora: %s\n", qPrintable(error.Message()));
    if (GameWindow* window = game.mainForm.Get()) {
        window->Timer1->stop();
    }
    game.music.StopMidi();
    game.pump.ReopenForMessages();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), error.Message(), QMessageBox::Ok);
    box.exec();
    return 1;
}

std::unique_ptr<GameWindow> Game::LoadGameWindow()
{
    history.Clear();
    auto window = std::make_unique<GameWindow>(*this);
    // Laid over the window as its last child, so the designed controls keep their order.
    new HistoryView(history, *window);
    return window;
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
