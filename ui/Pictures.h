#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

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

// A picture built into the program (speaker icons, window icons, the title and staff-roll
// pictures), chosen as `LoadPictureFile` chooses; an empty pixmap when the program was built
// without it.
QPixmap ProgramPicture(const QString& name, qreal devicePixelRatio = 1.0);

// A window icon with both drawings, so that the window system takes the size it shows.
QIcon ProgramIcon(const QString& name);

} // namespace velmora
