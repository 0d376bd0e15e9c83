#include "ui/GameWindow.h"

#include "app/CenterWindow.h"
#include "app/Game.h"

namespace velmora {

GameWindow::GameWindow(Game& game)
    : Form(game, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint),
      Timer1(new QTimer(this)),
      Timer2(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Velmora"));
    setFixedSize(5415 / kTwipsPerPixel, 5130 / kTwipsPerPixel);
    connect(Timer1, &QTimer::timeout, this, [this] { m_game.pump.Guard([this] { Timer1_Timer(); }); });
    Timer1->start(500);
}

void GameWindow::Form_Load()
{
    CenterWindow(*this);
}

void GameWindow::Form_QueryUnload(UnloadMode mode)
{
    QueryUnloadEndsProgram(m_game, QStringLiteral("mainForm"), mode);
}

void GameWindow::Timer1_Timer()
{
    m_game.music.LoopMidi();
}

} // namespace velmora
