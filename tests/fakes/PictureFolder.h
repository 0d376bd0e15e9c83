#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace velmora::testing {

// A scratch working directory for a test, made current for the test's lifetime, in which
// picture files of chosen sizes and formats can be laid out under any name.
class PictureFolder {
public:
    PictureFolder() : m_previous(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~PictureFolder() { QDir::setCurrent(m_previous); }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

    // Writes a picture of `size` in `format` ("PNG", "BMP", "JPEG", "ICO") under `name`.
    void Write(const QString& name, QSize size, const char* format = "PNG", QColor colour = Qt::darkCyan) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        image.save(m_dir.filePath(name), format);
    }

    void WriteBytes(const QString& name, const QByteArray& bytes) const
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    void Remove(const QString& name) const { QFile::remove(m_dir.filePath(name)); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

} // namespace velmora::testing
