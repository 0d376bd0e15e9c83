#include "ui/LineBreaking.h"

#include <string_view>
#include <vector>

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

    // The units lie end to end in `text`, so every line is one stretch of it: where unit i starts.
    std::vector<qsizetype> offset(static_cast<std::size_t>(units.size()) + 1, 0);
    for (qsizetype i = 0; i < units.size(); ++i) {
        offset[static_cast<std::size_t>(i) + 1] = offset[static_cast<std::size_t>(i)] + units[i].size();
    }
    const auto stretch = [&](qsizetype first, qsizetype end) {
        const qsizetype from = offset[static_cast<std::size_t>(first)];
        return text.mid(from, offset[static_cast<std::size_t>(end)] - from);
    };
    // A line's shaped width only grows as units are added to it, so the most that fit are found
    // by halving rather than by shaping every longer prefix in turn, which made a line cost the
    // square of its length.
    const auto fitUntil = [&](qsizetype first, qsizetype end) {
        qsizetype fits = end;
        qsizetype tooMany = units.size() + 1;
        while (tooMany - fits > 1) {
            const qsizetype middle = fits + (tooMany - fits) / 2;
            if (metrics.horizontalAdvance(stretch(first, middle)) <= width) {
                fits = middle;
            } else {
                tooMany = middle;
            }
        }
        return fits;
    };

    // Each line is the units [first, end); a line takes its first unit whether it fits or not.
    QStringList result;
    qsizetype first = 0;
    qsizetype end = units.isEmpty() ? 0 : fitUntil(0, 1);
    while (end < units.size()) {
        // Unit `end` opens a new line. Pull units down from the line above while the new line
        // would start with a character that may not start one, or the old line would end with
        // one that may not end one, but never empty the old line.
        qsizetype next = end;
        while (next - first > 1 && (MayNotStartLine(First(units[next])) || MayNotEndLine(Last(units[next - 1])))) {
            --next;
        }
        result << stretch(first, next);
        first = next;
        end = fitUntil(first, end + 1);
    }
    if (end > first) {
        result << stretch(first, end);
    }
    return result;
}

} // namespace velmora
