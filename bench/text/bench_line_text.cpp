// What the line box costs per line of the story: breaking it into rows at the box's width, and
// one shaping of the whole line for scale; and what making the line font ready with every
// character of the story costs the title screen. Run with a Japanese font installed, on any
// platform (offscreen will do): bench_line_text -platform offscreen
#include "story/Chapters.h"
#include "ui/GameWindow.h"
#include "ui/GlyphWarmer.h"
#include "ui/LineBreaking.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>

#include <cstdio>

using namespace velmora;

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList lines = EveryLine();

    // First, while nothing is drawn yet: the title screen's part.
    GlyphWarmer warmer;
    warmer.Add(LineFont(), lines.join(QString()));
    QElapsedTimer warming;
    warming.start();
    warmer.Start(1.0);
    int turns = 0;
    while (!warmer.Done()) {
        QCoreApplication::processEvents();
        ++turns;
    }
    std::printf("making the line font ready: %lld characters in %d turns, %.1f ms in all\n",
                static_cast<long long>(warmer.Queued()), turns, static_cast<double>(warming.nsecsElapsed()) / 1e6);
    const QFontMetricsF metrics(LineFont());
    const qreal width = 5235 / 15 - 4;
    for (const QString& each : lines) {
        BreakLines(each, metrics, width);
    }
    constexpr int Rounds = 5;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer clock;
        clock.start();
        qsizetype rows = 0;
        for (int r = 0; r < Rounds; ++r) {
            for (const QString& each : lines) {
                rows += BreakLines(each, metrics, width).size();
            }
        }
        const double breaking = static_cast<double>(clock.nsecsElapsed()) / 1000.0 / (Rounds * lines.size());
        clock.start();
        qreal widths = 0;
        for (int r = 0; r < Rounds; ++r) {
            for (const QString& each : lines) {
                widths += metrics.horizontalAdvance(each);
            }
        }
        const double shaping = static_cast<double>(clock.nsecsElapsed()) / 1000.0 / (Rounds * lines.size());
        std::printf("%lld lines, %.0f px and %.2f rows each: breaking %.1f us per line, one shaping %.1f us\n",
                    static_cast<long long>(lines.size()), static_cast<double>(widths) / (Rounds * lines.size()),
                    static_cast<double>(rows) / (Rounds * lines.size()), breaking, shaping);
    }
    return 0;
}
