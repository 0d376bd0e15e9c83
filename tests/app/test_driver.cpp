#include "app/Driver.h"
#include "fakes/PictureFolder.h"
#include "fakes/QuizPlayer.h"
#include "fakes/TestGame.h"
#include "record/ClearRecord.h"

#include <QApplication>
#include <QDirIterator>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

// Plays the part of the player from inside the driver's waits: every few milliseconds it looks
// at what is on screen and does the next thing its script says.
class ScriptedPlayer : public QObject {
public:
    using Step = std::function<bool(Game&)>; // true when the step is done

    ScriptedPlayer(Game& game, std::vector<Step> steps) : m_game(game), m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_next < m_steps.size() && m_steps[m_next](m_game)) {
                ++m_next;
            }
        });
        m_timer.start(1);
    }

    std::size_t StepsDone() const { return m_next; }

private:
    Game& m_game;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QTimer m_timer;
};

bool FinishDemo(Game& game)
{
    if (!game.Demoform.Visible()) {
        return false;
    }
    for (int tick = 0; tick <= DemoWindow::kLastStep; ++tick) {
        game.Demoform->Timer1_Timer();
    }
    return true;
}

ScriptedPlayer::Step PressTitleButton(int index)
{
    return [index](Game& game) {
        if (!game.openForm.Visible()) {
            return false;
        }
        QTest::mouseClick(game.openForm.Get(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(game.openForm->Command1[static_cast<std::size_t>(index)], Qt::LeftButton);
        return true;
    };
}

ScriptedPlayer::Step CloseFromOutside(std::function<QWidget*(Game&)> window)
{
    return [window](Game& game) {
        QWidget* target = window(game);
        if (target == nullptr || !target->isVisible()) {
            return false;
        }
        target->close();
        return true;
    };
}

QWidget* TitleScreen(Game& game) { return game.openForm.Get(); }

// The next game's questions favour `heroine`; heroine 7 comes when no answer scores. The first
// game starts from the beginning, the others from the quiz, whose buttons a record brings.
ScriptedPlayer::Step PlayForHeroine(int heroine, testing::QuizPlayer& player, const testing::PictureFolder& folder)
{
    return [heroine, &player, &folder](Game& game) {
        if (!game.openForm.Visible()) {
            return false;
        }
        folder.WriteBytes(QString::fromLatin1(kQuestionFileName),
                          testing::QuestionsFavouring(heroine == 7 ? 1 : heroine));
        player.PickScoringAnswers(heroine != 7);
        QTest::mouseClick(game.openForm.Get(), Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseClick(game.openForm->Command1[heroine == 1 ? 0 : 2], Qt::LeftButton);
        return true;
    };
}

// The driver's own order, with every stretch of play a stand-in that only leaves its name in
// the log (the driver traces the names itself).
PlayParts StandIns()
{
    const auto nothing = [](Game&) {};
    return PlayParts{nothing, nothing, nothing, nothing, nothing, nothing};
}

} // namespace

class DriverTest : public QObject {
    Q_OBJECT

    QString m_data;

private slots:
    void initTestCase()
    {
        // The game's pictures, from the data folder the build laid out.
        m_data = QDir::currentPath();
        QVERIFY(QFile::exists(m_data + QStringLiteral("/S40.vlq")));
    }

    // Catches a driver that runs a step out of order, forgets to unload a window between games
    // or runs a close handler for the never-loaded game window on the first pass.
    void twoCompleteGamesRunInTheDesignedOrder()
    {
        TestGame t;
        ScriptedPlayer player(t.game, {FinishDemo, PressTitleButton(0), PressTitleButton(3),
                                       CloseFromOutside(TitleScreen)});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, Main(t.game, StandIns()));

        const QStringList expected = {
            "load Demoform", "unloaded Demoform", "CheckClearRecord",
            // first pass: no unload of mainForm, which was never loaded
            "load openForm", "close", "open M00S.mid", "play",
            "openForm closed by code", "close", "unloaded openForm",
            "InitNewGame", "load mainForm", "OpeningChapter", "PlayQuiz", "RoadToTeaHouse",
            "TeaHouseEnding", "PlayStaffRoll",
            "mainForm closed by code", "close", "unloaded mainForm",
            // second game, started from the quiz without music: no opening chapter
            "load openForm", "close", "open M00S.mid", "play",
            "openForm closed by code", "close", "unloaded openForm",
            "InitNewGame", "load mainForm", "PlayQuiz", "RoadToTeaHouse", "TeaHouseEnding",
            "PlayStaffRoll",
            "mainForm closed by code", "close", "unloaded mainForm",
            // the third title screen stays silent: the last game was started without music
            "load openForm", "openForm closed from outside", "close",
        };
        QCOMPARE(t.log, expected);
        QCOMPARE(t.game.state.SkipOpening, kTrue);
        QCOMPARE(t.game.state.NoMusic, kTrue);
    }

    // Catches a title screen that keeps its revealed buttons from one appearance to the next.
    void aTitleScreenShownAgainStartsFromItsDesignState()
    {
        TestGame t;
        bool checked = false;
        int visibleButtons = -1;
        bool presentEnabled = true;
        ScriptedPlayer player(t.game, {FinishDemo, PressTitleButton(1),
                                       [&](Game& game) {
                                           if (!game.openForm.Visible()) {
                                               return false;
                                           }
                                           visibleButtons = 0;
                                           for (QPushButton* button : game.openForm->Command1) {
                                               visibleButtons += button->isHidden() ? 0 : 1;
                                           }
                                           presentEnabled = game.openForm->Command1[4]->isEnabled();
                                           checked = true;
                                           return true;
                                       },
                                       CloseFromOutside(TitleScreen)});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, Main(t.game, StandIns()));
        QVERIFY(checked);
        QCOMPARE(visibleButtons, 0);
        QVERIFY(!presentEnabled);
    }

    // Catches a record that loses an ending between games, an ending that can no longer be
    // reached once others are recorded, and a title screen that never opens its last button:
    // seven games from an empty record, one per heroine, through the real chapters (the timed
    // staff roll, tested on its own, stands aside).
    void sevenGamesInARowSeeEveryEndingAndOpenThePresentMessage()
    {
        testing::PictureFolder folder;
        QDirIterator pictures(m_data, {QStringLiteral("*.vlq")});
        while (pictures.hasNext()) {
            const QString path = pictures.next();
            QVERIFY(QFile::copy(path, QFileInfo(path).fileName()));
        }
        TestGame t;
        testing::QuizPlayer quizPlayer(t.game, true);
        PlayParts parts = TheGame();
        parts.PlayStaffRoll = [](Game&) {};

        QStringList records;
        bool presentEnabled = false;
        QStringList messages;
        std::vector<ScriptedPlayer::Step> steps{FinishDemo};
        for (int heroine = 1; heroine <= 7; ++heroine) {
            steps.push_back([&records, &t](Game& game) {
                if (!game.openForm.Visible()) {
                    return false;
                }
                records << t.settings.Read(QStringLiteral("Tarnel"), QStringLiteral("Velmora"), QStringLiteral("Exp"),
                                           QStringLiteral("none"));
                return true;
            });
            steps.push_back(PlayForHeroine(heroine, quizPlayer, folder));
        }
        // The message box is modal: a timer outside the steps reads and closes it.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        closer.start(5);
        bool revealed = false;
        steps.push_back([&](Game& game) {
            if (!game.openForm.Visible()) {
                return false;
            }
            if (!revealed) {
                revealed = true;
                QTest::mouseClick(game.openForm.Get(), Qt::LeftButton, {}, QPoint(20, 20));
                QPushButton* present = game.openForm->Command1[4];
                presentEnabled = present->isVisible() && present->isEnabled();
                QTimer::singleShot(0, present, [present] { QTest::mouseClick(present, Qt::LeftButton); });
                return false;
            }
            return !messages.isEmpty() && QApplication::activeModalWidget() == nullptr;
        });
        steps.push_back(CloseFromOutside(TitleScreen));
        ScriptedPlayer player(t.game, steps);
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, Main(t.game, parts));

        QCOMPARE(player.StepsDone(), steps.size());
        for (int heroine = 1; heroine <= 7; ++heroine) {
            QVERIFY2(t.log.contains(QStringLiteral("heroine %1").arg(heroine)), qPrintable(QString::number(heroine)));
        }
        QCOMPARE(records, (QStringList{"none", " 2", " 6", " 14", " 30", " 62", " 126"}));
        QCOMPARE(ReadClearRecordText(t.settings), QStringLiteral(" 254"));
        QVERIFY(presentEnabled);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.constFirst().startsWith(QStringLiteral("全員クリアおめでとうございます。")));
    }

    // Catches an outside close that lets the driver go on to another step.
    void closingTheTitleScreenEndsTheProgramAtOnce()
    {
        TestGame t;
        ScriptedPlayer player(t.game, {FinishDemo, CloseFromOutside(TitleScreen)});
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, Main(t.game, StandIns()));
        QCOMPARE(t.log.last(), QStringLiteral("close"));
        QVERIFY(!t.log.contains(QStringLiteral("InitNewGame")));
    }

    // Catches a demo that never hides itself (the driver would wait forever) or hides early.
    void theDemoHidesItselfAfterItsLastStep()
    {
        TestGame t;
        t.game.Demoform.Show();
        for (int tick = 0; tick < DemoWindow::kLastStep; ++tick) {
            t.game.Demoform->Timer1_Timer();
            QVERIFY(t.game.Demoform.Visible());
        }
        t.game.Demoform->Timer1_Timer();
        QVERIFY(!t.game.Demoform.Visible());
        QVERIFY(!t.game.Demoform->Timer1->isActive());
    }
};

QTEST_MAIN(DriverTest)
#include "test_driver.moc"
