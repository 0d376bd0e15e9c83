#include "ui/Pictures.h"

#include "core/DataFile.h"
#include "core/FatalError.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace velmora {

QPixmap LoadPictureFile(const QString& fileName)
{
    if (!QFileInfo::exists(fileName)) {
        throw FatalError(QStringLiteral("The picture file \"%1\" is missing from the game folder (%2).")
                             .arg(fileName, QFileInfo(fileName).absolutePath()));
    }
    DataFile file = ReadDataFile(fileName, kLargestPicture);
    if (!file.bytes) {
        throw FatalError(QStringLiteral("The picture file \"%1\" %2.")
                             .arg(fileName, file.problem));
    }
    QBuffer buffer(&*file.bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        throw FatalError(QStringLiteral("The picture file \"%1\" cannot be read: %2.")
                             .arg(fileName, reader.errorString()));
    }
    return QPixmap::fromImage(image);
}

QPixmap ProgramPicture(const QString& name)
{
    return QPixmap(QStringLiteral(":/pictures/") + name);
}

} // namespace velmora
