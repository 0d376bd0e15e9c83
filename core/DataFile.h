#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace velmora {

// The largest file of each kind the game reads. Each lies far above anything the game ships
// (the largest picture is a few hundred KiB, the largest piece a few KiB), so only a file put in
// the wrong place, or one without end, is refused.
inline constexpr qint64 kLargestQuestionFile = 4 * 1024 * 1024; // 4 MiB
inline constexpr qint64 kLargestPicture = 32 * 1024 * 1024;     // 32 MiB
inline constexpr qint64 kLargestMidiPiece = 4 * 1024 * 1024;    // 4 MiB
inline constexpr qint64 kLargestWaveSound = 32 * 1024 * 1024;   // 32 MiB

// A data file's bytes, or why it cannot be had.
struct DataFile {
    std::optional<QByteArray> bytes;
    QString problem;
};

// Reads one of the game's data files whole, without ever waiting on it: the open does not block
// (a named pipe with no writer would hold the game for good), and only a regular file of at most
// `largest` bytes is read. A named pipe, a device (a link to /dev/zero would never end), a folder
// or a larger file gives no bytes and a problem in words that follows the file's name, such as "is a named pipe, not a file".
DataFile ReadDataFile(const QString& path, qint64 largest);

} // namespace velmora
