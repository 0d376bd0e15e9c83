#include "quiz/QuizSource.h"

#include "core/FatalError.h"
#include "quiz/Cp932.h"

#include <QStringList>

#include <optional>

namespace velmora {

namespace {

constexpr int kHexDigitsPerCharacter = 8;
constexpr int kHexBase = 16;
constexpr int kHighestHeroineWithPoints = 6;

// The keys of a block, in the order they must appear.
constexpr std::array<QChar, 5> kBlockKeys{u'Q', u'A', u'B', u'C', u'P'};

[[noreturn]] void Fail(const QString& fileName, int line, const QString& message)
{
    throw FatalError(QStringLiteral("%1:%2: %3").arg(fileName, QString::number(line), message));
}

QString Describe(char32_t character)
{
    return QStringLiteral("\"%1\" (U+%2)")
        .arg(QString::fromUcs4(&character, 1),
             QString::number(static_cast<uint>(character), kHexBase).toUpper().rightJustified(4, u'0'));
}

// The width of a text in half-width cells, or the first character code page 932 cannot hold.
struct Measure {
    int halfWidths = 0;
    std::optional<char32_t> unencodable;
};

Measure MeasureText(const QString& text, Cp932Converter& cp932)
{
    Measure measure;
    for (const char32_t character : text.toUcs4()) {
        const std::optional<quint16> code = cp932.CodeOf(character);
        if (!code) {
            measure.unencodable = character;
            return measure;
        }
        measure.halfWidths += *code > 0xFF ? 2 : 1;
    }
    return measure;
}

bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QString TrimBlanks(const QString& value)
{
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && IsBlank(value[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(value[end - 1])) {
        --end;
    }
    return value.mid(begin, end - begin);
}

class SourceParser {
public:
    SourceParser(const QString& fileName, Cp932Converter& cp932)
        : m_fileName(fileName)
        , m_cp932(cp932)
    {
    }

    QList<QuizRecord> Parse(const QString& text)
    {
        QString body = text;
        if (body.startsWith(QChar(0xFEFF))) {
            body.remove(0, 1);
        }
        const QStringList lines = body.split(u'\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            if (line.endsWith(u'\r')) {
                line.chop(1);
            }
            TakeLine(static_cast<int>(i + 1), line);
        }
        if (m_nextKey != 0) {
            Fail(m_fileName, m_blockLine,
                 QStringLiteral("the block that starts here ends without its %1: line")
                     .arg(kBlockKeys[m_nextKey]));
        }
        if (m_records.size() != kQuizRecordCount) {
            Fail(m_fileName, static_cast<int>(lines.size()),
                 QStringLiteral("the file holds %1 questions; the quiz needs exactly %2")
                     .arg(m_records.size())
                     .arg(kQuizRecordCount));
        }
        return m_records;
    }

private:
    void TakeLine(int number, const QString& line)
    {
        const QString trimmed = TrimBlanks(line);
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) {
            return;
        }
        if (trimmed.size() < 2 || trimmed[1] != u':') {
            Fail(m_fileName, number,
                 QStringLiteral("expected a line \"%1: ...\", found \"%2\"")
                     .arg(kBlockKeys[m_nextKey], trimmed));
        }
        const QChar key = trimmed[0];
        if (key != kBlockKeys[m_nextKey]) {
            Fail(m_fileName, number,
                 QStringLiteral("expected the %1: line of the block, found a %2: line "
                                "(every block is Q, A, B, C, P in this order)")
                     .arg(kBlockKeys[m_nextKey], key));
        }
        const QString value = TrimBlanks(trimmed.mid(2));
        if (m_nextKey == 0) {
            if (m_records.size() == kQuizRecordCount) {
                Fail(m_fileName, number,
                     QStringLiteral("a %1st question starts here; the quiz holds exactly %2")
                         .arg(kQuizRecordCount + 1)
                         .arg(kQuizRecordCount));
            }
            m_blockLine = number;
            m_current = QuizRecord{};
        }
        switch (m_nextKey) {
        case 0:
            m_current.question = CheckedText(number, value, QStringLiteral("question"));
            break;
        case 1:
        case 2:
        case 3:
            m_current.answers[static_cast<std::size_t>(m_nextKey - 1)] =
                CheckedText(number, value, QStringLiteral("answer"));
            break;
        default:
            m_current.pointCode = CheckedPointCode(number, value);
            m_records.append(m_current);
            break;
        }
        m_nextKey = (m_nextKey + 1) % static_cast<int>(kBlockKeys.size());
    }

    QString CheckedText(int number, const QString& value, const QString& what)
    {
        if (value.isEmpty()) {
            Fail(m_fileName, number, QStringLiteral("the %1 is empty").arg(what));
        }
        const Measure measure = MeasureText(value, m_cp932);
        if (measure.unencodable) {
            Fail(m_fileName, number,
                 QStringLiteral("the character %1 has no code in code page 932; "
                                "write it another way")
                     .arg(Describe(*measure.unencodable)));
        }
        const bool isQuestion = m_nextKey == 0;
        if (isQuestion && value.toUcs4().size() > kMaxQuestionCharacters) {
            Fail(m_fileName, number,
                 QStringLiteral("the question has %1 characters; at most %2 fit the dialogue box")
                     .arg(value.toUcs4().size())
                     .arg(kMaxQuestionCharacters));
        }
        if (!isQuestion && measure.halfWidths > kMaxAnswerHalfWidths) {
            Fail(m_fileName, number,
                 QStringLiteral("the answer is %1 full-width characters wide; at most %2 fit "
                                "its button")
                     .arg(measure.halfWidths / 2.0)
                     .arg(kMaxAnswerHalfWidths / 2));
        }
        return value;
    }

    QString CheckedPointCode(int number, const QString& value)
    {
        const bool twoDigits = value.size() == 2 && value[0].isDigit() && value[1].isDigit()
                               && value[0].unicode() < 0x80 && value[1].unicode() < 0x80;
        if (!twoDigits) {
            Fail(m_fileName, number,
                 QStringLiteral("the point code \"%1\" must be two digits, each a heroine 1 to 6 "
                                "or 0 for nobody")
                     .arg(value));
        }
        for (const QChar digit : value) {
            if (digit.digitValue() > kHighestHeroineWithPoints) {
                Fail(m_fileName, number,
                     QStringLiteral("the point code \"%1\" names heroine %2; points go only to "
                                    "heroines 1 to 6 (0 for nobody)")
                         .arg(value, digit));
            }
        }
        return value;
    }

    const QString& m_fileName;
    Cp932Converter& m_cp932;
    QList<QuizRecord> m_records;
    QuizRecord m_current;
    int m_nextKey = 0;
    int m_blockLine = 0;
};

} // namespace

QList<QuizRecord> ParseQuizSource(const QString& text, const QString& fileName, Cp932Converter& cp932)
{
    return SourceParser(fileName, cp932).Parse(text);
}

QString EncodeQuizText(const QString& text, Cp932Converter& cp932)
{
    QString hex;
    hex.reserve(text.size() * kHexDigitsPerCharacter);
    qsizetype position = 0;
    for (const char32_t character : text.toUcs4()) {
        ++position;
        const std::optional<quint16> code = cp932.CodeOf(character);
        if (!code) {
            throw FatalError(QStringLiteral("character %1 of \"%2\", %3, has no code in code page 932")
                                 .arg(position)
                                 .arg(text, Describe(character)));
        }
        hex += QStringLiteral("%1").arg(*code, kHexDigitsPerCharacter, kHexBase, QLatin1Char('0')).toUpper();
    }
    return hex;
}

QByteArray WriteQuestionFile(const QList<QuizRecord>& records, Cp932Converter& cp932)
{
    QByteArray file;
    const auto line = [&file](const QString& field) {
        file += field.toLatin1();
        file += "\r\n";
    };
    for (const QuizRecord& record : records) {
        line(EncodeQuizText(record.question, cp932));
        for (const QString& answer : record.answers) {
            line(EncodeQuizText(answer, cp932));
        }
        line(record.pointCode);
    }
    return file;
}

} // namespace velmora
