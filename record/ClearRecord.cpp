#include "record/ClearRecord.h"

#include "record/SettingsStore.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace velmora {

namespace {

constexpr QStringView FirstWarningTitle = u"Yuno Velmora";
constexpr QStringView FirstWarningText = u"鈴木夕乃：「まぁ、レジストリを不正に書き換えるなんて、失礼な方。」";
constexpr QStringView SecondWarningTitle = u"Pikari Velmora";
constexpr QStringView SecondWarningText = u"神林光里：「そーゆー悪いシトのデータは、消しちゃえ！ポイッ！」";

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Mask of bit n, or 0 when the record has no such bit.
std::uint16_t Mask(std::int16_t n)
{
    if (n < 0 || n > 15)
        return 0;
    return static_cast<std::uint16_t>(1u << n);
}

} // namespace

double ReadNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && (text[i] == u' ' || text[i] == u'\t'))
        ++i;

    bool negative = false;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }

    // The number in the plain form std::from_chars takes, without its sign.
    std::string number;
    qsizetype digits = 0;
    while (i < size && IsDigit(text[i])) {
        number += static_cast<char>(text[i++].unicode());
        ++digits;
    }
    if (i < size && text[i] == u'.') {
        qsizetype j = i + 1;
        std::string fraction;
        while (j < size && IsDigit(text[j]))
            fraction += static_cast<char>(text[j++].unicode());
        if (digits > 0 || !fraction.empty()) {
            number += '.' + fraction;
            digits += static_cast<qsizetype>(fraction.size());
            i = j;
        }
    }
    if (digits == 0)
        return 0.0;

    // An exponent counts only when it has digits: "2e" is 2.
    if (i < size && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < size && (text[j] == u'+' || text[j] == u'-'))
            exponent += static_cast<char>(text[j++].unicode());
        if (j < size && IsDigit(text[j])) {
            while (j < size && IsDigit(text[j]))
                exponent += static_cast<char>(text[j++].unicode());
            number += exponent;
        }
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range) {
        // Too small or too large for a double: decide which from the size of the number.
        const auto point = number.find('.');
        const auto e = number.find('e');
        const std::string mantissa = number.substr(0, e);
        const auto firstDigit = mantissa.find_first_of("123456789");
        if (firstDigit == std::string::npos)
            return 0.0;
        const auto wholeEnd = point == std::string::npos ? mantissa.size() : point;
        // Decimal position of the leading digit, plus the exponent (clamped: only its sign matters
        // once it is this large).
        long long magnitude = firstDigit < wholeEnd
            ? static_cast<long long>(wholeEnd - firstDigit)
            : -static_cast<long long>(firstDigit - wholeEnd - 1);
        if (e != std::string::npos) {
            long long exponent = 0;
            const char* p = number.data() + e + 1;
            const bool down = *p == '-';
            if (*p == '+' || *p == '-')
                ++p;
            for (; p < number.data() + number.size(); ++p)
                exponent = std::min<long long>(exponent * 10 + (*p - '0'), 1'000'000'000);
            magnitude += down ? -exponent : exponent;
        }
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::optional<std::int16_t> ToInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < std::numeric_limits<std::int16_t>::min() || whole > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::int16_t BitTest(std::int16_t value, std::int16_t n)
{
    return (static_cast<std::uint16_t>(value) & Mask(n)) != 0 ? -1 : 0;
}

void BitSet(std::int16_t& value, std::int16_t n, std::int16_t flag)
{
    const auto bits = static_cast<std::uint16_t>(value);
    const std::uint16_t mask = Mask(n);
    value = static_cast<std::int16_t>(flag == 1 ? bits | mask : bits & ~mask);
}

QString ClearRecordText(std::int16_t value)
{
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

bool IsValidClearRecord(QStringView storedText)
{
    const std::optional<std::int16_t> value = ToInt16(ReadNumber(storedText));
    if (!value)
        return false;
    const bool tooLarge = *value > AllEndingsSeen;
    const bool odd = BitTest(*value, 0) != 0;
    return !tooLarge && !odd;
}

QString ReadClearRecordText(SettingsStore& store)
{
    return store.Read(ClearRecordApplication.toString(), ClearRecordSection.toString(),
                      ClearRecordKey.toString(), ClearRecordMissing.toString());
}

std::int16_t ReadClearRecord(SettingsStore& store)
{
    return ToInt16(ReadNumber(ReadClearRecordText(store))).value_or(0);
}

void CheckClearRecord(SettingsStore& store,
                      const std::function<void(const QString& title, const QString& text)>& warn)
{
    if (IsValidClearRecord(ReadClearRecordText(store)))
        return;
    warn(FirstWarningTitle.toString(), FirstWarningText.toString());
    warn(SecondWarningTitle.toString(), SecondWarningText.toString());
    store.Delete(ClearRecordApplication.toString(), ClearRecordSection.toString(),
                 ClearRecordKey.toString());
}

} // namespace velmora
