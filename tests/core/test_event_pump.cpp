#include "core/MessageBox.h"
#include "fakes/TestGame.h"

#include <QApplication>

#include <QTest>
#include <QTimer>

using namespace velmora;
using velmora::testing::TestGame;

class EventPumpTest : public QObject {
    Q_OBJECT

private slots:
    // The game window can be closed in the middle of any wait; the program must end there
    // cleanly, and no handler may run after the close.
    void anOutsideCloseDuringAWaitEndsTheProgram_data()
    {
        QTest::addColumn<QString>("wait");
        QTest::newRow("a click on a line") << QStringLiteral("Clicked");
        QTest::newRow("an answer button") << QStringLiteral("Answer");
        QTest::newRow("the staff roll") << QStringLiteral("RollRunning");
    }
    void anOutsideCloseDuringAWaitEndsTheProgram()
    {
        QFETCH(QString, wait);
        TestGame t;
        t.game.mainForm.Show();
        t.game.state.RollRunning = kTrue;
        bool lateHandlerRan = false;
        QTimer::singleShot(5, t.game.mainForm.Get(), [&] { t.game.mainForm->close(); });
        const auto waitingFor = [&] {
            if (wait == QLatin1String("Clicked")) {
                return t.game.state.Clicked != 0;
            }
            if (wait == QLatin1String("Answer")) {
                return t.game.state.Answer != 0;
            }
            return t.game.state.RollRunning == 0;
        };
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, t.pump.WaitUntil(waitingFor));
        QVERIFY(t.pump.Ended());
        QCOMPARE(t.log.mid(t.log.size() - 2), (QStringList{"mainForm closed from outside", "close"}));

        QTimer::singleShot(0, [&] { lateHandlerRan = true; });
        QCoreApplication::processEvents();
        QVERIFY2(!lateHandlerRan, "a handler ran after the program had ended");
    }

    // A message box has an event loop of its own; closing the game while one is open must end
    // that loop too, or the program would hang in it with every event swallowed.
    void anOutsideCloseWhileAMessageIsOpenEndsTheProgram()
    {
        TestGame t;
        t.game.mainForm.Show();
        bool messageReturned = false;
        QTimer::singleShot(1, t.game.mainForm.Get(), [&] {
            ShowMessage(t.pump, t.game.mainForm.Get(), QMessageBox::Information, QStringLiteral("Velmora"),
                        QStringLiteral("全員クリアおめでとうございます。"));
            messageReturned = true;
        });
        QTimer::singleShot(50, t.game.mainForm.Get(), [&] { t.game.mainForm->close(); });
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, t.pump.WaitUntil([] { return false; }));
        QVERIFY(messageReturned);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    // Catches a driver unload that is taken for the player's close and ends the program.
    void anUnloadByCodeStopsTheMusicButDoesNotEndTheProgram()
    {
        TestGame t;
        t.game.mainForm.Show();
        t.game.mainForm.Unload();
        QVERIFY(!t.pump.Ended());
        QVERIFY(!t.game.mainForm.Loaded());
        QCOMPARE(t.log.mid(t.log.size() - 3), (QStringList{"mainForm closed by code", "close", "unloaded mainForm"}));
        t.game.mainForm.Unload(); // not loaded: nothing happens
        QCOMPARE(t.log.last(), QStringLiteral("unloaded mainForm"));
    }

    // A fatal error inside a handler must not cross Qt's event dispatch; the driver meets it at
    // its next wait instead.
    void aFatalErrorInAHandlerReachesTheWaitingDriver()
    {
        TestGame t;
        QTimer::singleShot(1, [&] { t.pump.Guard([] { throw FatalError(QStringLiteral("S99.vlq is missing")); }); });
        try {
            t.pump.WaitUntil([] { return false; });
            QFAIL("the wait returned");
        } catch (const FatalError& error) {
            QCOMPARE(error.Message(), QStringLiteral("S99.vlq is missing"));
        }
    }

    // The test comes before the first yield: a condition that already holds ends the wait
    // without running a single handler.
    void aWaitWhoseConditionHoldsRunsNoHandler()
    {
        TestGame t;
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        t.pump.WaitUntil([] { return true; });
        QVERIFY(!ran);
        t.pump.Yield();
        QVERIFY(ran);
    }
};

QTEST_MAIN(EventPumpTest)
#include "test_event_pump.moc"
