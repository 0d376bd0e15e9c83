#include "core/FatalError.h"
#include "quiz/Cp932.h"
#include "quiz/QuizFile.h"
#include "quiz/QuizSource.h"
#include "tests/quiz/QuizRecordPrinting.h"
#include "fakes/HostileFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::FatalError;
using velmora::QuestionPool;

namespace {

const QString kFileName = QStringLiteral("VelmoraQ.qiz");

// Hex text for ASCII-only text, written out by hand so that the reader's tests do not lean on the
// encoder they are meant to check.
QByteArray AsciiHex(const QByteArray& text)
{
    QByteArray hex;
    for (const char c : text) {
        hex += QByteArray::number(static_cast<uchar>(c), 16).rightJustified(8, '0');
    }
    return hex;
}

struct Layout {
    QByteArray separator = ",";
    QByteArray lineEnd = "\r\n";
    bool fieldPerLine = true;
};

QByteArray RecordText(int number, const QByteArray& pointCode, const Layout& layout = {})
{
    const QByteArray n = QByteArray::number(number);
    const QList<QByteArray> fields{AsciiHex("Q" + n), AsciiHex("A" + n), AsciiHex("B" + n),
                                   AsciiHex("C" + n), pointCode};
    return layout.fieldPerLine ? fields.join(layout.lineEnd) + layout.lineEnd
                               : fields.join(layout.separator) + layout.lineEnd;
}

QByteArray FileOf(int records, const Layout& layout = {})
{
    QByteArray file;
    for (int r = 1; r <= records; ++r) {
        file += RecordText(r, "12", layout);
    }
    return file;
}

QString ErrorOf(const QByteArray& bytes)
{
    try {
        velmora::ParseQuestionPool(bytes, kFileName);
    } catch (const FatalError& error) {
        return error.Message();
    }
    return {};
}

} // namespace

class QuizFileTest : public QObject {
    Q_OBJECT

private slots:
    void decodesEightDigitsPerCharacter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("two double-byte characters") << "000082A0000082A2" << u"あい"_s;
        QTest::newRow("lower-case digits read as upper-case ones") << "000082a0" << u"あ"_s;
        QTest::newRow("a 12-digit field takes its second character from the last 4 digits")
            << "000082A082A2" << u"あい"_s;
        QTest::newRow("an empty field is an empty text") << "" << QString();
        QTest::newRow("single-byte ASCII") << "000000410000007A" << "Az";
        QTest::newRow("half-width katakana") << "000000B1" << u"ｱ"_s;
        QTest::newRow("NEC special characters") << "00008740" << u"①"_s;
        QTest::newRow("reading a group stops at its first non-hex character") << "0041 Zzz" << "A";
        QTest::newRow("a group without digits reads as code 0") << "zzzzzzzz" << QString(QChar(0));
        QTest::newRow("a one-digit last group") << "000082A09" << u"あ\t"_s;
    }

    void decodesEightDigitsPerCharacter()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        const QString before = field;
        QCOMPARE(velmora::DecodeQuizText(field), text);
        QCOMPARE(field, before);
    }

    void decodesACodeThatNamesNoCharacterAsReplacementCharacter_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("a lone lead byte") << "00000082";
        QTest::newRow("an undefined single byte") << "000000A0";
        QTest::newRow("a lead byte with a byte that cannot trail it") << "00008200";
        QTest::newRow("two bytes that are two characters, not one") << "00004142";
        QTest::newRow("an undefined pair") << "0000FFFF";
    }

    void decodesACodeThatNamesNoCharacterAsReplacementCharacter()
    {
        QFETCH(QString, field);
        QCOMPARE(velmora::DecodeQuizText(field + "000082A0"), u"\uFFFDあ"_s);
    }

    void decodesAFieldBeyondSixteenBitLengthsWhole()
    {
        const int characters = 5000; // 40,000 digits
        const QString field = QString("000082A0").repeated(characters);
        const QString text = velmora::DecodeQuizText(field);
        QCOMPARE(text.size(), characters);
        QCOMPARE(text.count(u'あ'), characters);
    }

    void refusesAHexGroupAboveFFFF()
    {
        try {
            velmora::DecodeQuizText("000082A000010000");
            QFAIL("a group above FFFF was decoded");
        } catch (const FatalError& error) {
            QVERIFY2(error.Message().contains("00010000"), qPrintable(error.Message()));
            QVERIFY2(error.Message().contains("character 2"), qPrintable(error.Message()));
        }
    }

    void readsEveryFieldLayoutAlike_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("five fields on one line, separated by commas")
            << FileOf(30, {",", "\r\n", false});
        QTest::newRow("lines ending in a lone LF") << FileOf(30, {",", "\n", true});
        QTest::newRow("lines ending in a lone CR") << FileOf(30, {",", "\r", true});
        QTest::newRow("blanks and tabs around the fields")
            << FileOf(30, {" ,\t ", "  \r\n\t ", false});
        QByteArray quoted;
        for (int r = 1; r <= 30; ++r) {
            const QByteArray n = QByteArray::number(r);
            quoted += "\"" + AsciiHex("Q" + n) + "\", \"" + AsciiHex("A" + n) + "\",\"" + AsciiHex("B" + n)
                      + "\"\r\n\"" + AsciiHex("C" + n) + "\"\r\n\"12\"\r\n";
        }
        QTest::newRow("quoted fields") << quoted;
        QTest::newRow("a file without a last line end") << FileOf(30).chopped(2);
        QTest::newRow("records after the 30th, even broken ones, are never looked at")
            << FileOf(30) + RecordText(31, "99") + "FFFFFFFFF,\"";
    }

    void readsEveryFieldLayoutAlike()
    {
        QFETCH(QByteArray, file);
        const QuestionPool expected = velmora::ParseQuestionPool(FileOf(30), kFileName);
        QCOMPARE(expected.records[29].question, "Q30");
        QCOMPARE(expected.records[29].answers[2], "C30");
        const QuestionPool pool = velmora::ParseQuestionPool(file, kFileName);
        for (std::size_t r = 0; r < pool.records.size(); ++r) {
            QCOMPARE(pool.records[r], expected.records[r]);
        }
    }

    void stopsReadingAfterTheLastField()
    {
        QByteArray bytes = FileOf(30) + FileOf(5);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        velmora::ParseQuestionPool(buffer, kFileName);
        QCOMPARE(buffer.pos(), FileOf(30).size());
    }

    void keepsPointCodesAsReadAndScoresTheirFirstAndLastCharacters_data()
    {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<QString>("pointCode");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("13 gives heroines 1 and 3 a point") << QByteArray("13") << "13" << 1 << 3;
        QTest::newRow("22 gives heroine 2 both points") << QByteArray("22") << "22" << 2 << 2;
        QTest::newRow("a one-character code 1 gives heroine 1 both points") << QByteArray("1") << "1" << 1 << 1;
        QTest::newRow("135 ignores its middle digit") << QByteArray("135") << "135" << 1 << 5;
        QTest::newRow("an empty code gives nobody both points") << QByteArray("") << "" << 0 << 0;
        QTest::newRow("a character that is no digit counts as nobody") << QByteArray("x4") << "x4" << 0 << 4;
        QTest::newRow("a middle 9 is never scored, so it is allowed") << QByteArray("192") << "192" << 1 << 2;
        QTest::newRow("a quoted code keeps its comma") << QByteArray("\"5,6\"") << "5,6" << 5 << 6;
    }

    void keepsPointCodesAsReadAndScoresTheirFirstAndLastCharacters()
    {
        QFETCH(QByteArray, field);
        QFETCH(QString, pointCode);
        QFETCH(int, first);
        QFETCH(int, last);
        const QByteArray file = RecordText(1, "00") + RecordText(2, field) + FileOf(30).mid(RecordText(1, "12").size() * 2);
        const QuestionPool pool = velmora::ParseQuestionPool(file, kFileName);
        QCOMPARE(pool.records[1].pointCode, pointCode);
        QCOMPARE(pool.records[2].question, "Q3");
        const std::array<int, 2> heroines = velmora::PointCodeHeroines(pool.records[1].pointCode);
        QCOMPARE(heroines[0], first);
        QCOMPARE(heroines[1], last);
    }

    void refusesABadFileNamingFileAndRecord_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("an empty file") << QByteArray() << QStringList{"record 1 has no question", "field 1 of the 150"};
        QTest::newRow("29 complete records") << FileOf(29) << QStringList{"record 30 has no question", "field 146"};
        QTest::newRow("a record cut after its second answer")
            << FileOf(12) + RecordText(13, "12").split('\n').mid(0, 3).join('\n') + '\n'
            << QStringList{"record 13 has no third answer"};
        QTest::newRow("a file that ends in a comma")
            << FileOf(30, {",", "\r\n", false}).chopped(4) << QStringList{"record 30 has no point code"};
        QByteArray wide = FileOf(30);
        wide.replace(AsciiHex("B7"), AsciiHex("B") + "00010000");
        QTest::newRow("a hex group above FFFF")
            << wide << QStringList{"record 7, second answer", "00010000", "character 2"};
        for (const char* code : {"70", "18", "9", "7x"}) {
            QByteArray file = FileOf(30);
            file.replace(RecordText(12, "12"), RecordText(12, code));
            QTest::addRow("point code %s", code)
                << file << QStringList{"record 12", QString("\"%1\"").arg(code), "heroines 1 to 6"};
        }
    }

    void refusesABadFileNamingFileAndRecord()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        const QString message = ErrorOf(file);
        QVERIFY2(message.contains(kFileName), qPrintable(message));
        for (const QString& part : expected) {
            QVERIFY2(message.contains(part), qPrintable(message + " lacks " + part));
        }
    }

    void refusesAMissingFileNamingIt()
    {
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(empty.path()));
        QString message;
        try {
            velmora::ReadQuestionPool();
        } catch (const FatalError& error) {
            message = error.Message();
        }
        QDir::setCurrent(previous);
        QVERIFY2(message.contains(QDir(empty.path()).absoluteFilePath(kFileName)), qPrintable(message));
    }

    // Catches a reader that opens by name and reads to the end: a pipe froze the game for good,
    // /dev/zero or a huge file took memory until the program died.
    void refusesAQuestionFileThatIsNoPlainFileOfBoundedSize_data()
    {
        velmora::testing::AddHostileFileRows("the question file as");
    }

    void refusesAQuestionFileThatIsNoPlainFileOfBoundedSize()
    {
        QFETCH(velmora::testing::HostileFile, kind);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(velmora::testing::MakeHostileFile(folder.filePath(kFileName), kind));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        QString message;
        try {
            velmora::ReadQuestionPool();
        } catch (const FatalError& error) {
            message = error.Message();
        }
        QDir::setCurrent(previous);
        QVERIFY2(message.contains(kFileName), qPrintable(message));
        QVERIFY2(message.contains(kind == velmora::testing::HostileFile::HugeSparseFile
                                      ? QStringLiteral("larger than the 4 MiB")
                                      : QStringLiteral("not a file")),
                 qPrintable(message));
    }

    void readsTheFileInTheWorkingDirectory()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QFile file(folder.filePath(kFileName));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(FileOf(30));
        file.close();
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const QuestionPool pool = velmora::ReadQuestionPool();
        QDir::setCurrent(previous);
        QCOMPARE(pool.records[0].question, "Q1");
        QCOMPARE(pool.records[29].pointCode, "12");
    }

    void encodesEveryCharacterBackToItsCode()
    {
        velmora::Cp932Converter cp932;
        int named = 0;
        for (int code = 0; code <= 0xFFFF; ++code) {
            const std::optional<char32_t> character = cp932.CharacterOf(static_cast<quint16>(code));
            if (!character) {
                continue;
            }
            ++named;
            const QString text = QString::fromUcs4(&*character, 1);
            const QString hex = velmora::EncodeQuizText(text, cp932);
            QCOMPARE(hex.size(), 8);
            QCOMPARE(velmora::DecodeQuizText(hex, cp932), text);
        }
        // Single bytes, JIS X 0208 and the NEC and IBM extensions: several thousand characters.
        QVERIFY2(named > 7000, qPrintable(QString::number(named)));
    }

    void packedQuestionsDecodeToTheirSource()
    {
        const QString sourcePath = QFINDTESTDATA("../../quiz/questions.txt");
        QVERIFY(!sourcePath.isEmpty());
        QFile sourceFile(sourcePath);
        QVERIFY(sourceFile.open(QIODevice::ReadOnly));
        velmora::Cp932Converter cp932;
        const QList<velmora::QuizRecord> source =
            velmora::ParseQuizSource(QString::fromUtf8(sourceFile.readAll()), sourcePath, cp932);
        QCOMPARE(source.size(), velmora::kQuizRecordCount);

        for (const velmora::QuizRecord& record : source) {
            const QString hex = velmora::EncodeQuizText(record.question, cp932);
            QVERIFY(!hex.contains(QRegularExpression("[a-f]")));
            QCOMPARE(velmora::DecodeQuizText(hex, cp932), record.question);
        }

        // The file the build generated (the tests run in the game's data folder).
        const QuestionPool generated = velmora::ReadQuestionPool();
        const QuestionPool packed = velmora::ParseQuestionPool(velmora::WriteQuestionFile(source, cp932), kFileName);
        for (int r = 0; r < velmora::kQuizRecordCount; ++r) {
            const auto i = static_cast<std::size_t>(r);
            QCOMPARE(generated.records[i], source[r]);
            QCOMPARE(packed.records[i], source[r]);
        }
    }
};

QTEST_GUILESS_MAIN(QuizFileTest)
#include "test_quiz_file.moc"
