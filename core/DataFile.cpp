#include "core/DataFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {

namespace {

QString KindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("a device");
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a plain file");
}

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

DataFile ReadDataFile(const QString& path, qint64 largest)
{
    const Descriptor fd(::open(QFile::encodeName(path).constData(),
                               O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0)
        return {std::nullopt, QStringLiteral("cannot be opened (%1)").arg(ErrnoText(errno))};
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0)
        return {std::nullopt, QStringLiteral("cannot be examined (%1)").arg(ErrnoText(errno))};
    if (!S_ISREG(info.st_mode))
        return {std::nullopt, QStringLiteral("is %1, not a file").arg(KindOf(info.st_mode))};
    const auto tooLarge = [&] {
        return DataFile{std::nullopt, QStringLiteral("is larger than the %1 MiB such a file may have")
                                          .arg(largest / (1024 * 1024))};
    };
    if (info.st_size > largest)
        return tooLarge();

    // The file may still grow while it is read; one byte past the bound tells.
    QByteArray bytes(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > largest)
                return tooLarge();
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, static_cast<qsizetype>(largest) + 1));
        }
        const ssize_t got = ::read(fd.Get(), bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {std::nullopt, QStringLiteral("cannot be read (%1)").arg(ErrnoText(errno))};
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return {std::move(bytes), {}};
}

} // namespace velmora
