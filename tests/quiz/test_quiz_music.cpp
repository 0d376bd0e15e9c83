#include "fakes/PictureFolder.h"
#include "fakes/QuizPlayer.h"
#include "fakes/TestGame.h"
#include "quiz/PlayQuiz.h"

#include <QTest>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

// The music commands of a log, in order, up to the first answer given.
QStringList MusicBeforeFirstAnswer(const QStringList& log)
{
    QStringList music;
    for (const QString& entry : log) {
        if (entry == QStringLiteral("answer")) {
            break;
        }
        if (entry == QStringLiteral("close") || entry == QStringLiteral("play") || entry.startsWith(QStringLiteral("open "))) {
            music << entry;
        }
    }
    return music;
}

} // namespace

class QuizMusicTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a quiz that lets the story's piece play on into the questions (a LoopMidi without
    // the StopMidi before it), that starts its piece only after the first answer, or that sends
    // an open or a play with music off.
    void theQuizSwitchesFromTheStoryPieceToItsOwnAsTheQuestionsBegin_data()
    {
        QTest::addColumn<std::int16_t>("noMusic");
        QTest::addColumn<QStringList>("music");
        QTest::newRow("music on: the story's piece closed, the quiz's opened and played")
            << kFalse << QStringList{"close", "open M02S.mid", "play", "close", "close", "open M01S.mid", "play"};
        QTest::newRow("music off: only closes") << kTrue << QStringList{"close"};
    }
    void theQuizSwitchesFromTheStoryPieceToItsOwnAsTheQuestionsBegin()
    {
        QFETCH(std::int16_t, noMusic);
        QFETCH(QStringList, music);
        const QString data = QDir::currentPath();
        testing::PictureFolder folder;
        QVERIFY(QFile::copy(data + QStringLiteral("/S31.vlq"), QStringLiteral("S31.vlq")));
        folder.WriteBytes(QString::fromLatin1(kQuestionFileName), testing::QuestionsFavouring(2));
        TestGame t;
        testing::QuizPlayer player(t.game, true);
        InitNewGame(t.game.state);
        t.game.state.NoMusic = noMusic;
        // Where the opening chapter leaves the music: its piece playing.
        t.game.state.MidiName = QStringLiteral("M02S.mid");
        t.game.music.LoopMidi();
        t.game.mainForm.Show();
        PlayQuiz(t.game);

        QCOMPARE(MusicBeforeFirstAnswer(t.log), music);
        QCOMPARE(t.log.count(QStringLiteral("answer")), 10);
        QCOMPARE(t.game.state.MidiName, QStringLiteral("M01S.mid"));
        QCOMPARE(t.game.music.MidiPlaying(), noMusic == kFalse);
        if (noMusic != kFalse) {
            QVERIFY(!t.log.contains(QStringLiteral("play")));
        }
    }
};

QTEST_MAIN(QuizMusicTest)
#include "test_quiz_music.moc"
