// Feeds arbitrary bytes to the record's number reading and to the INI text the store reads and
// writes, checking properties that must hold for every input.

#include "record/ClearRecord.h"
#include "record/IniText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

using namespace velmora;

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool SameNumber(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void CheckNumberReading(const QString& text)
{
    const double number = ReadNumber(text);
    Require(!std::isnan(number));
    // Leading blanks are skipped and whatever follows the number is ignored.
    Require(SameNumber(ReadNumber(QStringLiteral("  ") + text), number));
    Require(SameNumber(ReadNumber(text + QStringLiteral("x")), number));
    if (!text.isEmpty() && (text[0].isDigit() || text[0] == u'.') && text[0].unicode() < 0x80)
        Require(SameNumber(ReadNumber(u'-' + text), -number));

    if (const std::optional<std::int16_t> value = ToInt16(number)) {
        const double distance = std::abs(double(*value) - number);
        Require(distance <= 0.5);
        if (distance == 0.5)
            Require(*value % 2 == 0);
    } else {
        Require(!(std::abs(number) <= 32767.0));
    }
}

void CheckValueRoundTrip(const QString& text)
{
    Require(UnescapeIniValue(EscapeIniValue(text)) == text);
    const QMap<QString, QString> record{{QStringLiteral("Velmora/Exp"), text}};
    Require(ParseIniText(WriteIniText(record)) == record);
}

void CheckFileRoundTrip(QByteArrayView bytes)
{
    // Whatever a file holds, writing back what was read keeps every value.
    const QMap<QString, QString> values = ParseIniText(bytes);
    Require(ParseIniText(WriteIniText(values)) == values);
}

void CheckRecordText(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return;
    std::uint16_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    const auto value = static_cast<std::int16_t>(bits);
    Require(ToInt16(ReadNumber(ClearRecordText(value))) == value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    const QString text = QString::fromUtf8(bytes);
    CheckNumberReading(text);
    CheckValueRoundTrip(text);
    CheckValueRoundTrip(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    CheckFileRoundTrip(bytes);
    CheckRecordText(data, size);
    return 0;
}
