#include "record/IniText.h"

#include "record/IniTextDetail.h"

#include <QChar>
#include <QList>
#include <QStringDecoder>


namespace velmora {

namespace ini_detail {

bool IsLineSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsHexDigit(char16_t c) { return c < 0x80 && HexValue(static_cast<char>(c)) >= 0; }

constexpr char UpperHex[] = "0123456789ABCDEF";

QByteArray LowerHex(unsigned value) { return QByteArray::number(value, 16); }


// Finds the next line that holds anything but blanks or a comment. A quoted newline or one after
// a backslash belongs to the line; a ";" outside quotes starts a comment that runs to the end of
// the physical line.
bool NextLine(QByteArrayView data, qsizetype& pos, IniLine& line)
{
    const qsizetype size = data.size();
    for (;;) {
        qsizetype start = pos;
        while (start < size && IsLineSpace(data[start]))
            ++start;
        if (start < size && data[start] == ';') {
            while (start < size && data[start] != '\n' && data[start] != '\r')
                ++start;
            pos = start;
            continue;
        }
        if (start >= size) {
            pos = size;
            return false;
        }

        bool inQuotes = false;
        qsizetype equals = -1;
        qsizetype i = start;
        while (i < size) {
            const char c = data[i];
            if (c == '\n' || c == '\r') {
                if (!inQuotes)
                    break;
            } else if (c == ';') {
                if (!inQuotes)
                    break;
            } else if (c == '=') {
                if (!inQuotes && equals < 0)
                    equals = i;
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == '\\' && i + 1 < size) {
                ++i;
                const char escaped = data[i];
                if (i + 1 < size) {
                    const char next = data[i + 1];
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
            ++i;
        }
        pos = i;
        line = IniLine{start, i - start, equals};
        return true;
    }
}

// A U+FEFF inside a value is text, not a byte order mark to drop.
void AppendUtf8(QString& out, QByteArrayView bytes)
{
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    out += decode(bytes);
}

QString UnescapeIniKey(QByteArrayView raw)
{
    QString out;
    qsizetype runStart = 0;
    qsizetype i = 0;
    const auto flush = [&](qsizetype end) {
        if (end > runStart)
            AppendUtf8(out, raw.sliced(runStart, end - runStart));
    };
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            flush(i);
            out += u'/';
            runStart = ++i;
            continue;
        }
        if (c == '%') {
            qsizetype first = i + 1;
            qsizetype digits = 2;
            if (first < raw.size() && raw[first] == 'U') {
                ++first;
                digits = 4;
            }
            if (first + digits <= raw.size()) {
                unsigned code = 0;
                bool ok = true;
                for (qsizetype d = first; d < first + digits; ++d) {
                    const int v = HexValue(raw[d]);
                    ok = ok && v >= 0;
                    code = code * 16 + static_cast<unsigned>(v < 0 ? 0 : v);
                }
                if (ok) {
                    flush(i);
                    out += QChar(static_cast<char16_t>(code));
                    i = first + digits;
                    runStart = i;
                    continue;
                }
            }
        }
        ++i;
    }
    flush(i);
    return out;
}

QByteArray EscapeIniKey(const QString& key)
{
    QByteArray out;
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            out += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
                   || c == u'_' || c == u'-' || c == u'.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += UpperHex[c / 16];
            out += UpperHex[c % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += UpperHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

// A key path as QSettings keeps it: no "/" at either end and none doubled.
QString NormalizedPath(const QString& path)
{
    QString out;
    out.reserve(path.size());
    for (const QChar c : path) {
        if (c == u'/' && (out.isEmpty() || out.back() == u'/'))
            continue;
        out += c;
    }
    if (out.endsWith(u'/'))
        out.chop(1);
    return out;
}

QString SectionName(QByteArrayView header)
{
    const QByteArray name = header.toByteArray().trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return {};
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromUtf8(name.mid(1));
    return UnescapeIniKey(name);
}

} // namespace ini_detail

using namespace ini_detail;

QString UnescapeIniValue(QByteArrayView raw)
{
    QString out;
    const qsizetype size = raw.size();
    qsizetype i = 0;
    bool inQuotes = false;
    bool quoted = false;
    // Blanks after this point of the text are trailing blanks of an unquoted value, which the
    // writer would have quoted; blanks that came from an escape or a quote stay.
    qsizetype keepUpTo = 0;

    const auto skipBlanks = [&] {
        while (i < size && IsBlank(raw[i]))
            ++i;
        keepUpTo = out.size();
    };

    skipBlanks();
    while (i < size) {
        const char c = raw[i];
        if (c == '\\') {
            ++i;
            if (i >= size)
                break;
            const char e = raw[i++];
            switch (e) {
            case 'a': out += u'\a'; break;
            case 'b': out += u'\b'; break;
            case 'f': out += u'\f'; break;
            case 'n': out += u'\n'; break;
            case 'r': out += u'\r'; break;
            case 't': out += u'\t'; break;
            case 'v': out += u'\v'; break;
            case '"': out += u'"'; break;
            case '?': out += u'?'; break;
            case '\'': out += u'\''; break;
            case '\\': out += u'\\'; break;
            case 'x': {
                if (i < size && HexValue(raw[i]) >= 0) {
                    char16_t code = 0;
                    while (i < size && HexValue(raw[i]) >= 0)
                        code = static_cast<char16_t>((code << 4) + HexValue(raw[i++]));
                    out += QChar(code);
                }
                break;
            }
            case '\n':
            case '\r':
                // A line continued on the next one.
                if (i < size && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e)
                    ++i;
                break;
            default:
                if (e >= '0' && e <= '7') {
                    char16_t code = static_cast<char16_t>(e - '0');
                    while (i < size && raw[i] >= '0' && raw[i] <= '7')
                        code = static_cast<char16_t>((code << 3) + (raw[i++] - '0'));
                    out += QChar(code);
                }
                // Any other escaped character is dropped, as QSettings does.
                break;
            }
            keepUpTo = out.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < size && raw[j] != '\\' && raw[j] != '"')
                ++j;
            AppendUtf8(out, raw.sliced(i, j - i));
            i = j;
        }
    }
    if (!quoted) {
        qsizetype end = out.size();
        while (end > keepUpTo && (out[end - 1] == u' ' || out[end - 1] == u'\t'))
            --end;
        out.truncate(end);
    }
    // QSettings writes a text that starts with "@" with a second "@", so that it is not taken for
    // a special type; any other "@" text is a hand edit and stays as typed.
    if (out.startsWith(QLatin1String("@@")))
        out.remove(0, 1);
    return out;
}

QByteArray EscapeIniValue(const QString& value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray out;
    bool needsQuotes = false;
    bool escapeHexDigit = false;
    QString run;
    const auto flush = [&] {
        if (!run.isEmpty()) {
            out += run.toUtf8();
            run.clear();
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar qc = text[i];
        const char16_t c = qc.unicode();
        // Half a surrogate pair has no UTF-8 form; an escape keeps it.
        const bool pairStart = qc.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const bool pairEnd = qc.isLowSurrogate() && i > 0 && text[i - 1].isHighSurrogate();
        if (qc.isSurrogate() && !pairStart && !pairEnd) {
            flush();
            out += "\\x" + LowerHex(c);
            escapeHexDigit = true;
            continue;
        }
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        // A hex digit right after a hex or NUL escape would be read as part of that escape.
        if (escapeHexDigit && IsHexDigit(c)) {
            flush();
            out += "\\x" + LowerHex(c);
            continue;
        }
        escapeHexDigit = false;
        switch (c) {
        case u'\0': flush(); out += "\\0"; escapeHexDigit = true; break;
        case u'\a': flush(); out += "\\a"; break;
        case u'\b': flush(); out += "\\b"; break;
        case u'\f': flush(); out += "\\f"; break;
        case u'\n': flush(); out += "\\n"; break;
        case u'\r': flush(); out += "\\r"; break;
        case u'\t': flush(); out += "\\t"; break;
        case u'\v': flush(); out += "\\v"; break;
        case u'"': flush(); out += "\\\""; break;
        case u'\\': flush(); out += "\\\\"; break;
        default:
            if (c <= 0x1F) {
                flush();
                out += "\\x" + LowerHex(c);
                escapeHexDigit = true;
            } else {
                run += qc;
            }
        }
    }
    flush();
    if (needsQuotes || (!out.isEmpty() && (out.front() == ' ' || out.back() == ' '))) {
        out.prepend('"');
        out.append('"');
    }
    return out;
}

void ini_detail::ForEachIniLine(QByteArrayView data, const IniLineVisitor& visit)
{
    QString section;
    // Skips the byte order mark that some editors put in front of a UTF-8 file.
    qsizetype pos = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    IniLine line;
    while (NextLine(data, pos, line)) {
        const QByteArrayView text = data.sliced(line.start, line.length);
        if (text.front() == '[') {
            const qsizetype close = text.indexOf(']');
            section = SectionName(close < 0 ? text.sliced(1) : text.sliced(1, close - 1));
            visit(line, section, std::nullopt);
            continue;
        }
        if (line.equals < 0) {
            visit(line, section, std::nullopt);
            continue;
        }
        qsizetype keyEnd = line.equals - line.start;
        while (keyEnd > 0 && IsBlank(text[keyEnd - 1]))
            --keyEnd;
        const QString path = NormalizedPath(section + u'/' + UnescapeIniKey(text.first(keyEnd)));
        visit(line, section, path.isEmpty() ? std::nullopt : std::optional<QString>(path));
    }
}

QMap<QString, QString> ParseIniText(QByteArrayView data)
{
    QMap<QString, QString> values;
    ForEachIniLine(data, [&](const IniLine& line, const QString&, const std::optional<QString>& path) {
        if (path) {
            const qsizetype valueStart = line.equals + 1;
            values.insert(*path, UnescapeIniValue(data.sliced(valueStart, line.start + line.length - valueStart)));
        }
    });
    return values;
}

QByteArray WriteIniText(const QMap<QString, QString>& values)
{
    // Grouped by section as QSettings does: the part of the path before the first "/".
    QMap<QString, QList<std::pair<QString, QString>>> sections;
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = slash < 0 ? it.key() : it.key().mid(slash + 1);
        sections[section].append({key, it.value()});
    }

    QByteArray out;
    bool first = true;
    for (auto it = sections.constBegin(); it != sections.constEnd(); ++it) {
        if (!first)
            out += '\n';
        first = false;
        QByteArray header = EscapeIniKey(it.key());
        if (header.isEmpty())
            header = "General";
        else if (header.compare("general", Qt::CaseInsensitive) == 0)
            header.prepend('%');
        out += '[' + header + "]\n";
        for (const auto& [key, value] : it.value())
            out += EscapeIniKey(key) + '=' + EscapeIniValue(value) + '\n';
    }
    return out;
}

} // namespace velmora
