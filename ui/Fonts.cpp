#include "ui/Fonts.h"

#include "core/FatalError.h"

#include <QFontDatabase>

namespace velmora {

QStringList JapaneseGothicFamilies()
{
    return {QStringLiteral("IPAPGothic"),     QStringLiteral("IPA Pゴシック"),
            QStringLiteral("VL PGothic"),     QStringLiteral("TakaoPGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Source Han Sans JP"),
            QStringLiteral("IPAGothic"),      QStringLiteral("Droid Sans Japanese")};
}

QFont JapaneseGothic(qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(JapaneseGothicFamilies());
    // The layout is drawn in pixels at 96 dots per inch; sizing the text the same way keeps it in
    // proportion on any screen (high-DPI scaling enlarges both together).
    font.setPixelSize(qRound(pointSize * 96.0 / 72.0));
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

void RequireJapaneseFont()
{
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : JapaneseGothicFamilies()) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            return;
        }
    }
    throw FatalError(QStringLiteral("No Japanese font is installed, so the story cannot be shown. "
                                    "Install one of these fonts: %1 (on Debian: apt-get install "
                                    "fonts-ipafont-gothic).")
                         .arg(JapaneseGothicFamilies().join(QStringLiteral(", "))));
}

} // namespace velmora
