#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

#include <optional>

namespace velmora {

// The INI dialect that QSettings writes, read and written with every value kept as plain text.
// QSettings' own INI reader turns an unquoted comma into a list and a leading "@" into a special
// type, so a value edited by hand would not read back as the person typed it; this reader keeps
// such values as they are, while a file written here still reads the same through QSettings.
//
// Keys are full paths: "Section/Key"; a key outside any section has no "/" and lives under
// [General], as QSettings has it.

// The file as a map from key path to text. Never fails: lines that make no sense are skipped.
QMap<QString, QString> ParseIniText(QByteArrayView data);
QByteArray WriteIniText(const QMap<QString, QString>& values);

// The file with one key set to `value`, or removed when there is no value, and every other byte
// as it was: comments, blank lines, line ends, other keys and sections and their spelling. A key
// that is there keeps its own spelling and only its value is rewritten (the last line of that key,
// the one that counts); a new key goes after the last line of its section, or in a new section at
// the end. Removing takes out every line of the key.
QByteArray ChangeIniText(QByteArrayView data, const QString& keyPath, const std::optional<QString>& value);

// One value's text as it stands after "=", and back.
QString UnescapeIniValue(QByteArrayView raw);
QByteArray EscapeIniValue(const QString& value);

} // namespace velmora
