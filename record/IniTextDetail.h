#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

// The pieces of the INI reader that the reader (IniText.cpp) and the line editor (IniEdit.cpp)
// share, so that both see the same lines, sections and keys in a file.
namespace velmora::ini_detail {

// One logical line: [start, start + length), with the first "=" outside quotes, if any.
struct IniLine {
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1;
};

bool IsBlank(char c);
// Finds the next line that holds anything but blanks or a comment, from pos on; false at the end.
bool NextLine(QByteArrayView data, qsizetype& pos, IniLine& line);
QString UnescapeIniKey(QByteArrayView raw);
QByteArray EscapeIniKey(const QString& key);
// A key path as QSettings keeps it: no "/" at either end and none doubled.
QString NormalizedPath(const QString& path);
// The section a header's name stands for ("" for [General]).
QString SectionName(QByteArrayView header);

// Visits every line that holds anything, after a UTF-8 byte order mark if there is one, with the
// section it stands in (a header, the section it opens) and its key path (none for a header or a
// line without a key).
using IniLineVisitor =
    std::function<void(const IniLine& line, const QString& section, const std::optional<QString>& path)>;
void ForEachIniLine(QByteArrayView data, const IniLineVisitor& visit);

} // namespace velmora::ini_detail
