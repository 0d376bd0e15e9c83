#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace velmora {

class Game;

// A line still to come, as far as the display can make it ready while the player reads.
struct LineAhead {
    std::int16_t speaker = 0;
    QString text;
    QString pictureCode; // empty for a tea-house line, which keeps the scene
};

// Names the line that follows the next one shown (nothing when none follows). While the player
// reads that next line, the display works out the following line's rows and decodes its scene
// picture, so that the click that brings it finds little left to do. What is shown, and when,
// stays the same.
void ReadAhead(Game& game, std::optional<LineAhead> next);

// Shows one line of the script in the game window: a new scene picture and caption when the
// picture code changes, the speaker's icon and name, the text; then waits for a click or a key.
// Under the quiz music it does not wait: it rewrites the caption with the title and returns.
void SayLine(Game& game, std::int16_t speaker, const QString& text, const QString& pictureCode,
             const QString& locationTitle);

// A line of the tea-house conversation: no scene change, and it always waits.
void TeaLine(Game& game, std::int16_t speaker, const QString& text);

// Puts the heroine's picture over the right-hand part of the scene, for the rest of the game.
void ShowTeaPicture(Game& game, std::int16_t heroine);

// "S4" + the heroine number in upper-case hexadecimal (four digits for a negative number) + ".vlq".
QString HeroinePictureFile(std::int16_t heroine);

// A line's text as the text label shows it: the player's thoughts (speaker 10) in brackets.
QString ShownLine(std::int16_t speaker, const QString& text);

// Whether `displayedText` (speaker 10's brackets included) fits the game window's text label in
// full at the game's font and size.
bool FitsLineLabel(const QString& displayedText);

inline constexpr std::int16_t kThoughtsSpeaker = 10;
inline const QString kQuizMusic = QStringLiteral("M01S.mid");

} // namespace velmora
