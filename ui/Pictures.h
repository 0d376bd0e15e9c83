#pragma once

#include <QPixmap>
#include <QString>

namespace velmora {

// Loads a picture file from the working directory, whatever its name says: the format is taken
// from the content (BMP, GIF, JPEG, PNG, ICO, …). A missing or unreadable file is a fatal error
// that names it.
QPixmap LoadPictureFile(const QString& fileName);

// A picture built into the program (speaker icons, window icons, the title and staff-roll
// pictures); an empty pixmap when the program was built without it.
QPixmap ProgramPicture(const QString& name);

} // namespace velmora
