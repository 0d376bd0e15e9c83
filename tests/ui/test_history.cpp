#include "ui/History.h"

#include <QTest>
#include <QTextDocument>

#include <stdexcept>

using namespace velmora;

class HistoryTest : public QObject {
    Q_OBJECT

private slots:
    // Catches an answer filed under a story line, or a second pick overwriting the first.
    void aQuestionKeepsItsHeaderAndTheFirstAnswerPicked()
    {
        History history;
        history.AddLine(QStringLiteral("天野佐智"), QStringLiteral("おはよう"));
        history.AddAnswer(QStringLiteral("迷子")); // no question yet
        history.AddLine(QStringLiteral("ぬるが7721"), QStringLiteral("第一問"));
        history.MarkQuestion(QStringLiteral("【問題 1】"));
        history.AddAnswer(QStringLiteral("約13メートル"));
        history.AddAnswer(QStringLiteral("約3メートル"));
        const std::vector<HistoryEntry> expected = {
            {QString(), QStringLiteral("天野佐智"), QStringLiteral("おはよう"), QString()},
            {QStringLiteral("【問題 1】"), QStringLiteral("ぬるが7721"), QStringLiteral("第一問"), QStringLiteral("約13メートル")},
        };
        QVERIFY(history.Entries() == expected);
        history.Clear();
        QVERIFY(history.Entries().empty());
    }

    // Catches text that the view would read as markup, so that a line shows other than it was.
    void theViewTextShowsEveryPieceAsItWasShown()
    {
        const std::vector<HistoryEntry> entries = {
            {QString(), QString(), QStringLiteral("（<b>&考え</b>）"), QString()},
            {QStringLiteral("【問題 2】"), QStringLiteral("ぬるが7721"), QStringLiteral("銀閣寺は？"), QStringLiteral("a<b")},
        };
        QTextDocument document;
        document.setHtml(HistoryRichText(entries));
        QCOMPARE(document.toPlainText(),
                 QStringLiteral("（<b>&考え</b>）\n【問題 2】\nぬるが7721\n銀閣寺は？\n→ 答え：a<b"));
    }

    // Catches a wait that, left by an error or the end of the game, keeps the history openable.
    void onlyAWaitLetsTheHistoryOpenAndLeavingItByAnErrorEndsIt()
    {
        History history;
        QVERIFY(!history.Waiting());
        try {
            const HistoryWait reading(history);
            QVERIFY(history.Waiting());
            throw std::runtime_error("the game ended");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(!history.Waiting());
    }
};

QTEST_MAIN(HistoryTest)
#include "test_history.moc"
