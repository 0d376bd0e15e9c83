#include "record/IniSettingsStore.h"

#include "record/IniText.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

// Long enough for any other copy of the game to finish its write.
constexpr int LockWaitMs = 5000;

bool ReadRawValues(QIODevice& device, QSettings::SettingsMap& map)
{
    const QMap<QString, QString> values = ParseIniText(device.readAll());
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        map.insert(it.key(), it.value());
    return true;
}

bool WriteRawValues(QIODevice& device, const QSettings::SettingsMap& map)
{
    QMap<QString, QString> values;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        values.insert(it.key(), it.value().toString());
    const QByteArray data = WriteIniText(values);
    if (device.write(data) != data.size())
        return false;
    // QSettings writes through a QSaveFile, which flushes the new file to the disk before it
    // replaces the old one, but does not notice when its own last flush of the write buffer fails
    // (a full disk): it would put a cut-off file in place. Flushed here, the failure stops the
    // replacement.
    auto* file = qobject_cast<QFileDevice*>(&device);
    return file == nullptr || file->flush();
}

// QSettings with a format of our own keeps its locking and its write-then-rename, while the
// values stay plain text.
QSettings::Format RawIniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("ini"), ReadRawValues, WriteRawValues, Qt::CaseSensitive);
    return format;
}

// Shuts out every other writer of one settings file, in this process or another. The kernel lets
// go of the lock when its holder dies, however it dies, so a killed copy of the game never leaves
// the record locked (a lock file of QLockFile's kind, killed between its creation and its
// contents, would stay in force for half a minute). The lock file itself stays, empty.
class WriterLock {
public:
    explicit WriterLock(const QString& settingsPath)
    {
#ifdef Q_OS_UNIX
        m_fd = ::open(QFile::encodeName(settingsPath + QStringLiteral(".writer.lock")).constData(),
                      O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0)
            return;
        QDeadlineTimer deadline(LockWaitMs);
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK || deadline.hasExpired()) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
            QThread::msleep(5);
        }
        m_locked = true;
#else
        m_lock = std::make_unique<QLockFile>(settingsPath + QStringLiteral(".writer.lock"));
        m_locked = m_lock->tryLock(LockWaitMs);
#endif
    }

    ~WriterLock()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }

    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    bool Locked() const { return m_locked; }

private:
    bool m_locked = false;
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    std::unique_ptr<QLockFile> m_lock;
#endif
};

// Makes the rename that replaced the file survive a power cut.
void SyncFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

QString KeyPath(const QString& section, const QString& key)
{
    return section.isEmpty() ? key : section + u'/' + key;
}

// Anything but a plain file there (a folder, a pipe that would never end) is no settings file.
bool IsPlainFileOrMissing(const QString& path)
{
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

QMap<QString, QString> ReadFile(const QString& path)
{
    if (!IsPlainFileOrMissing(path))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseIniText(file.readAll());
}

// Applies one change to the file with every other writer shut out. change gets the current text
// of the key (nothing when missing) and gives the new text, or nothing to remove the key. True
// when the file holds the change.
bool Change(const QString& folder, const QString& path, const QString& keyPath,
            const std::function<std::optional<QString>(const std::optional<QString>&)>& change)
{
    if (!IsPlainFileOrMissing(path))
        return false;
    QDir().mkpath(folder);
    // QSettings locks the file only around its own write; this lock spans the read as well.
    const WriterLock lock(path);
    if (!lock.Locked())
        return false;

    // Read past QSettings' cache, which trusts the file's size and time and so can miss a change
    // another process made within the same clock tick.
    const QMap<QString, QString> values = ReadFile(path);
    const auto found = values.constFind(keyPath);
    const std::optional<QString> current =
        found == values.constEnd() ? std::nullopt : std::optional<QString>(found.value());
    const std::optional<QString> next = change(current);
    if (!next && !current)
        return true;

    // Every writer holds the lock above while QSettings takes its own, so a QSettings lock file
    // found now was left by a copy that died, and waiting for it to go stale would hold the game.
    QLockFile(path + QStringLiteral(".lock")).removeStaleLockFile();

    QSettings settings(path, RawIniFormat());
    settings.setFallbacksEnabled(false);
    if (next)
        settings.setValue(keyPath, *next);
    else
        settings.remove(keyPath);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return false;
    SyncFolder(folder);
    return true;
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
    return ReadFile(FilePath(application)).value(KeyPath(section, key), fallback);
}

bool IniSettingsStore::Write(const QString& application, const QString& section,
                             const QString& key, const QString& value)
{
    return Change(m_folder, FilePath(application), KeyPath(section, key),
                  [&](const std::optional<QString>&) { return std::optional<QString>(value); });
}

bool IniSettingsStore::Delete(const QString& application, const QString& section,
                              const QString& key)
{
    return Change(m_folder, FilePath(application), KeyPath(section, key),
                  [](const std::optional<QString>&) { return std::optional<QString>(); });
}

std::optional<QString> IniSettingsStore::Update(const QString& application, const QString& section,
                                                const QString& key, const QString& fallback,
                                                const std::function<QString(const QString&)>& change)
{
    QString next;
    const bool written = Change(m_folder, FilePath(application), KeyPath(section, key),
                                [&](const std::optional<QString>& current) {
                                    next = change(current.value_or(fallback));
                                    return std::optional<QString>(next);
                                });
    if (!written)
        return std::nullopt;
    return next;
}

} // namespace velmora
