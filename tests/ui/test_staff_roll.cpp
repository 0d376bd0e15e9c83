#include "fakes/TestGame.h"
#include "ui/StaffRoll.h"

#include <QFile>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

// What the roll shows after one tick.
struct Frame {
    bool headingShown;
    QString heading;
    bool nameShown;
    QString name;
    bool image4;
    std::int16_t running;
};

// A game window at the end of a game, its tea-house music playing.
struct Ending {
    explicit Ending(std::int16_t noMusic = kFalse)
    {
        InitNewGame(t.game.state);
        t.game.state.NoMusic = noMusic;
        t.game.state.MidiName = QStringLiteral("M03S.mid");
        t.game.mainForm.Show();
        t.game.music.LoopMidi();
        t.log.clear();
    }
    GameWindow& Window() { return *t.game.mainForm.Get(); }

    // Plays the roll on the test's clock: once PlayStaffRoll waits, `atStart` looks at the
    // closing state, then every tick is a direct call of the timer's handler, with `between`
    // run before each. Each tick's frame is kept; the 56th tick is given in a later round of
    // events, so the roll must still be waiting for it.
    void Play(const std::function<void()>& atStart = {}, const std::function<void(int)>& between = {})
    {
        QTimer::singleShot(0, &Window(), [&] {
            if (atStart) {
                atStart();
            }
            for (int tick = 1; tick <= 55; ++tick) {
                Tick(tick, between);
            }
            QTimer::singleShot(0, &Window(), [&] { Tick(56, between); });
        });
        PlayStaffRoll(t.game);
    }
    void Tick(int tick, const std::function<void(int)>& between)
    {
        if (between) {
            between(tick);
        }
        Window().Timer2_Timer();
        GameWindow& w = Window();
        frames.push_back({!w.Sroll1->isHidden(), w.Sroll1->text(), !w.Sroll2->isHidden(), w.Sroll2->text(),
                          !w.Image4->isHidden(), t.game.state.RollRunning});
    }

    TestGame t;
    std::vector<Frame> frames;
};

QString Name(int line)
{
    return QString::fromUtf16(StaffNames.at(static_cast<std::size_t>(line)));
}

} // namespace

class StaffRollTest : public QObject {
    Q_OBJECT

private slots:
    // The roll's pages, written out independently of its code: ticks first to last all show this. Catches
    // pages off by a tick, names under the wrong heading, labels that stay up in the pause,
    // Image4 shown late or hidden again, and a roll that ends early or late.
    void theRollShowsItsPagesTickByTick_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<bool>("labels");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("image4");
        QTest::addColumn<std::int16_t>("running");
        QTest::newRow("1-9 the title page") << 1 << 9 << true << "Velmora" << "STAFF" << false << kTrue;
        QTest::newRow("10-14 programming") << 10 << 14 << true << "プログラム" << Name(0) << false << kTrue;
        QTest::newRow("15-19 characters") << 15 << 19 << true << "ＣＧ（人物）" << Name(0) << false << kTrue;
        QTest::newRow("20-24 backgrounds, Image4 appears") << 20 << 24 << true << "ＣＧ（背景）" << Name(1) << true << kTrue;
        QTest::newRow("25-29 music") << 25 << 29 << true << "ＢＧＭ" << Name(0) << true << kTrue;
        QTest::newRow("30-34 questions") << 30 << 34 << true << "問題作成／総協力" << Name(2) << true << kTrue;
        QTest::newRow("35-39 cast") << 35 << 39 << true << "出演（京大生）" << Name(3) << true << kTrue;
        QTest::newRow("40-44 bridge photograph") << 40 << 44 << true << "渡月橋画像提供" << Name(4) << true << kTrue;
        QTest::newRow("45-48 the blank pause") << 45 << 48 << false << "渡月橋画像提供" << Name(4) << true << kTrue;
        QTest::newRow("49-55 the closing page") << 49 << 55 << true << "Velmora" << "END" << true << kTrue;
        QTest::newRow("56 the end") << 56 << 56 << false << "Velmora" << "END" << true << kFalse;
    }
    void theRollShowsItsPagesTickByTick()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(bool, labels);
        QFETCH(QString, heading);
        QFETCH(QString, name);
        QFETCH(bool, image4);
        QFETCH(std::int16_t, running);
        Ending ending;
        ending.Play();
        QCOMPARE(ending.frames.size(), std::size_t{56});
        for (int tick = first; tick <= last; ++tick) {
            const Frame& frame = ending.frames.at(static_cast<std::size_t>(tick - 1));
            const QByteArray at = QByteArray::number(tick);
            QVERIFY2(frame.headingShown == labels && frame.nameShown == labels, at);
            QVERIFY2(frame.heading == heading && frame.name == name, at);
            QVERIFY2(frame.image4 == image4, at);
            QVERIFY2(frame.running == running, at);
        }
        QCOMPARE(ending.t.game.state.RollTick, std::int16_t{56});
    }

    // Catches a roll that leaves the loop timer on (the ending music would be repeated), keeps
    // the window's height or caption, or starts the ending music through the wrong path.
    void theRollPutsTheWindowInItsClosingState_data()
    {
        QTest::addColumn<std::int16_t>("noMusic");
        QTest::addColumn<QStringList>("music");
        QTest::newRow("music on: the player closes before it opens") << kFalse << QStringList{"close", "close", "open M04S.mid", "play"};
        QTest::newRow("music off: only the tea-house music closed") << kTrue << QStringList{"close"};
    }
    void theRollPutsTheWindowInItsClosingState()
    {
        QFETCH(std::int16_t, noMusic);
        QFETCH(QStringList, music);
        Ending ending(noMusic);
        GameWindow& w = ending.Window();
        const QRect before = w.frameGeometry();
        bool looked = false;
        ending.Play([&] {
            looked = true;
            QVERIFY(!w.Timer1->isActive());
            QVERIFY(w.Timer2->isActive());
            QCOMPARE(w.Timer2->interval(), 1050);
            // A coarse timer may fire 5 % early: the roll would end three seconds short.
            QCOMPARE(w.Timer2->timerType(), Qt::PreciseTimer);
            QCOMPARE(ending.t.game.state.RollTick, std::int16_t{0});
            QCOMPARE(ending.t.game.state.RollRunning, kTrue);
            QCOMPARE(ending.t.game.state.MidiName, QStringLiteral("M04S.mid"));
            QCOMPARE(ending.t.log, music);
            QCOMPARE(w.windowTitle(), QStringLiteral("Velmoor"));
            const QRect after = w.frameGeometry();
            QCOMPARE(after.height(), 250);
            QCOMPARE(after.topLeft(), before.topLeft());
            QCOMPARE(after.width(), before.width());
            // The text area is cut off; the scene picture is not.
            QVERIFY(w.geometry().height() < w.Label2->geometry().top());
            QVERIFY(w.geometry().height() > w.Image1->geometry().bottom());
        });
        QVERIFY(looked);
        // The end of the roll closes the ending music, on or off.
        QCOMPARE(ending.t.log.last(), QStringLiteral("close"));
        QCOMPARE(ending.t.game.state.RollRunning, kFalse);
    }

    // Catches a click or key that skips a page or ends the roll: the roll's frames are the
    // same as without them.
    void clicksAndKeysDuringTheRollChangeNothing()
    {
        Ending quiet;
        quiet.Play();
        Ending busy;
        busy.Play({}, [&busy](int) {
            GameWindow& w = busy.Window();
            QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.Sroll1->geometry().center());
            QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.Image1->geometry().center());
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(&w, &press);
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
            QCoreApplication::sendEvent(&w, &escape);
        });
        QCOMPARE(busy.frames.size(), quiet.frames.size());
        for (std::size_t k = 0; k < quiet.frames.size(); ++k) {
            const Frame& a = quiet.frames[k];
            const Frame& b = busy.frames[k];
            QVERIFY2(a.headingShown == b.headingShown && a.heading == b.heading && a.nameShown == b.nameShown &&
                         a.name == b.name && a.image4 == b.image4 && a.running == b.running,
                     QByteArray::number(static_cast<int>(k + 1)));
        }
        QVERIFY(busy.Window().isVisible());
    }

    // Until the driver unloads the window, further ticks repeat the end: catches a tick
    // handler that runs past its table into something else.
    void ticksAfterTheEndRepeatTheEnd()
    {
        Ending ending;
        ending.Play();
        ending.t.log.clear();
        ending.Window().Sroll1->show();
        ending.Window().Timer2_Timer();
        QCOMPARE(ending.t.log, QStringList{"close"});
        QVERIFY(ending.Window().Sroll1->isHidden());
        QVERIFY(!ending.Window().Image4->isHidden());
        QCOMPARE(ending.t.game.state.RollRunning, kFalse);
    }

    // Catches a closing state that outlives the game: the next game's window is as designed.
    void theNextGamesWindowIsBackInItsDesignState()
    {
        Ending ending;
        const int designHeight = ending.Window().height();
        ending.Play();
        ending.t.game.mainForm.Unload();
        ending.t.game.mainForm.Show();
        GameWindow& w = ending.Window();
        QCOMPARE(w.height(), designHeight);
        QCOMPARE(w.windowTitle(), QStringLiteral("Velmora"));
        QVERIFY(!w.Timer2->isActive());
        QVERIFY(w.Timer1->isActive());
        QVERIFY(w.Image4->isHidden());
    }

    // The roll's names are copied from the writers' credits file; catches the two drifting
    // apart.
    void theCreditedNamesAreThoseOfTheCreditsFile()
    {
        const QString path = QFINDTESTDATA("../../story/script/credits.txt");
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
        QStringList names;
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QString letter = QString(QChar(static_cast<char16_t>(u'A' + names.size())));
            QVERIFY2(line.startsWith(letter + u' '), qPrintable(line));
            names << line.mid(2).trimmed();
        }
        QCOMPARE(names.size(), 5);
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(Name(k), names[k]);
        }
    }
};

QTEST_MAIN(StaffRollTest)
#include "test_staff_roll.moc"
