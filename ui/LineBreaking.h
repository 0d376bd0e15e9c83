#pragma once

#include <QFontMetricsF>
#include <QString>
#include <QStringList>

namespace velmora {

// Splits `text` into the lines it takes at `width` pixels, by the usual Japanese rules: a line
// may break between any two characters, except that closing punctuation and small kana never
// start a line and opening brackets never end one, and a run of ASCII letters and digits stays
// whole when it can.
QStringList BreakLines(const QString& text, const QFontMetricsF& metrics, qreal width);

bool MayNotStartLine(char32_t character);
bool MayNotEndLine(char32_t character);

} // namespace velmora
