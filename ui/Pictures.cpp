#include "ui/Pictures.h"

#include "core/DataFile.h"
#include "core/FatalError.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace velmora {

namespace {

QImage DecodeByContent(QByteArray bytes, QString* error)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull() && error != nullptr) {
        *error = reader.errorString();
    }
    return image;
}

// The program's own pictures are compiled in; the game folder's go through ReadDataFile, so that
// a pipe or an endless file in place of a twice-size picture cannot hold the game either.
QImage DecodeOrTake(const QByteArray& bytes, QString* error, DecodedAhead* ahead)
{
    if (ahead != nullptr) {
        QImage taken = ahead->Take(bytes);
        if (!taken.isNull()) {
            return taken;
        }
    }
    return DecodeByContent(bytes, error);
}

QImage ReadByContent(const QString& fileName, QString* error = nullptr, DecodedAhead* ahead = nullptr)
{
    if (fileName.startsWith(QLatin1String(":/"))) {
        QFile resource(fileName);
        if (!resource.open(QIODevice::ReadOnly)) {
            return {};
        }
        return DecodeByContent(resource.readAll(), error);
    }
    DataFile file = ReadDataFile(fileName, kLargestPicture);
    if (!file.bytes) {
        if (error != nullptr) {
            *error = file.problem;
        }
        return {};
    }
    return DecodeOrTake(*file.bytes, error, ahead);
}

// The twice-size drawing of `designed` when the screen calls for it and `twiceName` holds one
// (read by `read`), else the design-size picture itself.
template <typename Read>
QPixmap Sharpest(QImage designed, const QString& twiceName, qreal devicePixelRatio, Read read)
{
    designed.setDevicePixelRatio(1.0);
    if (devicePixelRatio > 1.0 && QFileInfo::exists(twiceName)) {
        QImage twice = read(twiceName);
        if (!twice.isNull() && twice.size() == designed.size() * 2) {
            twice.setDevicePixelRatio(2.0);
            return QPixmap::fromImage(twice);
        }
    }
    return QPixmap::fromImage(designed);
}

// The program's own pictures are PNG files built into it. Read as PNG and nothing else: a
// reader left to find the format asks every image plugin installed first, loading each with
// the libraries it needs (SVG, JPEG…), which the logo window would wait for.
QImage ReadProgramPicture(const QString& path)
{
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace

QString TwiceSizeName(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot <= fileName.lastIndexOf(QLatin1Char('/')) || dot < 0) {
        return fileName + QStringLiteral("@2x");
    }
    return fileName.left(dot) + QStringLiteral("@2x") + fileName.mid(dot);
}

QPixmap LoadPictureFile(const QString& fileName, qreal devicePixelRatio)
{
    DecodedAhead nothing;
    return LoadPictureFile(fileName, devicePixelRatio, nothing);
}

QPixmap LoadPictureFile(const QString& fileName, qreal devicePixelRatio, DecodedAhead& ahead)
{
    if (!QFileInfo::exists(fileName)) {
        throw FatalError(QStringLiteral("The picture file \"%1\" is missing from the game folder (%2).")
                             .arg(fileName, QFileInfo(fileName).absolutePath()));
    }
    DataFile file = ReadDataFile(fileName, kLargestPicture);
    if (!file.bytes) {
        throw FatalError(QStringLiteral("The picture file \"%1\" %2.").arg(fileName, file.problem));
    }
    QString error;
    const QImage image = DecodeOrTake(*file.bytes, &error, &ahead);
    if (image.isNull()) {
        throw FatalError(QStringLiteral("The picture file \"%1\" cannot be read: %2.").arg(fileName, error));
    }
    return Sharpest(image, TwiceSizeName(fileName), devicePixelRatio,
                    [&ahead](const QString& twiceName) { return ReadByContent(twiceName, nullptr, &ahead); });
}

void DecodedAhead::Prepare(const QString& fileName, qreal devicePixelRatio)
{
    const auto decode = [this](const QString& name) {
        DataFile file = ReadDataFile(name, kLargestPicture);
        if (!file.bytes) {
            return false;
        }
        const QImage image = DecodeByContent(*file.bytes, nullptr);
        if (image.isNull()) {
            return false;
        }
        Keep(*file.bytes, image);
        return true;
    };
    if (QFileInfo::exists(fileName) && decode(fileName) && devicePixelRatio > 1.0 &&
        QFileInfo::exists(TwiceSizeName(fileName))) {
        decode(TwiceSizeName(fileName));
    }
}

QImage DecodedAhead::Take(const QByteArray& bytes)
{
    for (auto each = m_pictures.begin(); each != m_pictures.end(); ++each) {
        if (each->bytes == bytes) {
            QImage image = each->image;
            m_pictures.erase(each);
            return image;
        }
    }
    return {};
}

void DecodedAhead::Keep(const QByteArray& bytes, const QImage& image)
{
    if (Take(bytes).isNull() && m_pictures.size() >= kKept) {
        m_pictures.pop_front();
    }
    m_pictures.push_back(Decoded{bytes, image});
}

QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio)
{
    const QString path = QStringLiteral(":/pictures/") + name;
    const QImage image = ReadProgramPicture(path);
    if (image.isNull()) {
        return {};
    }
    return Sharpest(image, TwiceSizeName(path), devicePixelRatio, ReadProgramPicture);
}

QIcon ProgramIcon(const QString& name)
{
    QIcon icon(ProgramPicture(name));
    // Added as a plain pixmap of twice the size: an icon offers its sizes, and the window system
    // or a high-density screen picks the larger one.
    const QImage twice = ReadProgramPicture(QStringLiteral(":/pictures/") + TwiceSizeName(name));
    if (!twice.isNull()) {
        QImage plain = twice;
        plain.setDevicePixelRatio(1.0);
        icon.addPixmap(QPixmap::fromImage(plain));
    }
    return icon;
}

} // namespace velmora
