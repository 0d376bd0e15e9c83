#include "ui/Pictures.h"

#include "core/FatalError.h"

#include <QFileInfo>
#include <QImageReader>

namespace velmora {

QPixmap LoadPictureFile(const QString& fileName)
{
    if (!QFileInfo::exists(fileName)) {
        throw FatalError(QStringLiteral("The picture file \"%1\" is missing from the game folder (%2).")
                             .arg(fileName, QFileInfo(fileName).absolutePath()));
    }
    QImageReader reader(fileName);
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
