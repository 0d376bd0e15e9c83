#include "record/IniSettingsStore.h"

#include "core/DataFile.h"
#include "record/IniText.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

// How long a write waits for another running copy of the game to finish its own. A copy holds
// the lock only while it reads, writes and flushes one small file, which a slow or busy disk can
// stretch to seconds; two minutes covers any disk that still works. The wait never holds the
// game's window: the ending's write runs beside the event loop.
constexpr int LockWaitMs = 120'000;
// The settings file is a few lines; anything this large is not ours to rewrite.
constexpr qint64 LargestSettingsFile = 1024 * 1024;

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Where the lock may live when the file beside the settings cannot be one (a folder or a pipe in
// its place, a folder that may not be written): the same name for every copy of the game, since
// all of them meet the same blocked place and turn to the same fallback.
QStringList FallbackLockFolders()
{
    QStringList folders;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        folders << runtime;
    // Empty when TMPDIR names no folder: the root is no place for it.
    const QString temp = QDir::tempPath();
    if (!temp.isEmpty())
        folders << temp;
    return folders;
}

QString FallbackLockName(const QString& settingsPath)
{
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(QFileInfo(settingsPath).absoluteFilePath()),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(16);
    return QStringLiteral("velmora-%1-%2.writer.lock").arg(QString::number(::getuid()), QString::fromLatin1(hash));
}

// Shuts out every other writer of one settings file, in this process or another. The kernel lets
// go of the lock when its holder dies, however it dies, so a killed copy of the game never leaves
// the record locked. The lock file itself stays, empty.
class WriterLock {
public:
    explicit WriterLock(const QString& settingsPath)
    {
        QStringList places{settingsPath + QStringLiteral(".writer.lock")};
        for (const QString& folder : FallbackLockFolders())
            places << folder + u'/' + FallbackLockName(settingsPath);
        for (const QString& place : places) {
            m_fd = OpenLockFile(place);
            if (m_fd >= 0)
                break;
        }
        if (m_fd < 0) {
            m_problem = QStringLiteral("no lock file can be made beside it (%1), nor in $XDG_RUNTIME_DIR or "
                                       "the temporary folder")
                            .arg(m_problem);
            return;
        }
        QDeadlineTimer deadline(LockWaitMs);
        int pause = 5;
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                m_problem = QStringLiteral("its lock cannot be taken (%1)").arg(ErrnoText(errno));
                return;
            }
            if (deadline.hasExpired()) {
                m_problem = QStringLiteral("another running copy of the game held it for more than %1 s")
                                .arg(LockWaitMs / 1000);
                return;
            }
            // Sleeps on its own thread, a little longer each time: a long wait costs no CPU.
            QThread::msleep(static_cast<unsigned long>(pause));
            pause = std::min(pause * 2, 100);
        }
        m_locked = true;
    }

    ~WriterLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool Locked() const { return m_locked; }
    const QString& Problem() const { return m_problem; }

private:
    // A plain file only: a pipe or a device in the lock's place is a blocked place.
    int OpenLockFile(const QString& path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
        // The first place's trouble is the one worth telling; the others are only fallbacks.
        if (fd < 0) {
            if (m_problem.isEmpty())
                m_problem = path + QStringLiteral(": ") + ErrnoText(errno);
            return -1;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            if (m_problem.isEmpty())
                m_problem = path + QStringLiteral(": not a plain file");
            ::close(fd);
            return -1;
        }
        return fd;
    }

    bool m_locked = false;
    int m_fd = -1;
    QString m_problem;
};

// Makes the rename that replaced the file survive a power cut.
void SyncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString KeyPath(const QString& section, const QString& key)
{
    return section.isEmpty() ? key : section + u'/' + key;
}

// The file's bytes: empty when it is missing, nothing when something else stands in its place
// (a folder, a pipe that would never end) or it cannot be read.
std::optional<QByteArray> ReadFileBytes(const QString& path, QString* problem = nullptr)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return QByteArray();
    DataFile file = ReadDataFile(path, LargestSettingsFile);
    if (!file.bytes && problem != nullptr)
        *problem = QStringLiteral("it ") + file.problem;
    return std::move(file.bytes);
}

// Applies one change to the file with every other writer shut out. change gets the current text
// of the key (nothing when missing) and gives the new text, or nothing to remove the key. Only
// the key's own line changes; every other byte of the file is written back as it was. Empty when
// the file holds the change, else what went wrong.
QString Change(const QString& folder, const QString& path, const QString& keyPath,
               const std::function<std::optional<QString>(const std::optional<QString>&)>& change)
{
    if (!QDir().mkpath(folder))
        return QStringLiteral("its folder %1 cannot be made").arg(folder);
    const WriterLock lock(path);
    if (!lock.Locked())
        return lock.Problem();

    // Read again under the lock: another copy may have written since any earlier read.
    QString problem;
    const std::optional<QByteArray> before = ReadFileBytes(path, &problem);
    if (!before)
        return problem;
    const QMap<QString, QString> values = ParseIniText(*before);
    const auto found = values.constFind(keyPath);
    const std::optional<QString> current =
        found == values.constEnd() ? std::nullopt : std::optional<QString>(found.value());
    const std::optional<QString> next = change(current);
    if (!next && !current)
        return {};
    const QByteArray after = ChangeIniText(*before, keyPath, next);

    // A new file that replaces the old one in one step, flushed first: a crash or a full disk
    // leaves the old file or the new one, never a broken one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("it cannot be written (%1)").arg(file.errorString());
    if (file.write(after) != after.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString why = file.errorString();
        file.cancelWriting();
        return QStringLiteral("it cannot be written (%1)").arg(why);
    }
    if (!file.commit())
        return QStringLiteral("it cannot be replaced (%1)").arg(file.errorString());
    SyncFolder(folder);
    return {};
}

} // namespace

IniSettingsStore::IniSettingsStore()
    : IniSettingsStore(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
{
}

IniSettingsStore::IniSettingsStore(const QString& folder)
    : m_folder(folder)
{
}

QString IniSettingsStore::FilePath(const QString& application) const
{
    return m_folder + u'/' + application + QStringLiteral(".ini");
}

QString IniSettingsStore::Read(const QString& application, const QString& section,
                               const QString& key, const QString& fallback)
{
    // Each write replaces the whole file in one step, so reading needs no lock.
    const std::optional<QByteArray> bytes = ReadFileBytes(FilePath(application));
    return bytes ? ParseIniText(*bytes).value(KeyPath(section, key), fallback) : fallback;
}

bool IniSettingsStore::Write(const QString& application, const QString& section,
                             const QString& key, const QString& value)
{
    return Changed(application, Change(m_folder, FilePath(application), KeyPath(section, key),
                                       [&](const std::optional<QString>&) { return std::optional<QString>(value); }));
}

bool IniSettingsStore::Delete(const QString& application, const QString& section,
                              const QString& key)
{
    return Changed(application, Change(m_folder, FilePath(application), KeyPath(section, key),
                                       [](const std::optional<QString>&) { return std::optional<QString>(); }));
}

std::optional<QString> IniSettingsStore::Update(const QString& application, const QString& section,
                                                const QString& key, const QString& fallback,
                                                const std::function<QString(const QString&)>& change)
{
    QString next;
    const bool written = Changed(application, Change(m_folder, FilePath(application), KeyPath(section, key),
                                                     [&](const std::optional<QString>& current) {
                                                         next = change(current.value_or(fallback));
                                                         return std::optional<QString>(next);
                                                     }));
    if (!written)
        return std::nullopt;
    return next;
}

} // namespace velmora

namespace velmora {

bool IniSettingsStore::Changed(const QString& application, const QString& problem)
{
    m_problem = problem.isEmpty() ? QString() : FilePath(application) + QStringLiteral(": ") + problem;
    return problem.isEmpty();
}

QString IniSettingsStore::LastProblem() const
{
    return m_problem;
}

} // namespace velmora
