#include "record/IniText.h"

#include "record/IniTextDetail.h"

#include <vector>

namespace velmora {

using namespace ini_detail;

namespace {

// The end of the physical line that holds `pos` (a comment after a value is part of it).
qsizetype PhysicalLineEnd(QByteArrayView data, qsizetype pos)
{
    while (pos < data.size() && data[pos] != '\n' && data[pos] != '\r')
        ++pos;
    return pos;
}

qsizetype PhysicalLineStart(QByteArrayView data, qsizetype pos)
{
    while (pos > 0 && IsBlank(data[pos - 1]))
        --pos;
    return pos;
}

QByteArray SectionHeader(const QString& section)
{
    QByteArray header = EscapeIniKey(section);
    if (header.isEmpty())
        header = "General";
    else if (header.compare("general", Qt::CaseInsensitive) == 0)
        header.prepend('%');
    return '[' + header + ']';
}

} // namespace

QByteArray ChangeIniText(QByteArrayView data, const QString& keyPath, const std::optional<QString>& value)
{
    const QString path = NormalizedPath(keyPath);
    const qsizetype slash = path.indexOf(u'/');
    const QString wantedSection = slash < 0 ? QString() : path.left(slash);
    const QString key = slash < 0 ? path : path.mid(slash + 1);
    // A file written on another system keeps its own line ends.
    const QByteArray eol = data.indexOf("\r\n") >= 0 ? QByteArray("\r\n") : QByteArray("\n");

    std::vector<IniLine> matches;
    qsizetype sectionEnd = -1;
    ForEachIniLine(data, [&](const IniLine& line, const QString& section, const std::optional<QString>& linePath) {
        if (linePath == path)
            matches.push_back(line);
        if (section == wantedSection)
            sectionEnd = line.start + line.length;
    });

    QByteArray out = data.toByteArray();
    if (!value) {
        for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
            const qsizetype start = PhysicalLineStart(data, it->start);
            qsizetype end = PhysicalLineEnd(data, it->start + it->length);
            if (data.sliced(end).startsWith("\r\n"))
                end += 2;
            else if (end < data.size())
                ++end;
            out.remove(start, end - start);
        }
        return out;
    }

    const QByteArray escaped = EscapeIniValue(*value);
    if (!matches.empty()) {
        const IniLine& last = matches.back();
        qsizetype valueStart = last.equals + 1;
        qsizetype valueEnd = last.start + last.length;
        while (valueStart < valueEnd && IsBlank(data[valueStart]))
            ++valueStart;
        while (valueEnd > valueStart && IsBlank(data[valueEnd - 1]))
            --valueEnd;
        out.replace(valueStart, valueEnd - valueStart, escaped);
        return out;
    }
    const QByteArray entry = EscapeIniKey(key) + '=' + escaped;
    if (sectionEnd >= 0) {
        out.insert(PhysicalLineEnd(data, sectionEnd), eol + entry);
        return out;
    }
    if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r'))
        out += eol;
    if (!out.isEmpty())
        out += eol;
    out += SectionHeader(wantedSection) + eol + entry + eol;
    return out;
}

} // namespace velmora
