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
    font.setFamilies(JapaneseFamilies());
    // The layout is drawn in pixels at 96 dots per inch; sizing the text the same way keeps it in
    // proportion on any screen (high-DPI scaling enlarges both together).
    font.setPixelSize(qRound(pointSize * 96.0 / 72.0));
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QStringList JapaneseFamilies()
{
    // Qt takes a face's writing systems from fontconfig's language coverage (lang=ja).
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    QStringList families;
    for (const QString& family : JapaneseGothicFamilies()) {
        if (japanese.contains(family, Qt::CaseInsensitive)) {
            families << family;
        }
    }
    for (const QString& family : japanese) {
        if (!families.contains(family, Qt::CaseInsensitive)) {
            families << family;
        }
    }
    return families;
}

void RequireJapaneseFont()
{
    if (!JapaneseFamilies().isEmpty()) {
        return;
    }
    throw FatalError(QStringLiteral("No Japanese font is installed, so the story cannot be shown. "
                                    "Install a font that covers Japanese, best one of these: %1 (on "
                                    "Debian: apt-get install fonts-ipafont-gothic).")
                         .arg(JapaneseGothicFamilies().join(QStringLiteral(", "))));
}

} // namespace velmora
