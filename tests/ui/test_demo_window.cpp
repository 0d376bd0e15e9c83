#include "fakes/TestGame.h"
#include "ui/PictureFrame.h"

#include <QScreen>
#include <QTest>

using namespace velmora;
using velmora::testing::TestGame;
using Pose = DemoWindow::Pose;

Q_DECLARE_METATYPE(DemoWindow::Pose)

namespace {

// The demo as the driver shows it. Its own 200 ms clock never fires here: no test lets the
// event loop run, and each tick is a direct call, so the animation runs on the test's clock.
struct Demo {
    Demo() { t.game.Demoform.Show(); }
    DemoWindow& Window() { return *t.game.Demoform.Get(); }
    // Runs the ticks that take DemoStep up to `step`.
    void RunUntil(int step)
    {
        while (Window().DemoStep < step) {
            Window().Timer1_Timer();
        }
    }
    void RunToTheEnd() { RunUntil(DemoWindow::kLastStep + 1); }
    void Press(int key, Qt::KeyboardModifiers modifiers)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(&Window(), &press);
    }
    int VisibleStrokes()
    {
        int count = 0;
        for (int stroke = 1; stroke <= 19; ++stroke) {
            count += Window().LineVisible(stroke) ? 1 : 0;
        }
        return count;
    }

    TestGame t;
};

int Pixels(int twips)
{
    return qRound(twips / 15.0);
}

} // namespace

class DemoWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The demo's timeline, written out independently of its code: after the tick of `step`, the first
    // `strokes` strokes show, the sprite stands at (left, top) twips in `pose`. Catches strokes,
    // moves or poses at the wrong step, moves made absolute instead of relative, and a window
    // that hides early or never.
    void theAnimationFollowsItsStepTable_data()
    {
        QTest::addColumn<int>("step"); // -1: just loaded
        QTest::addColumn<int>("strokes");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<Pose>("pose");
        QTest::addColumn<bool>("year");
        QTest::addColumn<bool>("shown");
        QTest::newRow("loaded: nothing drawn, the creature low") << -1 << 0 << 120 << 800 << Pose::A << false << true;
        QTest::newRow("step 3: still waiting") << 3 << 0 << 120 << 800 << Pose::A << false << true;
        QTest::newRow("step 4: T, arms raised, a hop left") << 4 << 2 << 50 << 800 << Pose::B << false << true;
        QTest::newRow("step 5: a, back") << 5 << 6 << 120 << 800 << Pose::A << false << true;
        QTest::newRow("step 6: r, the schoolgirl") << 6 << 9 << 120 << 50 << Pose::C << false << true;
        QTest::newRow("step 7: n, the creature again") << 7 << 13 << 120 << 800 << Pose::A << false << true;
        QTest::newRow("step 8: e, the schoolgirl") << 8 << 17 << 120 << 50 << Pose::C << false << true;
        QTest::newRow("step 9: l, the wand raised") << 9 << 19 << 140 << 50 << Pose::D << false << true;
        QTest::newRow("step 12: no year yet") << 12 << 19 << 140 << 50 << Pose::D << false << true;
        QTest::newRow("step 13: the year") << 13 << 19 << 140 << 50 << Pose::D << true << true;
        QTest::newRow("step 22: the last shown tick") << 22 << 19 << 140 << 50 << Pose::D << true << true;
        QTest::newRow("step 23: hidden, everything on show") << 23 << 19 << 140 << 50 << Pose::D << true << false;
    }
    void theAnimationFollowsItsStepTable()
    {
        QFETCH(int, step);
        QFETCH(int, strokes);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(Pose, pose);
        QFETCH(bool, year);
        QFETCH(bool, shown);
        Demo demo;
        demo.RunUntil(step + 1);
        DemoWindow& w = demo.Window();
        QCOMPARE(demo.VisibleStrokes(), strokes);
        for (int stroke = 1; stroke <= strokes; ++stroke) {
            QVERIFY2(w.LineVisible(stroke), qPrintable(QString::number(stroke)));
        }
        QCOMPARE(w.Image1Twips(), QPoint(left, top));
        QCOMPARE(w.Image1->pos(), QPoint(Pixels(left), Pixels(top)));
        QCOMPARE(w.Image1Pose(), pose);
        QCOMPARE(w.Image1->Picture().cacheKey(), w.PosePicture(pose).cacheKey());
        QCOMPARE(w.Image1->size(), w.PosePicture(pose).size());
        QVERIFY(!w.Image1->isHidden());
        QCOMPARE(!w.Label1->isHidden(), year);
        QCOMPARE(w.isVisible(), shown);
        QCOMPARE(demo.t.game.Demoform.Visible(), shown);
    }

    // Catches pose pictures swapped or missing from the program's resources.
    void thePosesHaveTheirDesignSizes_data()
    {
        QTest::addColumn<Pose>("pose");
        QTest::addColumn<QSize>("size");
        QTest::newRow("A: the creature") << Pose::A << QSize(37, 37);
        QTest::newRow("B: arms raised") << Pose::B << QSize(43, 37);
        QTest::newRow("C: the schoolgirl") << Pose::C << QSize(42, 89);
        QTest::newRow("D: the wand raised") << Pose::D << QSize(58, 88);
    }
    void thePosesHaveTheirDesignSizes()
    {
        QFETCH(Pose, pose);
        QFETCH(QSize, size);
        Demo demo;
        QCOMPARE(demo.Window().PosePicture(pose).size(), size);
    }

    // Who may silence the jingle, and when. Catches a key handler that reads the key instead of
    // the modifier state, misses a modifier pressed alone, forgets NoDefault on the cut-off
    // sound, or a jingle that ignores NoPlayMode.
    void modifierKeysSilenceTheJingle_data()
    {
        QTest::addColumn<int>("key"); // 0: no key at all
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("atStep"); // the key comes before this step's tick
        QTest::addColumn<QStringList>("sounds");
        const QStringList jingle = {"TARNELDEMO.WAV 1"};
        QTest::newRow("no key: the jingle at step 1") << 0 << Qt::KeyboardModifiers() << 0 << jingle;
        QTest::newRow("Shift alone before step 1: silence") << int{Qt::Key_Shift} << Qt::KeyboardModifiers() << 1 << QStringList{"Dummy.wav 3"};
        QTest::newRow("Ctrl alone, delivered with its own modifier already held") << int{Qt::Key_Control} << Qt::KeyboardModifiers(Qt::ControlModifier) << 0 << QStringList{"Dummy.wav 3"};
        QTest::newRow("Alt alone before step 1") << int{Qt::Key_Alt} << Qt::KeyboardModifiers() << 1 << QStringList{"Dummy.wav 3"};
        QTest::newRow("Shift+A before step 1") << int{Qt::Key_A} << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1 << QStringList{"Dummy.wav 3"};
        QTest::newRow("Ctrl after the jingle started: cut off")
            << int{Qt::Key_Control} << Qt::KeyboardModifiers() << 5 << QStringList{"TARNELDEMO.WAV 1", "Dummy.wav 3"};
        QTest::newRow("an ordinary key changes nothing") << int{Qt::Key_A} << Qt::KeyboardModifiers() << 1 << jingle;
        QTest::newRow("Enter changes nothing") << int{Qt::Key_Return} << Qt::KeyboardModifiers() << 0 << jingle;
    }
    void modifierKeysSilenceTheJingle()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, atStep);
        QFETCH(QStringList, sounds);
        Demo demo;
        demo.RunUntil(atStep);
        if (key != 0) {
            demo.Press(key, modifiers);
        }
        demo.RunToTheEnd();
        QCOMPARE(demo.t.waves.played, sounds);
        // However the sound went, the animation is the same.
        QCOMPARE(demo.Window().DemoStep, std::int16_t{DemoWindow::kLastStep + 1});
        QCOMPARE(demo.VisibleStrokes(), 19);
        QVERIFY(!demo.Window().isVisible());
    }

    // The window has no mouse handler: catches a click that skips or speeds up the demo.
    void aClickChangesNothing()
    {
        Demo demo;
        demo.RunUntil(1);
        QTest::mouseClick(&demo.Window(), Qt::LeftButton, {}, QPoint(100, 40));
        QTest::mouseClick(demo.Window().Image1, Qt::LeftButton);
        QCOMPARE(demo.Window().DemoStep, std::int16_t{1});
        QVERIFY(!demo.Window().NoPlayMode);
        QVERIFY(demo.Window().isVisible());
        demo.RunToTheEnd();
        QCOMPARE(demo.t.waves.played, QStringList{"TARNELDEMO.WAV 1"});
    }

    // Catches a logo that strays out of its box, and colour groups that do not follow the
    // letters' order.
    void theLogoStaysInItsBoxOneColourPerLetter()
    {
        const QList<QColor> letters = {QColor(0, 255, 255), QColor(0, 255, 0),   QColor(255, 255, 255),
                                       QColor(255, 0, 0),   QColor(255, 0, 255), QColor(255, 255, 0)};
        const QList<int> strokesPerLetter = {2, 4, 3, 4, 4, 2};
        std::size_t stroke = 0;
        for (qsizetype letter = 0; letter < letters.size(); ++letter) {
            for (int k = 0; k < strokesPerLetter[letter]; ++k, ++stroke) {
                const LogoStroke& s = LogoStrokes().at(stroke);
                QCOMPARE(s.colour, letters[letter]);
                for (const QPoint end : {s.twips.p1(), s.twips.p2()}) {
                    QVERIFY2(end.x() >= 840 && end.x() <= 3600 && end.y() >= 240 && end.y() <= 1200,
                             qPrintable(QStringLiteral("stroke %1").arg(stroke + 1)));
                }
                QVERIFY(s.twips.p1() != s.twips.p2());
            }
        }
        QCOMPARE(stroke, LogoStrokes().size());
    }

    // Catches a logo that is shown but never drawn: after the demo the window's pixels carry
    // every letter colour.
    void theLastFrameShowsEveryLetterColourAndTheYear()
    {
        Demo demo;
        demo.RunUntil(DemoWindow::kLastStep);
        const QImage frame = demo.Window().grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < frame.height(); ++y) {
            for (int x = 60; x < 200; ++x) {
                colours.insert(frame.pixel(x, y) & 0xFFFFFF);
            }
        }
        for (const QRgb wanted : {0x00FFFFu, 0x00FF00u, 0xFFFFFFu, 0xFF0000u, 0xFF00FFu}) {
            QVERIFY2(colours.contains(wanted), qPrintable(QString::number(wanted, 16)));
        }
        QCOMPARE(demo.Window().Label1->text(), QStringLiteral("1998"));
        QCOMPARE(demo.Window().Label1->palette().color(QPalette::WindowText), QColor(0, 255, 0));
        QVERIFY(demo.Window().Label1->font().bold());
    }

    // Catches a window with a frame (its title would show) or not in the middle of the screen.
    void theWindowIsABorderlessBlackBoxInTheMiddleOfTheScreen()
    {
        Demo demo;
        DemoWindow& w = demo.Window();
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tarnel"));
        QCOMPARE(w.size(), QSize(251, 92));
        QCOMPARE(w.grab().toImage().pixelColor(2, 2), QColor(Qt::black));
        const QRect screen = w.screen()->geometry();
        const QRect frame = w.frameGeometry();
        QVERIFY(qAbs(2 * (frame.left() - screen.left()) - (screen.width() - frame.width())) <= 1);
        QVERIFY(qAbs(2 * (frame.top() - screen.top()) - (screen.height() - frame.height())) <= 1);
        QCOMPARE(w.Timer1->interval(), 200);
        QCOMPARE(w.Timer1->timerType(), Qt::PreciseTimer);
    }

    // Halves of a pixel go away from zero; catches the truncation the game window's centring
    // uses, which would put the demo a pixel off.
    void theDemoCentresByHalvingInTwips_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("edge");
        QTest::newRow("even difference") << 800 << 250 << 275;
        QTest::newRow("odd difference: the half pixel rounds up") << 800 << 251 << 275;
        QTest::newRow("window as large as the screen") << 251 << 251 << 0;
        QTest::newRow("window larger than the screen") << 200 << 251 << -26;
    }
    void theDemoCentresByHalvingInTwips()
    {
        QFETCH(int, screen);
        QFETCH(int, window);
        QFETCH(int, edge);
        QCOMPARE(DemoCentredEdge(screen, window), edge);
    }
};

QTEST_MAIN(DemoWindowTest)
#include "test_demo_window.moc"
