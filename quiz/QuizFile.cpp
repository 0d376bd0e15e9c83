#include "quiz/QuizFile.h"

#include "core/DataFile.h"
#include "core/FatalError.h"
#include "quiz/Cp932.h"

#include <QBuffer>
#include <QDir>
#include <QIODevice>

#include <optional>

namespace velmora {

namespace {

constexpr int kHexDigitsPerCharacter = 8;
constexpr quint32 kHighestCode = 0xFFFF;
constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr int kHighestHeroineWithPoints = 6;

// Reads the file field by field with the rules of sequential text input: a field ends at a comma,
// a line end or the end of the data; blanks and tabs before it are skipped; a field that starts
// with a double quote runs to the next double quote.
class FieldReader {
public:
    explicit FieldReader(QIODevice& device)
        : m_device(device)
    {
    }

    // Nothing when the data ends before the field begins.
    std::optional<QByteArray> ReadField()
    {
        char c = 0;
        while (Peek(c) && (c == ' ' || c == '\t')) {
            m_device.getChar(nullptr);
        }
        if (!Peek(c)) {
            return std::nullopt;
        }
        QByteArray field;
        if (c == '"') {
            m_device.getChar(nullptr);
            while (m_device.getChar(&c) && c != '"') {
                field.append(c);
            }
            // Whatever stands between the closing quote and the next separator is not part of
            // the value; it is dropped so the next field starts in the right place.
            while (m_device.getChar(&c) && !EndsField(c)) {
            }
            return field;
        }
        while (m_device.getChar(&c) && !EndsField(c)) {
            field.append(c);
        }
        // Trailing blanks would otherwise read as extra characters of code 0.
        while (!field.isEmpty() && (field.back() == ' ' || field.back() == '\t')) {
            field.chop(1);
        }
        return field;
    }

private:
    bool Peek(char& c) { return m_device.peek(&c, 1) == 1; }

    // A CR LF pair, a lone LF and a lone CR all end a line.
    bool EndsField(char c)
    {
        if (c == '\r') {
            char next = 0;
            if (Peek(next) && next == '\n') {
                m_device.getChar(nullptr);
            }
            return true;
        }
        return c == ',' || c == '\n';
    }

    QIODevice& m_device;
};

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    if (u >= u'a' && u <= u'f') {
        return u - u'a' + 10;
    }
    if (u >= u'A' && u <= u'F') {
        return u - u'A' + 10;
    }
    return -1;
}

QString FieldName(int field)
{
    switch (field) {
    case 1:
        return QStringLiteral("question");
    case 2:
        return QStringLiteral("scoring answer");
    case 3:
        return QStringLiteral("second answer");
    case 4:
        return QStringLiteral("third answer");
    default:
        return QStringLiteral("point code");
    }
}

} // namespace

QString DecodeQuizText(const QString& field)
{
    Cp932Converter cp932;
    return DecodeQuizText(field, cp932);
}

QString DecodeQuizText(const QString& field, Cp932Converter& cp932)
{
    QString text;
    text.reserve(field.size() / kHexDigitsPerCharacter + 1);
    for (qsizetype start = 0; start < field.size(); start += kHexDigitsPerCharacter) {
        const QStringView group = QStringView(field).mid(start, kHexDigitsPerCharacter);
        quint32 code = 0;
        for (const QChar c : group) {
            const int digit = HexDigitValue(c);
            if (digit < 0) {
                break;
            }
            code = code * 16 + static_cast<quint32>(digit);
        }
        if (code > kHighestCode) {
            throw FatalError(QStringLiteral("the hex group \"%1\" (character %2) is above FFFF "
                                            "and names no character")
                                 .arg(group.toString(),
                                      QString::number(start / kHexDigitsPerCharacter + 1)));
        }
        const char32_t character =
            cp932.CharacterOf(static_cast<quint16>(code)).value_or(kReplacementCharacter);
        text.append(QString::fromUcs4(&character, 1));
    }
    return text;
}

QuestionPool ParseQuestionPool(QIODevice& device, const QString& fileName)
{
    Cp932Converter cp932;
    FieldReader reader(device);
    QuestionPool pool;
    for (int record = 1; record <= kQuizRecordCount; ++record) {
        QuizRecord& entry = pool.records[static_cast<std::size_t>(record - 1)];
        for (int field = 1; field <= kQuizFieldsPerRecord; ++field) {
            const std::optional<QByteArray> bytes = reader.ReadField();
            if (!bytes) {
                throw FatalError(
                    QStringLiteral("The question file %1 ends too early: record %2 has no %3 "
                                   "(field %4 of the %5 needed for %6 records of %7 fields).")
                        .arg(fileName, QString::number(record), FieldName(field),
                             QString::number((record - 1) * kQuizFieldsPerRecord + field),
                             QString::number(kQuizRecordCount * kQuizFieldsPerRecord),
                             QString::number(kQuizRecordCount), QString::number(kQuizFieldsPerRecord)));
            }
            const QString value = QString::fromLatin1(*bytes);
            if (field == kQuizFieldsPerRecord) {
                entry.pointCode = value;
                continue;
            }
            QString decoded;
            try {
                decoded = DecodeQuizText(value, cp932);
            } catch (const FatalError& error) {
                throw FatalError(QStringLiteral("The question file %1 is damaged in record %2, %3: %4.")
                                     .arg(fileName, QString::number(record), FieldName(field),
                                          error.Message()));
            }
            if (field == 1) {
                entry.question = decoded;
            } else {
                entry.answers[static_cast<std::size_t>(field - 2)] = decoded;
            }
        }
        // A digit 7 to 9 would index past the points table only when the player picks the answer,
        // in the middle of a quiz; refusing the file here keeps that fault out of play.
        for (const int heroine : PointCodeHeroines(entry.pointCode)) {
            if (heroine > kHighestHeroineWithPoints) {
                throw FatalError(
                    QStringLiteral("The question file %1 is damaged in record %2: the point code "
                                   "\"%3\" gives a point to heroine %4, but points go only to "
                                   "heroines 1 to 6 (0 for nobody).")
                        .arg(fileName, QString::number(record), entry.pointCode,
                             QString::number(heroine)));
            }
        }
    }
    return pool;
}

QuestionPool ParseQuestionPool(const QByteArray& bytes, const QString& fileName)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return ParseQuestionPool(buffer, fileName);
}

QuestionPool ReadQuestionPool()
{
    const QString fileName = QString::fromLatin1(kQuestionFileName);
    const DataFile file = ReadDataFile(fileName, kLargestQuestionFile);
    if (!file.bytes) {
        throw FatalError(QStringLiteral("The question file %1 %2. It must be the game's own file, in "
                                        "the game's folder: %3")
                             .arg(fileName, file.problem, QDir::current().absoluteFilePath(fileName)));
    }
    return ParseQuestionPool(*file.bytes, fileName);
}

std::array<int, 2> PointCodeHeroines(const QString& pointCode)
{
    const auto heroine = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'0' && u <= u'9' ? u - u'0' : 0;
    };
    if (pointCode.isEmpty()) {
        return {0, 0};
    }
    return {heroine(pointCode.front()), heroine(pointCode.back())};
}

} // namespace velmora
