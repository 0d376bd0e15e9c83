#include "record/IniSettingsStore.h"

#include "record/IniText.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velmora {

namespace {

// Long enough for any other copy of the game to finish its write; a lock left by a copy that
// died is taken over at once.
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
#ifdef Q_OS_UNIX
    // The new file must be on the disk before it replaces the old one.
    if (auto* file = qobject_cast<QFileDevice*>(&device)) {
        if (!file->flush() || ::fsync(file->handle()) != 0)
            return false;
    }
#endif
    return true;
}

// QSettings with a format of our own keeps its locking and its write-then-rename, while the
// values stay plain text.
QSettings::Format RawIniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("ini"), ReadRawValues, WriteRawValues, Qt::CaseSensitive);
    return format;
}

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

QMap<QString, QString> ReadFile(const QString& path)
{
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
    QDir().mkpath(folder);
    // QSettings takes "<file>.lock" only around its own write; this one spans the read as well.
    QLockFile lock(path + QStringLiteral(".writer.lock"));
    if (!lock.tryLock(LockWaitMs))
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
