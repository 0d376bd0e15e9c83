#include "fakes/TestGame.h"

#include <QTest>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

// Counts the double-click events a widget is sent, so a test knows its presses really formed one.
class DoubleClickCounter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window system's window sees it too before the widget does; count widgets only.
        if (event->type() == QEvent::MouseButtonDblClick && watched->isWidgetType()) {
            ++count;
        }
        return false;
    }
    int count = 0;
};

// The game window shown with a line up, its answer buttons in view as in the quiz.
struct Hand {
    Hand()
    {
        InitNewGame(t.game.state);
        GameWindow& w = t.game.mainForm.Load();
        w.Image1->SetPicture(QPixmap(300, 200));
        for (QPushButton* button : w.Command1) {
            button->show();
        }
        t.game.mainForm.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QApplication::instance()->installEventFilter(&doubles);
    }
    ~Hand() { QApplication::instance()->removeEventFilter(&doubles); }
    GameWindow& Window() { return *t.game.mainForm.Get(); }
    QPoint At(const QString& target)
    {
        GameWindow& w = Window();
        const std::map<QString, QPoint> points = {
            {"scene", w.Image1->geometry().topLeft() + QPoint(280, 20)},
            {"text", w.Label2->geometry().center()},
            {"background", QPoint(w.width() - 3, w.height() - 3)},
            {"answer", w.Command1[1]->geometry().center()},
        };
        return points.at(target);
    }
    // A player's click through the window system, landing on whatever control lies there.
    void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(Window().windowHandle(), button, {}, at);
    }
    // The second click of a double-click: pressed right after the last one, so that the window
    // system makes a double-click of it. Whatever the first click did has happened by then.
    void ClickAgainAtOnce(QPoint at)
    {
        QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
        Click(at);
    }

    TestGame t;
    DoubleClickCounter doubles;
};

} // namespace

class PlayerHandTest : public QObject {
    Q_OBJECT

private slots:
    // Catches the second press of a double-click counted as a click of its own: it would skip
    // the line that the first click brought up, or answer the next question unseen.
    void aDoubleClickIsOneClick_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<std::int16_t>("clicked");
        QTest::addColumn<std::int16_t>("answer");
        QTest::newRow("on the scene picture") << QStringLiteral("scene") << kTrue << std::int16_t{0};
        QTest::newRow("on the text") << QStringLiteral("text") << kTrue << std::int16_t{0};
        QTest::newRow("on the window's background") << QStringLiteral("background") << kTrue << std::int16_t{0};
        QTest::newRow("on an answer button") << QStringLiteral("answer") << kFalse << std::int16_t{2};
    }
    void aDoubleClickIsOneClick()
    {
        QFETCH(QString, target);
        QFETCH(std::int16_t, clicked);
        QFETCH(std::int16_t, answer);
        Hand hand;
        GameState& state = hand.t.game.state;
        const QPoint at = hand.At(target);

        hand.Click(at);
        QCOMPARE(state.Clicked, clicked);
        QCOMPARE(state.Answer, answer);
        // What the next line or question does: clear the flag and wait again.
        state.Clicked = 0;
        state.Answer = 0;
        hand.ClickAgainAtOnce(at);
        QCOMPARE(hand.doubles.count, 1);
        QCOMPARE(state.Clicked, std::int16_t{0});
        QCOMPARE(state.Answer, std::int16_t{0});

        // The next click, in its own time, is a click again.
        hand.Click(at);
        QCOMPARE(state.Clicked, clicked);
        QCOMPARE(state.Answer, answer);
    }

    // Catches a handler that reads any button as the player's click.
    void rightAndMiddleButtonsDoNothing_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<Qt::MouseButton>("button");
        for (const char* target : {"scene", "text", "background", "answer"}) {
            QTest::addRow("right button on the %s", target) << QString::fromLatin1(target) << Qt::RightButton;
            QTest::addRow("middle button on the %s", target) << QString::fromLatin1(target) << Qt::MiddleButton;
        }
    }
    void rightAndMiddleButtonsDoNothing()
    {
        QFETCH(QString, target);
        QFETCH(Qt::MouseButton, button);
        Hand hand;
        hand.Click(hand.At(target), button);
        QCOMPARE(hand.t.game.state.Clicked, std::int16_t{0});
        QCOMPARE(hand.t.game.state.Answer, std::int16_t{0});
    }

    // Catches a double-click on the title picture running its click twice: each run reads the
    // record anew, and a second run may reveal what the first did not.
    void aDoubleClickOnTheTitlePictureIsOneClick()
    {
        TestGame t;
        t.game.openForm.Show();
        TitleWindow& w = *t.game.openForm.Get();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        DoubleClickCounter doubles;
        w.installEventFilter(&doubles);
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        const int readsForOneClick = t.settings.reads;
        QTest::lastMouseTimestamp -= QTest::mouseDoubleClickInterval;
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(doubles.count, 1);
        QVERIFY(readsForOneClick > 0);
        QCOMPARE(t.settings.reads, readsForOneClick);
    }
};

QTEST_MAIN(PlayerHandTest)
#include "test_player_hand.moc"
