#include "core/FatalError.h"
#include "story/Chapters.h"
#include "story/Script.h"
#include "ui/Fonts.h"
#include "ui/LineBreaking.h"
#include "ui/LineDisplay.h"

#include <QDir>
#include <QTest>

using namespace velmora;

namespace {

// A chapter written as one line of words: "music:<file>", "stop", "P<heroine>" for a tea-house
// picture, and the speaker's number for a line, with "@<code>/<title>" before each line whose
// scene differs from the line before it.
QString Outline(const Chapter& chapter)
{
    QStringList words;
    QString scene;
    for (const Step& step : chapter.steps) {
        switch (step.kind) {
        case Step::Kind::Music:
            words << QStringLiteral("music:") + step.music;
            break;
        case Step::Kind::StopMusic:
            words << QStringLiteral("stop");
            break;
        case Step::Kind::TeaPicture:
            words << QStringLiteral("P%1").arg(step.heroine);
            break;
        case Step::Kind::Line:
            if (step.pictureCode + '/' + step.locationTitle != scene) {
                scene = step.pictureCode + '/' + step.locationTitle;
                words << QStringLiteral("@") + scene;
            }
            words << QString::number(step.speaker);
            break;
        case Step::Kind::TeaLine:
            words << QStringLiteral("t%1").arg(step.speaker);
            break;
        }
    }
    return words.join(' ');
}

std::vector<std::pair<QString, Chapter>> EveryScript()
{
    std::vector<std::pair<QString, Chapter>> all;
    for (const char* name : {"opening.txt", "quiz_intro.txt", "road.txt"}) {
        all.emplace_back(QString::fromLatin1(name), LoadChapter(QString::fromLatin1(name)));
    }
    for (std::int16_t heroine = 1; heroine <= 7; ++heroine) {
        all.emplace_back(EndingScript(heroine), LoadChapter(EndingScript(heroine)));
    }
    return all;
}

// Lines as the plain rule makes them: each line takes units while the line so far with the next
// one measures within the width; a unit that does not fit opens the next line, pulling down
// what may not end or start a line. Slow, but plainly right.
QStringList BreakByEveryPrefix(const QString& text, const QFontMetricsF& metrics, qreal width)
{
    const QList<uint> codes = text.toUcs4();
    QStringList units;
    for (qsizetype i = 0; i < codes.size();) {
        const auto word = [](uint c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
        qsizetype end = i + 1;
        while (word(codes[i]) && end < codes.size() && word(codes[end])) {
            ++end;
        }
        units << QString::fromUcs4(reinterpret_cast<const char32_t*>(codes.constData() + i), end - i);
        i = end;
    }
    std::vector<QStringList> rows(1);
    for (const QString& unit : units) {
        if (rows.back().isEmpty() || metrics.horizontalAdvance(rows.back().join(QString()) + unit) <= width) {
            rows.back() << unit;
            continue;
        }
        QStringList next{unit};
        QStringList& above = rows.back();
        while (above.size() > 1 && (MayNotStartLine(next.constFirst().toUcs4().constFirst()) ||
                                    MayNotEndLine(above.constLast().toUcs4().constLast()))) {
            next.prepend(above.takeLast());
        }
        rows.push_back(next);
    }
    QStringList lines;
    for (const QStringList& row : rows) {
        if (!row.isEmpty()) {
            lines << row.join(QString());
        }
    }
    return lines;
}

} // namespace

class ScriptTest : public QObject {
    Q_OBJECT

private slots:
    // The speakers, scenes, music steps and picture steps of every chapter, as the game's
    // running order fixes them (typed here from the design tables, not from the script files).
    void everyChapterFollowsItsRunningOrder_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("outline");
        const QString lobby = QStringLiteral("ホテルのロビー");
        QTest::newRow("opening") << "opening.txt"
            << (QStringLiteral("music:M02S.mid @S01/%1 10 10 10 10 @S02/%1 10 0 6 0 1 4 @S03/%1 3 4 3 0 5 2 "
                               "@S02/%1 1 0 @S03/%1 5 2 @S01/%1 0 "
                               "@S11/新京極・お土産物屋 0 2 6 2 6 10 4 1 3 5 0 "
                               "@S12/新京極・お土産物屋 0 0 9 0 9 0 9 10 5 0 "
                               "@S21/叡電\u3000出町柳駅 6 4 3 4 1 2 0 "
                               "@S31/京都大学 3 5 8 0 8 1 8 2 8 3 8").arg(lobby));
        QTest::newRow("quiz introduction") << "quiz_intro.txt" << QStringLiteral("@S31/京都大学 8 8 0 8");
        QTest::newRow("road to the tea house") << "road.txt"
            << QStringLiteral("stop music:M02S.mid @S31/京都大学 8 0 8 @S32/車の中 3 2 5 8 0 8 0 8 10 "
                              "@S40/茶屋\u3000たあねる庵 10 10 stop music:M03S.mid 10");
        QTest::newRow("ending 1") << "ending1.txt" << "t1 P1 t0 t1 t0 t1 t0 t1 t0 t1 t0 t1 t0 t1 t0 t1 t10";
        QTest::newRow("ending 2") << "ending2.txt" << "t2 t0 P2 t2 t0 t2 t0 t2 t0 t2 t0 t2 t0 t2 t10";
        QTest::newRow("ending 3") << "ending3.txt"
                                  << "t3 t0 P3 t3 t0 t3 t0 t3 t0 t3 t0 t3 t0 t2 t3 t0 t2 t3 t0 t2 t3 t10";
        QTest::newRow("ending 4") << "ending4.txt" << "t4 t0 P4 t4 t0 t4 t0 t4 t0 t4 t0 t4 t0 t4 t0 t4 t10";
        QTest::newRow("ending 5") << "ending5.txt" << "t5 P5 t0 t5 t0 t5 t0 t5 t0 t5 t0 t5 t0 t5 t0 t5 t0 t5 t10";
        QTest::newRow("ending 6") << "ending6.txt" << "t6 P6 t0 t6 t0 t6 t0 t6 t0 t6 t0 t6 t0 t6 t10";
        QTest::newRow("ending 7") << "ending7.txt" << "t7 P7 t0 t10 t7 t0 t7 t0 t7 t0 t7 t0 t7 t10";
    }
    void everyChapterFollowsItsRunningOrder()
    {
        QFETCH(QString, script);
        QFETCH(QString, outline);
        QCOMPARE(Outline(LoadChapter(script)), outline);
    }

    // Outside the quiz the caption changes only with the picture, so a title may change only
    // where the code does, and one code always comes with one title.
    void aLocationTitleChangesOnlyWithThePicture()
    {
        std::map<QString, QString> titleOfCode;
        for (const auto& [name, chapter] : EveryScript()) {
            QString lastCode;
            QString lastTitle;
            for (const Step& step : chapter.steps) {
                if (step.kind != Step::Kind::Line) {
                    continue;
                }
                if (step.locationTitle != lastTitle && !lastTitle.isEmpty()) {
                    QVERIFY2(step.pictureCode != lastCode, qPrintable(name + ": " + step.text));
                }
                const auto [known, fresh] = titleOfCode.emplace(step.pictureCode, step.locationTitle);
                QVERIFY2(fresh || known->second == step.locationTitle, qPrintable(name + ": " + step.pictureCode));
                lastCode = step.pictureCode;
                lastTitle = step.locationTitle;
            }
        }
    }

    // Every line is shown whole in the four-line text box, is not empty, and the thoughts' lines
    // do not bring brackets of their own (the display adds them).
    void everyLineFitsTheTextBox()
    {
        int lines = 0;
        for (const auto& [name, chapter] : EveryScript()) {
            for (const Step& step : chapter.steps) {
                if (step.kind != Step::Kind::Line && step.kind != Step::Kind::TeaLine) {
                    continue;
                }
                ++lines;
                QVERIFY2(step.text.trimmed().size() >= 2, qPrintable(name));
                QString shown = step.text;
                if (step.speaker == kThoughtsSpeaker) {
                    QVERIFY2(!step.text.startsWith(QStringLiteral("（")) && !step.text.endsWith(QStringLiteral("）")),
                             qPrintable(name + ": " + step.text));
                    shown = QStringLiteral("（") + step.text + QStringLiteral("）");
                }
                QVERIFY2(FitsLineLabel(shown), qPrintable(name + ": " + step.text));
            }
        }
        QCOMPARE(lines, 60 + 4 + 15 + 16 + 14 + 21 + 16 + 18 + 14 + 13);
    }

    // The fonts are made ready with EveryLine(): a script of lines missing from it would show
    // characters the game has never drawn. Every built-in script but the staff roll's holds
    // lines for the line box.
    void everyLineOfEveryScriptIsAmongEveryLine()
    {
        const QStringList every = EveryLine();
        int scripts = 0;
        for (const QString& name : QDir(QStringLiteral(":/script")).entryList()) {
            if (name == QStringLiteral("credits.txt")) {
                continue;
            }
            ++scripts;
            for (const Step& step : LoadChapter(name).steps) {
                if (step.kind == Step::Kind::Line || step.kind == Step::Kind::TeaLine) {
                    QVERIFY2(every.contains(ShownLine(step.speaker, step.text)), qPrintable(name + ": " + step.text));
                }
            }
        }
        QCOMPARE(scripts, 10);
    }

    // The line breaker finds how much fits by halving, which is only right while a longer stretch
    // of a line never measures narrower than a shorter one. Every line of the script, at the
    // line box's width and at narrower ones that break it more often, must come out as the plain
    // rule makes it.
    void everyLineBreaksAsTheRuleMeasuredPrefixByPrefix_data()
    {
        QTest::addColumn<int>("characters");
        QTest::newRow("the line box") << 0;
        QTest::newRow("5 characters") << 5;
        QTest::newRow("8 characters") << 8;
        QTest::newRow("13 characters") << 13;
    }
    void everyLineBreaksAsTheRuleMeasuredPrefixByPrefix()
    {
        QFETCH(int, characters);
        const QFontMetricsF metrics(JapaneseGothic(11.25));
        const qreal width = characters == 0 ? 5235 / 15 - 4 : characters * metrics.horizontalAdvance(QChar(0x3042));
        int broken = 0;
        for (const auto& [name, chapter] : EveryScript()) {
            for (const Step& step : chapter.steps) {
                if (step.kind != Step::Kind::Line && step.kind != Step::Kind::TeaLine) {
                    continue;
                }
                const QStringList lines = BreakLines(step.text, metrics, width);
                QCOMPARE(lines, BreakByEveryPrefix(step.text, metrics, width));
                broken += lines.size() > 1 ? 1 : 0;
            }
        }
        QVERIFY(broken > 0);
    }

    void scriptFaultsNameTheScriptAndTheLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("a speaker outside the cast") << "scene S01 ロビー\n11 だれ？" << "line 2";
        QTest::newRow("a line without text") << "# note\n\n3 " << "line 3";
        QTest::newRow("a scene without a title") << "scene S01" << "line 1";
        QTest::newRow("a heroine outside the seven") << "picture 8" << "line 1";
        QTest::newRow("an unknown word") << "music M02S.mid\npause 3" << "line 2";
    }
    void scriptFaultsNameTheScriptAndTheLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, where);
        try {
            ParseScript(QStringLiteral("broken.txt"), text);
            QFAIL("a broken script was accepted");
        } catch (const FatalError& error) {
            QVERIFY2(error.Message().contains(QStringLiteral("broken.txt")) && error.Message().contains(where),
                     qPrintable(error.Message()));
        }
    }

    void aStoryLineAndATeaHouseLineReadAsTheirKinds()
    {
        const Chapter story = ParseScript(QStringLiteral("a"), QStringLiteral("scene S40 茶屋\u3000たあねる庵\r\n10 ふう。\r\n"));
        QCOMPARE(story.steps.size(), std::size_t{1});
        QCOMPARE(story.steps[0].kind, Step::Kind::Line);
        QCOMPARE(story.steps[0].locationTitle, QStringLiteral("茶屋\u3000たあねる庵"));
        QCOMPARE(story.steps[0].text, QStringLiteral("ふう。"));
        const Chapter tea = ParseScript(QStringLiteral("b"), QStringLiteral("7 ねえ。\npicture 7"));
        QCOMPARE(tea.steps[0].kind, Step::Kind::TeaLine);
        QCOMPARE(tea.steps[1].kind, Step::Kind::TeaPicture);
        QCOMPARE(tea.steps[1].heroine, std::int16_t{7});
    }
};

QTEST_MAIN(ScriptTest)
#include "test_script.moc"
