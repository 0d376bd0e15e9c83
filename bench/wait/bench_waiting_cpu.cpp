// Prints how much CPU the game spends while it waits for the player's click: the game window is
// shown with its music timer running and the driver sits in its wait for ten seconds.
#include "fakes/TestGame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    velmora::testing::TestGame t;
    t.game.mainForm.Show();

    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    bool over = false;
    QTimer::singleShot(seconds * 1000, [&] { over = true; });

    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    t.pump.WaitUntil([&] { return t.game.state.Clicked != 0 || over; });
    const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;

    std::printf("waiting for a click: %.2f s wall, %.3f s CPU, %.2f%% of one core\n", elapsed, cpu,
                100.0 * cpu / elapsed);
    return 0;
}
