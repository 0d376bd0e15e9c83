#include "ui/DemoWindow.h"

#include "app/CenterWindow.h"
#include "app/Game.h"

#include <QPalette>

namespace velmora {

DemoWindow::DemoWindow(Game& game)
    : Form(game, Qt::Window | Qt::FramelessWindowHint), Timer1(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Tarnel"));
    setFixedSize(3765 / kTwipsPerPixel, 1380 / kTwipsPerPixel);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    connect(Timer1, &QTimer::timeout, this, [this] { m_game.pump.Guard([this] { Timer1_Timer(); }); });
}

void DemoWindow::Form_Load()
{
    CenterWindow(*this);
    Timer1->start(200);
}

void DemoWindow::Timer1_Timer()
{
    if (DemoStep == kLastStep) {
        Timer1->stop();
        hide();
    }
    ++DemoStep;
}

} // namespace velmora
