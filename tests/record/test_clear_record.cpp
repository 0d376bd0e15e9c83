#include "record/ClearRecord.h"
#include "tests/fakes/FakeSettingsStore.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace velmora;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString App = ClearRecordApplication.toString();
const QString Section = ClearRecordSection.toString();
const QString Key = ClearRecordKey.toString();

// Stands for "no number fits in 16 bits" in the data rows.
constexpr int NoFit = 99999;

} // namespace

class TestClearRecord : public QObject {
    Q_OBJECT

private slots:
    void storedTextReadsAsNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("record");

        QTest::newRow("plain digits") << "254" << 254.0 << 254;
        QTest::newRow("leading blank the game writes") << " 254" << 254.0 << 254;
        QTest::newRow("blanks and tabs before the number") << " \t 6" << 6.0 << 6;
        QTest::newRow("minus sign") << "-2" << -2.0 << -2;
        QTest::newRow("plus sign") << "+14" << 14.0 << 14;
        QTest::newRow("half rounds down to even 2") << "2.5" << 2.5 << 2;
        QTest::newRow("half rounds up to even 4") << "3.5" << 3.5 << 4;
        QTest::newRow("1.5 rounds to 2") << "1.5" << 1.5 << 2;
        QTest::newRow("0.5 rounds to 0") << "0.5" << 0.5 << 0;
        QTest::newRow("negative half rounds to even") << "-1.5" << -1.5 << -2;
        QTest::newRow("just above a half rounds up") << "2.5000001" << 2.5000001 << 3;
        QTest::newRow("fraction without whole part") << ".75" << 0.75 << 1;
        QTest::newRow("point without fraction") << "6." << 6.0 << 6;
        QTest::newRow("exponent") << "1.5E1" << 15.0 << 15;
        QTest::newRow("negative exponent") << "250e-1" << 25.0 << 25;
        QTest::newRow("exponent without digits is ignored") << "2e" << 2.0 << 2;
        QTest::newRow("exponent sign without digits is ignored") << "2e+" << 2.0 << 2;
        QTest::newRow("text after the number is ignored") << "254abc" << 254.0 << 254;
        QTest::newRow("second number is ignored") << "254, 3" << 254.0 << 254;
        QTest::newRow("letters only read 0") << "abc" << 0.0 << 0;
        QTest::newRow("empty text reads 0") << "" << 0.0 << 0;
        QTest::newRow("lone sign reads 0") << "-" << 0.0 << 0;
        QTest::newRow("lone point reads 0") << "." << 0.0 << 0;
        QTest::newRow("blank between sign and digits stops the number") << "- 2" << 0.0 << 0;
        QTest::newRow("full-width digits are not digits") << u"２５４"_s << 0.0 << 0;
        QTest::newRow("largest 16-bit number") << "32767" << 32767.0 << 32767;
        QTest::newRow("smallest 16-bit number") << "-32768" << -32768.0 << -32768;
        QTest::newRow("half above the largest rounds out of range") << "32767.5" << 32767.5 << NoFit;
        QTest::newRow("half below the smallest rounds into range") << "-32768.5" << -32768.5 << -32768;
        QTest::newRow("40000 does not fit") << "40000" << 40000.0 << NoFit;
        QTest::newRow("-40000 does not fit") << "-40000" << -40000.0 << NoFit;
        QTest::newRow("huge exponent does not fit") << "1e400" << std::numeric_limits<double>::infinity() << NoFit;
        QTest::newRow("huge negative does not fit") << "-9e99999999999999999999" << -std::numeric_limits<double>::infinity() << NoFit;
        QTest::newRow("tiny exponent reads 0") << "1e-400" << 0.0 << 0;
        QTest::newRow("many digits overflow")
            << QString(400, u'9') << std::numeric_limits<double>::infinity() << NoFit;
    }

    void storedTextReadsAsNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(int, record);

        QCOMPARE(ReadNumber(text), number);
        const std::optional<std::int16_t> converted = ToInt16(ReadNumber(text));
        QCOMPARE(converted.has_value(), record != NoFit);
        if (converted)
            QCOMPARE(int(*converted), record);
    }

    void everyRecordValueReadsBackFromItsText()
    {
        for (int v = std::numeric_limits<std::int16_t>::min(); v <= std::numeric_limits<std::int16_t>::max(); ++v) {
            const auto value = static_cast<std::int16_t>(v);
            const QString text = ClearRecordText(value);
            if (ToInt16(ReadNumber(text)) != value)
                QFAIL(qPrintable(QStringLiteral("%1 read back wrong from \"%2\"").arg(v).arg(text)));
        }
    }

    void textFormHasBlankOrSign_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("first ending") << 2 << " 2";
        QTest::newRow("two endings") << 6 << " 6";
        QTest::newRow("every ending") << 254 << " 254";
        QTest::newRow("negative keeps its sign in the blank's place") << -2 << "-2";
    }

    void textFormHasBlankOrSign()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        QCOMPARE(ClearRecordText(static_cast<std::int16_t>(value)), text);
    }

    void bitTestFindsSeenEndings_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bit");
        QTest::addColumn<int>("flag");

        QTest::newRow("254 has no bit 0") << 254 << 0 << 0;
        for (int n = 1; n <= 7; ++n)
            QTest::addRow("254 has bit %d", n) << 254 << n << -1;
        QTest::newRow("254 has no bit 8") << 254 << 8 << 0;
        QTest::newRow("-2 has bit 7") << -2 << 7 << -1;
        QTest::newRow("-2 has the sign bit") << -2 << 15 << -1;
        QTest::newRow("-2 has no bit 0") << -2 << 0 << 0;
        QTest::newRow("there is no bit 16") << -1 << 16 << 0;
        QTest::newRow("there is no bit -1") << -1 << -1 << 0;
    }

    void bitTestFindsSeenEndings()
    {
        QFETCH(int, value);
        QFETCH(int, bit);
        QFETCH(int, flag);
        QCOMPARE(BitTest(static_cast<std::int16_t>(value), static_cast<std::int16_t>(bit)), flag);
    }

    void bitSetSetsOrClearsOneBit_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("bit");
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("result");

        QTest::newRow("flag 1 sets bit 3 of 6") << 6 << 3 << 1 << 14;
        QTest::newRow("flag 0 clears bit 3 of 14") << 14 << 3 << 0 << 6;
        QTest::newRow("setting a set bit changes nothing") << 14 << 3 << 1 << 14;
        QTest::newRow("clearing a clear bit changes nothing") << 6 << 3 << 0 << 6;
        QTest::newRow("flag -1 clears, only 1 sets") << 14 << 3 << -1 << 6;
        QTest::newRow("setting heroine 7 on an empty record") << 0 << 7 << 1 << 128;
        QTest::newRow("setting into -2 keeps it") << -2 << 4 << 1 << -2;
        QTest::newRow("bit 15 is the sign bit") << 0 << 15 << 1 << -32768;
        QTest::newRow("a bit beyond 15 changes nothing") << 6 << 20 << 1 << 6;
    }

    void bitSetSetsOrClearsOneBit()
    {
        QFETCH(int, value);
        QFETCH(int, bit);
        QFETCH(int, flag);
        QFETCH(int, result);
        auto v = static_cast<std::int16_t>(value);
        BitSet(v, static_cast<std::int16_t>(bit), static_cast<std::int16_t>(flag));
        QCOMPARE(int(v), result);
    }

    void startUpCheckDeletesOnlyRecordsTheGameCannotWrite_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("invalid");

        QTest::newRow("no record") << false << QString() << false;
        QTest::newRow("every ending, as written") << true << " 254" << false;
        QTest::newRow("every ending, without the blank") << true << "254" << false;
        QTest::newRow("no ending") << true << " 0" << false;
        QTest::newRow("1 is odd") << true << "1" << true;
        QTest::newRow("3 is odd") << true << "3" << true;
        QTest::newRow("255 is odd and too large") << true << "255" << true;
        QTest::newRow("256 is even but too large") << true << "256" << true;
        QTest::newRow("-2 is even and not too large") << true << "-2" << false;
        QTest::newRow("2.5 reads 2") << true << "2.5" << false;
        QTest::newRow("3.5 reads 4") << true << "3.5" << false;
        QTest::newRow("1.5 reads 2") << true << "1.5" << false;
        QTest::newRow("0.5 reads 0") << true << "0.5" << false;
        QTest::newRow("2.6 reads 3") << true << "2.6" << true;
        QTest::newRow("letters only read 0") << true << "abc" << false;
        QTest::newRow("254 followed by letters") << true << "254abc" << false;
        QTest::newRow("40000 does not fit") << true << "40000" << true;
        QTest::newRow("-40000 does not fit") << true << "-40000" << true;
    }

    void startUpCheckDeletesOnlyRecordsTheGameCannotWrite()
    {
        QFETCH(bool, present);
        QFETCH(QString, stored);
        QFETCH(bool, invalid);

        FakeSettingsStore store;
        store.values.insert(FakeSettingsStore::Path(App, Section, "Other"), "kept");
        if (present)
            store.Write(App, Section, Key, stored);

        QList<std::pair<QString, QString>> shown;
        CheckClearRecord(store, [&](const QString& title, const QString& text) {
            shown.append({title, text});
        });

        if (invalid) {
            const QList<std::pair<QString, QString>> expected = {
                {u"Yuno Velmora"_s, u"鈴木夕乃：「まぁ、レジストリを不正に書き換えるなんて、失礼な方。」"_s},
                {u"Pikari Velmora"_s, u"神林光里：「そーゆー悪いシトのデータは、消しちゃえ！ポイッ！」"_s},
            };
            QCOMPARE(shown, expected);
            QVERIFY(!store.Contains(App, Section, Key));
            QCOMPARE(ReadClearRecordText(store), u"0"_s);
        } else {
            QVERIFY(shown.isEmpty());
            QCOMPARE(store.deletes, 0);
            QCOMPARE(store.Contains(App, Section, Key), present);
            if (present)
                QCOMPARE(ReadClearRecordText(store), stored);
        }
        QCOMPARE(store.values.value(FakeSettingsStore::Path(App, Section, "Other")), u"kept"_s);
    }

    void startUpCheckOnAnUnwritableStoreStillWarnsAndGoesOn()
    {
        FakeSettingsStore store;
        store.Write(App, Section, Key, "255");
        store.writable = false;
        int warnings = 0;
        CheckClearRecord(store, [&](const QString&, const QString&) { ++warnings; });
        QCOMPARE(warnings, 2);
        QCOMPARE(ReadClearRecordText(store), u"255"_s);
    }

    void recordThatDoesNotFitReadsAsNoEndingSeen_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("record");
        QTest::newRow("two endings") << " 6" << 6;
        QTest::newRow("40000") << "40000" << 0;
        QTest::newRow("-40000") << "-40000" << 0;
        QTest::newRow("-2") << "-2" << -2;
    }

    void recordThatDoesNotFitReadsAsNoEndingSeen()
    {
        QFETCH(QString, stored);
        QFETCH(int, record);
        FakeSettingsStore store;
        store.Write(App, Section, Key, stored);
        QCOMPARE(int(ReadClearRecord(store)), record);
    }
};

QTEST_GUILESS_MAIN(TestClearRecord)
#include "test_clear_record.moc"
