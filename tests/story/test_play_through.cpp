#include "fakes/PictureFolder.h"
#include "fakes/QuizPlayer.h"
#include "fakes/TestGame.h"
#include "quiz/PlayQuiz.h"
#include "quiz/QuizSource.h"
#include "record/ClearRecord.h"
#include "story/Chapters.h"

#include <QDirIterator>
#include <QTest>
#include <QTimer>

using namespace velmora;
using velmora::testing::QuestionsFavouring;
using velmora::testing::TestGame;
using Player = velmora::testing::QuizPlayer;

class PlayThroughTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Every picture the game shows, from the data folder the build laid out.
        m_data = QDir::currentPath();
        QVERIFY(QFile::exists(m_data + QStringLiteral("/S40.vlq")));
    }

    // From the title to the record: every ending is reached from points that favour its heroine
    // (heroine 7 when nobody scores), shows her picture, and adds her bit to the record.
    void eachEndingIsReachedAndRecorded_data()
    {
        QTest::addColumn<int>("heroine");
        QTest::addColumn<bool>("withOpening");
        QTest::newRow("heroine 1, with the opening chapter") << 1 << true;
        for (int heroine = 2; heroine <= 6; ++heroine) {
            QTest::addRow("heroine %d", heroine) << heroine << false;
        }
        QTest::newRow("heroine 7, when no answer scores") << 7 << false;
    }
    void eachEndingIsReachedAndRecorded()
    {
        QFETCH(int, heroine);
        QFETCH(bool, withOpening);
        velmora::testing::PictureFolder folder;
        QDirIterator pictures(m_data, {QStringLiteral("*.vlq")});
        while (pictures.hasNext()) {
            const QString path = pictures.next();
            QVERIFY(QFile::copy(path, QFileInfo(path).fileName()));
        }
        folder.WriteBytes(QString::fromLatin1(kQuestionFileName), QuestionsFavouring(heroine == 7 ? 1 : heroine));

        TestGame t;
        t.settings.Write(QStringLiteral("Tarnel"), QStringLiteral("Velmora"), QStringLiteral("Exp"), QStringLiteral(" 2"));
        Player player(t.game, heroine != 7);
        InitNewGame(t.game.state);
        t.game.mainForm.Show();
        if (withOpening) {
            OpeningChapter(t.game);
        }
        PlayQuiz(t.game);
        RoadToTeaHouse(t.game);
        TeaHouseEnding(t.game);

        QVERIFY(t.log.contains(QStringLiteral("heroine %1").arg(heroine)));
        const auto expected = static_cast<std::int16_t>(2 | (1 << heroine));
        QCOMPARE(ReadClearRecordText(t.settings), ClearRecordText(expected));
        GameWindow& window = *t.game.mainForm.Get();
        QVERIFY(window.Image3->isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Velmora 【茶屋\u3000たあねる庵】"));
        QCOMPARE(t.game.state.MidiName, QStringLiteral("M03S.mid"));
        QVERIFY(window.Command1[0]->isHidden());
        // The tea-house music was switched to at once, with nothing between the stop and the start.
        const qsizetype start = t.log.lastIndexOf(QStringLiteral("open M03S.mid"));
        QVERIFY(start > 1);
        QCOMPARE(t.log[start - 1], QStringLiteral("close"));
    }

    // The quiz gives points only for scoring answers: ten of them whose codes name two heroines
    // add up to twenty points; ten other answers change only slot 0.
    void theQuizGivesPointsOnlyForScoringAnswers_data()
    {
        QTest::addColumn<bool>("scoring");
        QTest::newRow("ten scoring answers") << true;
        QTest::newRow("ten other answers") << false;
    }
    void theQuizGivesPointsOnlyForScoringAnswers()
    {
        QFETCH(bool, scoring);
        velmora::testing::PictureFolder folder;
        QVERIFY(QFile::copy(m_data + QStringLiteral("/S31.vlq"), QStringLiteral("S31.vlq")));
        folder.WriteBytes(QString::fromLatin1(kQuestionFileName), QuestionsFavouring(4));
        TestGame t;
        Player player(t.game, scoring);
        InitNewGame(t.game.state);
        t.game.state.Affection[0] = 5;
        t.game.mainForm.Show();
        PlayQuiz(t.game);
        const std::array<std::int16_t, 7> expected =
            scoring ? std::array<std::int16_t, 7>{5, 0, 0, 0, 20, 0, 0} : std::array<std::int16_t, 7>{25, 0, 0, 0, 0, 0, 0};
        QCOMPARE(t.game.state.Affection, expected);
        QCOMPARE(t.game.mainForm->windowTitle(), QStringLiteral("Velmora 【【問題 10】】"));
        QCOMPARE(t.random.clockSeeds, 1);
    }

private:
    QString m_data;
};

QTEST_MAIN(PlayThroughTest)
#include "test_play_through.moc"
