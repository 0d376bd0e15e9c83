#include "ui/Fonts.h"
#include "ui/GlyphWarmer.h"

#include <QApplication>
#include <QTest>

using namespace velmora;

class GlyphWarmerTest : public QObject {
    Q_OBJECT

private slots:
    // A character drawn twice, or a blank that draws nothing, would only make the title screen's
    // wait busier; a character lost would cost its first line the time the warmer exists to save.
    void eachCharacterIsQueuedOnceAndBlanksNotAtAll_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("queued");
        QTest::newRow("repeats") << QStringList{QStringLiteral("ああいあい")} << 2;
        QTest::newRow("repeats across texts") << QStringList{QStringLiteral("京都"), QStringLiteral("都と京")} << 3;
        QTest::newRow("blanks, wide and narrow") << QStringList{QStringLiteral("あ　い う\n")} << 3;
        QTest::newRow("beyond the 16-bit range, as one character")
            << QStringList{QString::fromUcs4(U"𠮷野家𠮷")} << 3;
        QTest::newRow("nothing") << QStringList{QString()} << 0;
    }
    void eachCharacterIsQueuedOnceAndBlanksNotAtAll()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, queued);
        GlyphWarmer warmer;
        for (const QString& text : texts) {
            warmer.Add(JapaneseGothic(11.25), text);
        }
        QCOMPARE(warmer.Queued(), queued);
    }

    // The same characters in another font are another job: each font draws its own glyphs.
    void eachFontHasItsOwnCharacters()
    {
        GlyphWarmer warmer;
        warmer.Add(JapaneseGothic(11.25), QStringLiteral("あい"));
        warmer.Add(JapaneseGothic(9), QStringLiteral("あい"));
        warmer.Add(JapaneseGothic(11.25), QStringLiteral("いう"));
        QCOMPARE(warmer.Queued(), 5);
    }

    // The title screen must stay live while the warmer works: Start draws nothing itself, the
    // work comes a batch per turn of the event loop, and once it is done its timer stops, or a
    // zero-interval timer would keep a core busy for as long as the program runs.
    void drawsABatchPerTurnThenStopsItsTimer()
    {
        QString text;
        for (char16_t character = u'一'; text.size() < 5 * GlyphWarmer::kBatch; ++character) {
            text += QChar(character);
        }
        GlyphWarmer warmer;
        warmer.Add(JapaneseGothic(11.25), text);
        QVERIFY(!warmer.Running());
        warmer.Start(1.0);
        QVERIFY(!warmer.Done());
        QVERIFY(warmer.Running());
        int turns = 0;
        while (!warmer.Done() && turns < 100) {
            QCoreApplication::processEvents();
            ++turns;
        }
        QVERIFY(warmer.Done());
        QVERIFY2(turns >= 5, qPrintable(QStringLiteral("done in %1 turns").arg(turns)));
        QVERIFY(!warmer.Running());
    }

    // Text may come after the title has started the warmer (the characters are gathered beside
    // the logo, and a slow machine may show the title first): it is drawn all the same.
    void textAddedAfterTheStartIsDrawnToo()
    {
        GlyphWarmer warmer;
        warmer.Start(2.0);
        QVERIFY(warmer.Done());
        QVERIFY(!warmer.Running());
        warmer.Add(JapaneseGothic(11.25), QStringLiteral("京都の寺"));
        QVERIFY(warmer.Running());
        QTRY_VERIFY(warmer.Done());
        QVERIFY(!warmer.Running());
    }
};

QTEST_MAIN(GlyphWarmerTest)
#include "test_glyph_warmer.moc"
