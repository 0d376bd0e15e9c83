#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include <deque>

namespace velmora {

// Every picture also comes drawn at twice its design size for high-density screens, in a file
// named like the design-size one with "@2x" before the extension: "S01@2x.vlq", "title@2x.png".
QString TwiceSizeName(const QString& fileName);

// Loads a picture file from the working directory, whatever its name says: the format is taken
// from the content (BMP, GIF, JPEG, PNG, ICO, …). A missing or unreadable file is a fatal error
// that names it. Where the screen has more than one device pixel to a logical one
// (`devicePixelRatio` > 1), the twice-size file beside it is shown instead, marked with a pixel
// ratio of 2 so that its logical size stays the design size; when that file is missing, unreadable
// or not exactly twice the size (a picture replaced by hand), the design-size one is used.
QPixmap LoadPictureFile(const QString& fileName, qreal devicePixelRatio = 1.0);

// Pictures decoded ahead of the line that shows them, each with the bytes it was decoded from.
// Loading a picture whose file still holds the same bytes takes the decoded one instead of
// decoding again; the file is still read, so what is shown, and every error, stays as if the
// picture had been loaded only then.
class DecodedAhead {
public:
    // Reads and decodes `fileName` (and its twice-size file, where the screen calls for it) for
    // a later LoadPictureFile. Never fails: a file that cannot be read is left for that load to
    // report. Keeps the last few pictures only.
    void Prepare(const QString& fileName, qreal devicePixelRatio);

    // The picture decoded from exactly these bytes, taken out of the store; a null image when
    // there is none.
    QImage Take(const QByteArray& bytes);
    std::size_t Size() const { return m_pictures.size(); }

    static constexpr std::size_t kKept = 4;

private:
    void Keep(const QByteArray& bytes, const QImage& image);

    struct Decoded {
        QByteArray bytes;
        QImage image;
    };
    std::deque<Decoded> m_pictures;
};

// LoadPictureFile that takes from `ahead` what was decoded there from the same bytes.
QPixmap LoadPictureFile(const QString& fileName, qreal devicePixelRatio, DecodedAhead& ahead);

// A picture built into the program (speaker icons, window icons, the title and staff-roll
// pictures), chosen as `LoadPictureFile` chooses; an empty pixmap when the program was built
// without it.
QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio = 1.0);

// A window icon with both drawings, so that the window system takes the size it shows.
QIcon ProgramIcon(const QString& name);

} // namespace velmora
