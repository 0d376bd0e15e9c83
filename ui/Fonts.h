#pragma once

#include <QFont>
#include <QStringList>

namespace velmora {

// The proportional Japanese Gothic faces the game asks for, best first. fontconfig knows no
// alias for the classic Windows face the layout was drawn for, so they are listed by name.
QStringList JapaneseGothicFamilies();

// Every installed face that covers Japanese: the listed Gothic faces first, in their order, then
// any other (a system may have only, say, Droid Sans Fallback). Empty when there is none.
QStringList JapaneseFamilies();

// A Japanese Gothic font of `pointSize` points at 96 dots per inch; bold on request.
QFont JapaneseGothic(qreal pointSize, bool bold = false);

// Ends the program with a clear message when no installed face covers Japanese, rather than let
// every line show as empty boxes.
void RequireJapaneseFont();

} // namespace velmora
