#include "fakes/SequenceRandom.h"
#include "quiz/PlayQuiz.h"

#include <QTest>

#include <set>

using namespace velmora;
using velmora::testing::SequenceRandom;

namespace {

QuestionPool NumberedPool()
{
    QuestionPool pool;
    for (int r = 1; r <= kQuizRecordCount; ++r) {
        pool.records[static_cast<std::size_t>(r - 1)] =
            QuizRecord{QStringLiteral("Q%1").arg(r),
                       {QStringLiteral("score%1").arg(r), QStringLiteral("b%1").arg(r), QStringLiteral("c%1").arg(r)},
                       QStringLiteral("%1").arg(r % 6 + 1)};
    }
    return pool;
}

// A generator that keeps answering the same draw: the quiz must keep drawing until it finds a
// record not yet asked, however long that takes.
class StuckThenFreeRandom : public RandomSource {
public:
    void SeedFromClock() override {}
    double Next() override { return m_calls++ < 50 ? 0.0 : std::fmod(0.1 * static_cast<double>(m_calls), 1.0); }

private:
    int m_calls = 0;
};

} // namespace

class DrawQuestionsTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a quiz that asks a record twice, or shows an answer with another record's code.
    void aQuizAsksTenDifferentRecordsWithTheirOwnAnswers()
    {
        const QuestionPool pool = NumberedPool();
        for (unsigned seed = 1; seed <= 200; ++seed) {
            SequenceRandom random(seed);
            const auto questions = DrawQuestions(pool, random);
            std::set<int> records;
            for (const QuizQuestion& q : questions) {
                records.insert(q.record);
                const QuizRecord& source = pool.records[static_cast<std::size_t>(q.record - 1)];
                QCOMPARE(q.text, source.question);
                for (std::size_t i = 0; i < 3; ++i) {
                    const bool scoring = q.answers[i] == source.answers[0];
                    QCOMPARE(q.codes[i], scoring ? source.pointCode : QStringLiteral("00"));
                }
                QVERIFY(std::is_permutation(q.answers.begin(), q.answers.end(), source.answers.begin()));
            }
            QCOMPARE(records.size(), std::size_t{kQuestionsPerQuiz});
        }
    }

    // The scoring answer's place is drawn anew: over many quizzes it stands on every button.
    void theScoringAnswerLandsOnEveryButton()
    {
        const QuestionPool pool = NumberedPool();
        std::array<int, 3> onButton{};
        for (unsigned seed = 1; seed <= 100; ++seed) {
            SequenceRandom random(seed);
            for (const QuizQuestion& q : DrawQuestions(pool, random)) {
                for (std::size_t i = 0; i < 3; ++i) {
                    onButton[i] += q.answers[i].startsWith(QStringLiteral("score")) ? 1 : 0;
                }
            }
        }
        QCOMPARE(onButton[0] + onButton[1] + onButton[2], 1000);
        for (const int count : onButton) {
            QVERIFY2(count > 200, qPrintable(QStringLiteral("%1 %2 %3").arg(onButton[0]).arg(onButton[1]).arg(onButton[2])));
        }
    }

    void drawsRepeatUntilAnUnaskedRecordComesUp()
    {
        StuckThenFreeRandom random;
        const auto questions = DrawQuestions(NumberedPool(), random);
        std::set<int> records;
        for (const QuizQuestion& q : questions) {
            records.insert(q.record);
        }
        QCOMPARE(records.size(), std::size_t{kQuestionsPerQuiz});
        QCOMPARE(questions[0].record, 1);
    }

    void questionHeadersCarryOneBlankBeforeTheNumber_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("header");
        QTest::newRow("1") << 1 << QStringLiteral("【問題 1】");
        QTest::newRow("10") << 10 << QStringLiteral("【問題 10】");
    }
    void questionHeadersCarryOneBlankBeforeTheNumber()
    {
        QFETCH(int, number);
        QFETCH(QString, header);
        QCOMPARE(QuestionHeader(number), header);
    }
};

QTEST_GUILESS_MAIN(DrawQuestionsTest)
#include "test_draw_questions.moc"
