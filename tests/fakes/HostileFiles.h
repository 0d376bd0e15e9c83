#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <sys/stat.h>

namespace velmora::testing {

// What can stand in a data file's place besides the file: each would hold a reader that opens
// by name and reads to the end (a pipe without a writer blocks the open, /dev/zero and a huge
// file never end).
enum class HostileFile { NamedPipe, LinkToDevZero, Folder, HugeSparseFile };

inline const char* HostileFileName(HostileFile kind)
{
    switch (kind) {
    case HostileFile::NamedPipe:
        return "a named pipe";
    case HostileFile::LinkToDevZero:
        return "a link to /dev/zero";
    case HostileFile::Folder:
        return "a folder";
    case HostileFile::HugeSparseFile:
        return "a 2 GiB sparse file";
    }
    return "";
}

// Lays `kind` out at `path`; false when the system would not.
inline bool MakeHostileFile(const QString& path, HostileFile kind)
{
    QFile::remove(path);
    switch (kind) {
    case HostileFile::NamedPipe:
        return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    case HostileFile::LinkToDevZero:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case HostileFile::Folder:
        return QDir().mkpath(path);
    case HostileFile::HugeSparseFile: {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize(qint64{2} * 1024 * 1024 * 1024);
    }
    }
    return false;
}

// One test row per kind, named "<prefix> <kind>".
inline void AddHostileFileRows(const char* prefix)
{
    QTest::addColumn<HostileFile>("kind");
    for (const HostileFile kind : {HostileFile::NamedPipe, HostileFile::LinkToDevZero,
                                   HostileFile::Folder, HostileFile::HugeSparseFile}) {
        QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(prefix),
                                                             QLatin1String(HostileFileName(kind)))))
            << kind;
    }
}

} // namespace velmora::testing

Q_DECLARE_METATYPE(velmora::testing::HostileFile)
