#include "record/ClearRecord.h"
#include "story/Selection.h"
#include "tests/fakes/FakeSettingsStore.h"

#include <QTest>

using namespace velmora;
using namespace Qt::Literals::StringLiterals;

namespace {

using Points = std::array<std::int16_t, 7>;

const QString App = ClearRecordApplication.toString();
const QString Section = ClearRecordSection.toString();
const QString Key = ClearRecordKey.toString();

// Quiz points of heroines 1 to 6 (slot 0 unused).
Points P(std::int16_t p1, std::int16_t p2, std::int16_t p3, std::int16_t p4, std::int16_t p5, std::int16_t p6)
{
    return {0, p1, p2, p3, p4, p5, p6};
}

std::int16_t Seen(std::initializer_list<int> heroines)
{
    std::int16_t record = 0;
    for (const int h : heroines)
        BitSet(record, static_cast<std::int16_t>(h), 1);
    return record;
}

const std::int16_t AllSeven = Seen({1, 2, 3, 4, 5, 6, 7});

} // namespace

Q_DECLARE_METATYPE(Points)

class TestSelection : public QObject {
    Q_OBJECT

private slots:
    void heroineComesFromPointsAndEndingsSeen_data()
    {
        QTest::addColumn<Points>("points");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("chosen");

        QTest::newRow("no points, nothing seen: heroine 7") << P(0, 0, 0, 0, 0, 0) << 0 << 7;
        QTest::newRow("no points, everything seen: heroine 7") << P(0, 0, 0, 0, 0, 0) << int(AllSeven) << 7;
        QTest::newRow("2 points each is not enough") << P(2, 2, 2, 2, 2, 2) << 0 << 7;
        QTest::newRow("first play: lowest number with 3 points") << P(3, 5, 0, 0, 0, 0) << 0 << 1;
        QTest::newRow("seen heroine gives way to the next candidate") << P(3, 5, 0, 0, 0, 0) << int(Seen({1})) << 2;
        QTest::newRow("fewer points than a seen heroine is no candidate") << P(5, 3, 0, 0, 0, 0) << int(Seen({1})) << 1;
        QTest::newRow("equal points are not more") << P(4, 4, 0, 0, 0, 0) << int(Seen({1})) << 1;
        QTest::newRow("first unseen candidate wins over more points") << P(3, 4, 5, 0, 0, 0) << int(Seen({2})) << 1;
        QTest::newRow("skips every seen candidate") << P(3, 4, 5, 0, 0, 0) << int(Seen({1, 2})) << 3;
        QTest::newRow("all candidates seen: the last one") << P(3, 4, 5, 0, 0, 0) << int(Seen({1, 2, 3})) << 3;
        QTest::newRow("all seen, only heroine 6 has points") << P(0, 0, 0, 0, 0, 3) << int(AllSeven) << 6;
        QTest::newRow("all seen, nobody has 3 points") << P(1, 2, 2, 1, 2, 2) << int(AllSeven) << 7;
        QTest::newRow("all seen: most points, lowest number on a tie") << P(3, 6, 6, 4, 0, 5) << int(AllSeven) << 2;
        QTest::newRow("heroine 7's bit plays no part") << P(0, 3, 0, 0, 0, 0) << int(Seen({7})) << 2;
        QTest::newRow("negative points are no candidate") << P(-5, -1, 0, 0, 0, 0) << 0 << 7;
        QTest::newRow("record -2 counts every heroine as seen") << P(3, 4, 0, 0, 0, 0) << -2 << 2;
    }

    void heroineComesFromPointsAndEndingsSeen()
    {
        QFETCH(Points, points);
        QFETCH(int, record);
        QFETCH(int, chosen);
        QCOMPARE(int(ChooseHeroine(points, static_cast<std::int16_t>(record))), chosen);
    }

    void noHeroineAtThreePointsAlwaysGivesSeven_data()
    {
        QTest::addColumn<Points>("points");
        QTest::newRow("all zero") << P(0, 0, 0, 0, 0, 0);
        QTest::newRow("all two") << P(2, 2, 2, 2, 2, 2);
        QTest::newRow("mixed below three") << P(2, 0, 1, 2, -3, 1);
        QTest::newRow("large negatives") << P(-32768, -1, -300, 0, 0, 2);
    }

    void noHeroineAtThreePointsAlwaysGivesSeven()
    {
        QFETCH(Points, points);
        for (int record = -32768; record <= 32767; ++record) {
            if (ChooseHeroine(points, static_cast<std::int16_t>(record)) != 7)
                QFAIL(qPrintable(QStringLiteral("record %1 chose another heroine").arg(record)));
        }
    }

    void endingAddsItsBitToTheStoredRecord_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("heroine");
        QTest::addColumn<QString>("written");

        QTest::newRow("first ending on no record") << false << QString() << 1 << " 2";
        QTest::newRow("heroine 7 on no record") << false << QString() << 7 << " 128";
        QTest::newRow("second ending") << true << " 2" << 2 << " 6";
        QTest::newRow("a seen bit written again writes the same value") << true << " 6" << 1 << " 6";
        QTest::newRow("last ending completes the record") << true << " 126" << 7 << " 254";
        QTest::newRow("record without its blank") << true << "6" << 3 << " 14";
        QTest::newRow("negative record keeps its sign") << true << "-2" << 3 << "-2";
        QTest::newRow("letters read as no ending") << true << "abc" << 4 << " 16";
        QTest::newRow("number too large to hold endings") << true << "40000" << 5 << " 32";
    }

    void endingAddsItsBitToTheStoredRecord()
    {
        QFETCH(bool, present);
        QFETCH(QString, stored);
        QFETCH(int, heroine);
        QFETCH(QString, written);

        FakeSettingsStore store;
        if (present)
            store.Write(App, Section, Key, stored);
        const int writesBefore = store.writes;
        QVERIFY(RecordEnding(store, static_cast<std::int16_t>(heroine)));
        QCOMPARE(store.writes, writesBefore + 1);
        QCOMPARE(store.Read(App, Section, Key, u"missing"_s), written);
    }

    void endingRecordedElsewhereDuringThePlayIsKept()
    {
        // The selection uses the record read when the chapter began; the write builds on what is
        // stored by then, so the ending another copy of the game recorded meanwhile stays.
        FakeSettingsStore store;
        store.Write(App, Section, Key, u" 2"_s);
        const std::int16_t atStart = ReadClearRecord(store);
        store.Write(App, Section, Key, u" 10"_s);

        const std::int16_t chosen = ChooseHeroine(P(3, 4, 0, 0, 0, 0), atStart);
        QCOMPARE(int(chosen), 2);
        QVERIFY(RecordEnding(store, chosen));
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), u" 14"_s);
    }

    void unwritableStoreLosesTheEndingQuietly()
    {
        FakeSettingsStore store;
        store.Write(App, Section, Key, u" 2"_s);
        store.writable = false;
        QVERIFY(!RecordEnding(store, 3));
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), u" 2"_s);
    }
};

QTEST_GUILESS_MAIN(TestSelection)
#include "test_selection.moc"
