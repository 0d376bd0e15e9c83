#include "core/FatalError.h"
#include "quiz/Cp932.h"
#include "quiz/QuizSource.h"
#include "tests/quiz/QuizRecordPrinting.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include <array>

using namespace Qt::StringLiterals;

namespace {

const QString kSource = u"questions.txt"_s;

// A valid source as lines: block k (from 0) takes lines 6k+1 to 6k+6 (Q, A, B, C, P, blank).
QStringList SourceLines(int blocks = velmora::kQuizRecordCount)
{
    QStringList lines;
    for (int k = 0; k < blocks; ++k) {
        const QString n = QString::number(k + 1);
        lines << "Q: 第" + n + "問、京都でいちばん古いお寺は？" << "A: 答え" + n << "B: ほか" + n
              << "C: べつ" + n << u"P: 12"_s << QString();
    }
    return lines;
}

int LineOf(int block, int key)
{
    return block * 6 + key + 1;
}

QStringList WithLine(int block, int key, const QString& line)
{
    QStringList lines = SourceLines();
    lines[LineOf(block, key) - 1] = line;
    return lines;
}

QList<velmora::QuizRecord> Parse(const QString& text)
{
    velmora::Cp932Converter cp932;
    return velmora::ParseQuizSource(text, kSource, cp932);
}

// The questions the game ships, as the packer reads them.
QList<velmora::QuizRecord> GameQuestions()
{
    QFile file(QFINDTESTDATA("../../quiz/questions.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return Parse(QString::fromUtf8(file.readAll()));
}

// The unit an answer counts in ("段" of "171段", "基" of "約一万基"); empty for an answer that is
// not a count.
QString CounterOf(const QString& answer)
{
    const QString digit = u"0-9０-９〇一二三四五六七八九十百千万"_s;
    const QRegularExpression count("^[^" + digit + "]{0,4}[" + digit + "]+([^" + digit + "]{1,4})$");
    const QRegularExpressionMatch match = count.match(answer);
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

class QuizSourceTest : public QObject {
    Q_OBJECT

private slots:
    void acceptsTextsThatFit_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("answer");
        QTest::newRow("18 full-width characters") << u"A: 一二三四五六七八九十一二三四五六七八"_s
                                                 << u"一二三四五六七八九十一二三四五六七八"_s;
        QTest::newRow("36 half-width characters") << u"A: ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"_s
                                                 << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"_s;
        QTest::newRow("half-width katakana count as half")
            << u"A: ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶ"_s << u"ｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶｷｸｹｺｱｲｳｴｵｶ"_s;
        QTest::newRow("blanks around the text are not part of it") << u"A:\t  ２人で  "_s << u"２人で"_s;
        QTest::newRow("the full-width tilde") << u"A: 3～5人"_s << u"3～5人"_s;
    }

    void acceptsTextsThatFit()
    {
        QFETCH(QString, line);
        QFETCH(QString, answer);
        const QList<velmora::QuizRecord> records = Parse(WithLine(4, 1, line).join(u'\n'));
        QCOMPARE(records.size(), velmora::kQuizRecordCount);
        QCOMPARE(records[4].answers[0], answer);
    }

    void readsBlocksAroundCommentsBlankLinesAndLineEnds()
    {
        QStringList lines = SourceLines();
        lines.insert(6, u"   # a comment between blocks"_s);
        lines.insert(1, QString());
        const QString text = QChar(0xFEFF) + u"# heading\r\n"_s + lines.join(u"\r\n"_s);
        const QList<velmora::QuizRecord> records = Parse(text);
        QCOMPARE(records.size(), velmora::kQuizRecordCount);
        const velmora::QuizRecord expected{u"第1問、京都でいちばん古いお寺は？"_s, {u"答え1"_s, u"ほか1"_s, u"べつ1"_s}, u"12"_s};
        QCOMPARE(records[0], expected);
        QCOMPARE(records[29].answers[2], u"べつ30"_s);
    }

    void refusesABadSourceNamingTheLine_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");

        QStringList noC = SourceLines();
        noC.removeAt(LineOf(2, 3) - 1);
        QTest::newRow("a block without its C line") << noC << LineOf(2, 3) << u"expected the C: line"_s;
        QTest::newRow("an unknown key") << WithLine(0, 2, u"D: どれ"_s) << LineOf(0, 2) << u"found a D: line"_s;
        QTest::newRow("a line without a key") << WithLine(1, 0, u"京都の質問"_s) << LineOf(1, 0)
                                              << u"expected a line \"Q: ...\""_s;
        QTest::newRow("an empty answer") << WithLine(4, 1, u"A:  "_s) << LineOf(4, 1) << u"the answer is empty"_s;
        QTest::newRow("a point code naming heroine 8") << WithLine(5, 4, u"P: 28"_s) << LineOf(5, 4)
                                                       << u"\"28\" names heroine 8"_s;
        QTest::newRow("a point code naming heroine 7 first") << WithLine(5, 4, u"P: 70"_s) << LineOf(5, 4)
                                                             << u"names heroine 7"_s;
        QTest::newRow("a one-digit point code") << WithLine(6, 4, u"P: 1"_s) << LineOf(6, 4) << u"two digits"_s;
        QTest::newRow("a full-width point code") << WithLine(6, 4, u"P: １２"_s) << LineOf(6, 4) << u"two digits"_s;
        QTest::newRow("a wave dash that code page 932 would turn into a tilde")
            << WithLine(7, 2, u"B: 3〜5人"_s) << LineOf(7, 2) << u"(U+301C) has no code in code page 932"_s;
        QTest::newRow("a character outside code page 932")
            << WithLine(7, 0, u"Q: 好きな絵文字は😀"_s) << LineOf(7, 0) << u"(U+1F600)"_s;
        QTest::newRow("a question of 71 characters")
            << WithLine(8, 0, "Q: " + QString(u'あ').repeated(71)) << LineOf(8, 0) << u"71 characters"_s;
        QTest::newRow("an answer 19 full-width characters wide")
            << WithLine(8, 3, "C: " + QString(u'あ').repeated(19)) << LineOf(8, 3) << u"19 full-width"_s;
        QTest::newRow("an answer 37 half-width characters wide")
            << WithLine(8, 3, "C: " + QString(u'a').repeated(37)) << LineOf(8, 3) << u"18.5 full-width"_s;
        QTest::newRow("29 blocks") << SourceLines(29) << LineOf(28, 5) << u"holds 29 questions"_s;
        QTest::newRow("31 blocks") << SourceLines(31) << LineOf(30, 0) << u"a 31st question"_s;
        QTest::newRow("a last block without its P line")
            << SourceLines().mid(0, LineOf(29, 4) - 1) << LineOf(29, 0) << u"ends without its P: line"_s;
    }

    void refusesABadSourceNamingTheLine()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, line);
        QFETCH(QString, message);
        QString error;
        try {
            Parse(lines.join(u'\n'));
        } catch (const velmora::FatalError& fault) {
            error = fault.Message();
        }
        const QString where = kSource + ':' + QString::number(line) + ": ";
        QVERIFY2(error.startsWith(where), qPrintable(error + " is not at " + where));
        QVERIFY2(error.contains(message), qPrintable(error));
    }

    // The questions are drawn in random order, so one that calls itself the first (or the next,
    // or the last) is wrong in most quizzes.
    void noQuestionClaimsAPlaceInTheQuiz()
    {
        const QList<velmora::QuizRecord> questions = GameQuestions();
        QCOMPARE(questions.size(), velmora::kQuizRecordCount);
        for (const velmora::QuizRecord& record : questions) {
            for (const QString& word : {u"まずは"_s, u"最初"_s, u"第一問"_s, u"一問目"_s, u"次の問題"_s,
                                        u"最後の問題"_s, u"ラスト"_s, u"続いて"_s, u"ちなみに"_s}) {
                QVERIFY2(!record.question.contains(word), qPrintable(record.question));
            }
        }
    }

    // An answer that alone counts in another unit (本 among 基) gives the scoring answer away.
    void theThreeAnswersOfAQuestionCountInOneUnit()
    {
        int counted = 0;
        for (const velmora::QuizRecord& record : GameQuestions()) {
            const QString unit = CounterOf(record.answers[0]);
            QVERIFY2(CounterOf(record.answers[1]) == unit && CounterOf(record.answers[2]) == unit,
                     qPrintable(QStringList(record.answers.begin(), record.answers.end()).join(u" | ")));
            counted += unit.isEmpty() ? 0 : 1;
        }
        // 段, 年, 円玉, 基, メートル, 日間: the check has something to look at.
        QVERIFY2(counted >= 5, qPrintable(QString::number(counted)));
    }

    // A heroine named less often than the others is harder to reach in the tea house.
    void everyHeroineEarnsPointsFromEquallyManyAnswers()
    {
        std::array<int, 7> named{};
        for (const velmora::QuizRecord& record : GameQuestions()) {
            for (const QChar digit : record.pointCode) {
                ++named.at(static_cast<std::size_t>(digit.digitValue()));
            }
        }
        for (std::size_t heroine = 2; heroine <= 6; ++heroine) {
            QCOMPARE(named.at(heroine), named.at(1));
        }
        QVERIFY2(named.at(0) <= named.at(1), qPrintable(QString::number(named.at(0))));
    }

    void writesEveryFieldOnItsOwnLineInUpperCaseHex()
    {
        velmora::Cp932Converter cp932;
        const QList<velmora::QuizRecord> records{{u"あz"_s, {u"ア"_s, u"ｱ"_s, u"①"_s}, u"05"_s}};
        QCOMPARE(velmora::WriteQuestionFile(records, cp932),
                 QByteArray("000082A00000007A\r\n00008341\r\n000000B1\r\n00008740\r\n05\r\n"));
    }
};

QTEST_GUILESS_MAIN(QuizSourceTest)
#include "test_quiz_source.moc"
