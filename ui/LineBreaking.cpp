#include "ui/LineBreaking.h"

#include <string_view>

namespace velmora {

namespace {

// Closing brackets, stops, marks that lean on what precedes them, and small kana.
constexpr std::u32string_view kNoStart =
    U"、。，．・：；？！゛゜ー～…‥）」』】〕〉》］｝〟’”ゝゞヽヾ々〻"
    U"ぁぃぅぇぉっゃゅょゎゕゖァィゥェォッャュョヮヵヶㇰㇱㇲㇳㇴㇵㇶㇷㇸㇹㇺㇻㇼㇽㇾㇿ"
    U",.!?)]}:;%";
constexpr std::u32string_view kNoEnd = U"（「『【〔〈《［｛〝‘“([{";

bool IsWordCharacter(char32_t character)
{
    return (character >= U'0' && character <= U'9') || (character >= U'A' && character <= U'Z') ||
           (character >= U'a' && character <= U'z');
}

// The smallest pieces a line may be cut between: one character, or a whole ASCII word.
QStringList Units(const QString& text)
{
    QStringList units;
    const QList<uint> codes = text.toUcs4();
    for (qsizetype i = 0; i < codes.size();) {
        qsizetype end = i + 1;
        if (IsWordCharacter(codes[i])) {
            while (end < codes.size() && IsWordCharacter(codes[end])) {
                ++end;
            }
        }
        const auto* first = reinterpret_cast<const char32_t*>(codes.constData() + i);
        units << QString::fromUcs4(first, end - i);
        i = end;
    }
    return units;
}

char32_t First(const QString& unit)
{
    return unit.isEmpty() ? 0 : static_cast<char32_t>(unit.toUcs4().constFirst());
}

char32_t Last(const QString& unit)
{
    return unit.isEmpty() ? 0 : static_cast<char32_t>(unit.toUcs4().constLast());
}

} // namespace

bool MayNotStartLine(char32_t character)
{
    return kNoStart.find(character) != std::u32string_view::npos;
}

bool MayNotEndLine(char32_t character)
{
    return kNoEnd.find(character) != std::u32string_view::npos;
}

QStringList BreakLines(const QString& text, const QFontMetricsF& metrics, qreal width)
{
    QStringList units = Units(text);
    // A word too long for a line of its own is cut into characters after all.
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (units[i].size() > 1 && metrics.horizontalAdvance(units[i]) > width) {
            const QString word = units.takeAt(i);
            for (qsizetype k = word.size(); k-- > 0;) {
                units.insert(i, word.mid(k, 1));
            }
        }
    }

    std::vector<QStringList> lines(1);
    for (const QString& unit : units) {
        QStringList& line = lines.back();
        if (line.isEmpty() || metrics.horizontalAdvance(line.join(QString()) + unit) <= width) {
            line << unit;
            continue;
        }
        // The unit opens a new line. Pull units down from the line above while the new line
        // would start with a character that may not start one, or the old line would end with
        // one that may not end one, but never empty the old line.
        QStringList next{unit};
        while (line.size() > 1 && (MayNotStartLine(First(next.constFirst())) || MayNotEndLine(Last(line.constLast())))) {
            next.prepend(line.takeLast());
        }
        lines.push_back(next);
    }

    QStringList result;
    for (const QStringList& line : lines) {
        if (!line.isEmpty()) {
            result << line.join(QString());
        }
    }
    return result;
}

} // namespace velmora
