#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QMap>
#include <QString>

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

// One value's text as it stands after "=", and back.
QString UnescapeIniValue(QByteArrayView raw);
QByteArray EscapeIniValue(const QString& value);

} // namespace velmora
