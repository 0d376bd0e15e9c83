#include "fakes/TestGame.h"
#include "quiz/PlayQuiz.h"
#include "story/Script.h"
#include "ui/HistoryView.h"
#include "ui/LineDisplay.h"
#include "ui/StaffRoll.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include <functional>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

HistoryView& ViewOf(GameWindow& window)
{
    auto* view = window.findChild<HistoryView*>();
    if (view == nullptr) {
        qFatal("the game window has no history view");
    }
    return *view;
}

// Real input through the window system, so that it lands where the player's would: on the
// focused control, or on the control under the pointer.
void Key(GameWindow& window, int key)
{
    QTest::keyClick(window.windowHandle(), static_cast<Qt::Key>(key));
}

// A wheel turn as the window system delivers it: to the control under the pointer first, then,
// when that control does not take it, on to the controls below it.
void Wheel(QWidget& window, int turn, QPoint at)
{
    QWheelEvent wheel(at, window.mapToGlobal(at), QPoint(), QPoint(0, turn), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    // Sent as the window system's own: sendEvent() would mark it as the program's, and those
    // stop at the first control.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QCoreApplication::instance()->notify(window.windowHandle(), &wheel);
}

void Click(GameWindow& window, QPoint at)
{
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, at);
}

// Everything the history must leave alone, in a form QCOMPARE can show.
QStringList Snapshot(const TestGame& t)
{
    const GameState& s = t.game.state;
    const GameWindow& w = *t.game.mainForm.Get();
    QStringList state = {
        QStringLiteral("Clicked %1 Answer %2 SkipOpening %3 NoMusic %4 MidiName %5 Roll %6/%7")
            .arg(s.Clicked).arg(s.Answer).arg(s.SkipOpening).arg(s.NoMusic).arg(s.MidiName).arg(s.RollRunning).arg(s.RollTick),
        QStringLiteral("caption ") + w.windowTitle(),
        QStringLiteral("scene %1 icon %2").arg(w.Image1->Picture().cacheKey()).arg(w.Image2->Picture().cacheKey()),
        QStringLiteral("name ") + w.Label1->text(),
        QStringLiteral("line ") + w.Label2->text(),
        QStringLiteral("Timer1 %1 %2 Timer2 %3").arg(w.Timer1->isActive()).arg(w.Timer1->interval()).arg(w.Timer2->isActive()),
        QStringLiteral("music ") + t.log.join(QLatin1Char('|')),
    };
    for (std::int16_t points : s.Affection) {
        state << QString::number(points);
    }
    for (const QPushButton* button : w.Command1) {
        state << button->text() + (button->isVisible() ? QStringLiteral(" shown") : QStringLiteral(" hidden"));
    }
    return state;
}

// The player of the quiz: reads every line with a click on the text and picks answer
// (question number mod 3); notes what the window showed at each answer. `atWait` runs once,
// at the first line wait or answer wait it is meant for, before the player acts there.
class Player : public QObject {
public:
    Player(TestGame& t, std::function<bool(bool atAnswer)> atWait = {}) : m_t(t), m_atWait(std::move(atWait))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { Act(); });
        m_timer.start(2);
    }

    struct Picked {
        QString question;
        QString answer;
    };
    std::vector<Picked> picked;

private:
    void Act()
    {
        GameWindow* window = m_t.game.mainForm.Get();
        if (window == nullptr || !window->isVisible() || !m_t.game.history.Waiting()) {
            return;
        }
        const bool atAnswer = !window->Command1[0]->isHidden();
        if (m_atWait && m_atWait(atAnswer)) {
            m_atWait = {};
        }
        if (atAnswer) {
            const std::size_t pick = picked.size() % 3;
            picked.push_back({window->Label2->text(), window->Command1[pick]->text()});
            Click(*window, window->Command1[pick]->geometry().center());
        } else {
            Click(*window, window->Label2->geometry().center());
        }
    }

    TestGame& m_t;
    std::function<bool(bool)> m_atWait;
    QTimer m_timer;
};

void StartGame(TestGame& t)
{
    InitNewGame(t.game.state);
    t.game.state.MidiName = QStringLiteral("M02S.mid");
    t.game.mainForm.Show();
    QVERIFY(QTest::qWaitForWindowExposed(t.game.mainForm.Get()));
    t.game.mainForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.game.mainForm.Get()));
}

} // namespace

class HistoryInPlayTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a history that misses or alters a line, loses the brackets of narration, or
    // loses a question's header or the answer picked for it.
    void theHistoryHoldsExactlyWhatTheWindowShowed()
    {
        TestGame t;
        t.game.history.AddLine(QStringLiteral("前の"), QStringLiteral("ゲーム")); // a finished game's
        StartGame(t);
        Player player(t);
        SayLine(t.game, 10, QStringLiteral("寝坊した"), QStringLiteral("S31"), QStringLiteral("京都大学"));
        TeaLine(t.game, 3, QStringLiteral("おはよう"));
        PlayQuiz(t.game);

        std::vector<HistoryEntry> expected = {
            {QString(), QString(), QStringLiteral("（寝坊した）"), QString()},
            {QString(), t.game.state.CastName[3], QStringLiteral("おはよう"), QString()},
        };
        for (const Step& step : LoadChapter(QStringLiteral("quiz_intro.txt")).steps) {
            if (step.kind == Step::Kind::Line) {
                expected.push_back({QString(), t.game.state.CastName[static_cast<std::size_t>(step.speaker)], step.text, QString()});
            }
        }
        QCOMPARE(player.picked.size(), std::size_t{10});
        for (std::size_t i = 0; i < player.picked.size(); ++i) {
            expected.push_back({QuestionHeader(static_cast<int>(i) + 1), QStringLiteral("ぬるが7721"),
                                player.picked[i].question, player.picked[i].answer});
        }
        QCOMPARE(t.game.history.Entries().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const HistoryEntry& entry = t.game.history.Entries()[i];
            QCOMPARE(entry.heading, expected[i].heading);
            QCOMPARE(entry.speaker, expected[i].speaker);
            QCOMPARE(entry.text, expected[i].text);
            QCOMPARE(entry.answer, expected[i].answer);
        }

        // The next game starts with an empty history.
        t.game.mainForm.Unload();
        t.game.mainForm.Show();
        QVERIFY(t.game.history.Entries().empty());
    }

    // Catches a history that reads on, answers, or changes the game while it is open or closed,
    // and input that leaks through it to the game window.
    void openingAndClosingTheHistoryChangesNothing_data()
    {
        QTest::addColumn<bool>("atAnswer");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("close");
        QTest::newRow("line wait: wheel up, Escape") << false << "wheel" << "Escape";
        QTest::newRow("line wait: Page Up, Enter") << false << "PageUp" << "Enter";
        QTest::newRow("line wait: Up, a click on the text") << false << "Up" << "click";
        QTest::newRow("line wait: Page Up, a double-click on the text") << false << "PageUp" << "doubleclick";
        QTest::newRow("line wait: wheel up, the close button") << false << "wheel" << "button";
        QTest::newRow("line wait: Page Up, wheel down past the end") << false << "PageUp" << "wheeldown";
        QTest::newRow("line wait: Up, Page Down past the end") << false << "Up" << "PageDown";
        QTest::newRow("answer wait: wheel up, Escape") << true << "wheel" << "Escape";
        QTest::newRow("answer wait: Page Up, a click on the text") << true << "PageUp" << "click";
        QTest::newRow("answer wait: Up, the close button") << true << "Up" << "button";
        QTest::newRow("answer wait: wheel up, Page Down past the end") << true << "wheel" << "PageDown";
    }
    void openingAndClosingTheHistoryChangesNothing()
    {
        QFETCH(bool, atAnswer);
        QFETCH(QString, open);
        QFETCH(QString, close);
        TestGame t;
        StartGame(t);
        QString failure = QStringLiteral("the history was never tried");
        Player player(t, [&](bool answerWait) {
            if (answerWait != atAnswer) {
                return false;
            }
            failure.clear();
            GameWindow& w = *t.game.mainForm.Get();
            HistoryView& view = ViewOf(w);
            const QStringList before = Snapshot(t);
            const QPoint middle = w.Image1->geometry().center();
            if (open == QStringLiteral("wheel")) {
                Wheel(w, 120, middle);
            } else {
                Key(w, open == QStringLiteral("Up") ? Qt::Key_Up : Qt::Key_PageUp);
            }
            if (!view.IsOpen()) {
                failure = QStringLiteral("the history did not open");
                return true;
            }
            QScrollBar* bar = view.Text()->verticalScrollBar();
            if (bar->value() != bar->maximum()) {
                failure = QStringLiteral("the history did not open at the newest line");
            }
            // Letters, digits, Space and a click on the heading would read on in the game window.
            Key(w, Qt::Key_A);
            Key(w, Qt::Key_Space);
            Key(w, Qt::Key_Up);
            Wheel(w, 120, middle);
            if (close == QStringLiteral("Escape")) {
                Key(w, Qt::Key_Escape);
            } else if (close == QStringLiteral("Enter")) {
                Key(w, Qt::Key_Return);
            } else if (close == QStringLiteral("click")) {
                Click(w, view.Text()->geometry().center());
            } else if (close == QStringLiteral("doubleclick")) {
                QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {}, view.Text()->geometry().center());
            } else if (close == QStringLiteral("button")) {
                Click(w, view.CloseButton()->geometry().center());
            } else if (close == QStringLiteral("wheeldown")) {
                bar->setValue(bar->maximum());
                Wheel(w, -120, view.Text()->geometry().center());
            } else {
                bar->setValue(bar->maximum());
                Key(w, Qt::Key_PageDown);
            }
            QCoreApplication::processEvents();
            if (view.IsOpen()) {
                failure = QStringLiteral("the history did not close");
            } else if (Snapshot(t) != before) {
                failure = QStringLiteral("the game changed:\n") + before.join('\n') + QStringLiteral("\nbecame\n") +
                          Snapshot(t).join('\n');
            }
            return true;
        });
        PlayQuiz(t.game);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QVERIFY(!ViewOf(*t.game.mainForm.Get()).IsOpen());
        // The quiz went on as ever: ten answers picked by the player, no more, no fewer.
        QCOMPARE(player.picked.size(), std::size_t{10});
    }

    // Catches a history that opens where the game does not wait for a line or an answer.
    void theHistoryDoesNotOpenDuringTheLogoTheTitleOrTheRoll_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::newRow("the logo") << "logo";
        QTest::newRow("the title screen") << "title";
        QTest::newRow("the staff roll") << "roll";
    }
    void theHistoryDoesNotOpenDuringTheLogoTheTitleOrTheRoll()
    {
        QFETCH(QString, screen);
        TestGame t;
        QWidget* window = nullptr;
        if (screen == QStringLiteral("logo")) {
            t.game.Demoform.Show();
            window = t.game.Demoform.Get();
        } else if (screen == QStringLiteral("title")) {
            t.game.openForm.Show();
            window = t.game.openForm.Get();
        } else {
            StartGame(t);
            window = t.game.mainForm.Get();
        }
        QVERIFY(QTest::qWaitForWindowExposed(window));
        bool tried = false;
        const auto tryToOpen = [&] {
            for (const Qt::Key key : {Qt::Key_Up, Qt::Key_PageUp}) {
                QTest::keyClick(window->windowHandle(), key);
            }
            Wheel(*window, 120, window->rect().center());
            tried = true;
            t.game.state.RollRunning = 0; // ends the roll's wait
        };
        if (screen == QStringLiteral("roll")) {
            QTimer::singleShot(20, window, tryToOpen);
            PlayStaffRoll(t.game);
        } else {
            tryToOpen();
        }
        QVERIFY(tried);
        const QWidgetList widgets = QApplication::allWidgets();
        QVERIFY(std::none_of(widgets.begin(), widgets.end(), [](QWidget* widget) {
            return qobject_cast<HistoryView*>(widget) != nullptr && widget->isVisible();
        }));
    }
};

QTEST_MAIN(HistoryInPlayTest)
#include "test_history_in_play.moc"
