#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace velmora {

// Flags are 16-bit integers: 0 is false, -1 (all bits set) is true, and every test asks only
// zero or non-zero.
inline constexpr std::int16_t kTrue = -1;
inline constexpr std::int16_t kFalse = 0;

inline constexpr int kSpeakerCount = 11;  // speakers 0 to 10
inline constexpr int kAffectionSlots = 7; // slot 0 collects points for nobody; 1 to 6 heroines

// Everything the driver, the chapters, the displays, the music player and the windows' handlers
// say to one another. Handlers only ever set these; waiting procedures clear and test them
// between yields, which is why no locking is needed on the one thread the game runs on.
struct GameState {
    std::int16_t Clicked = 0;     // the player acknowledged the line shown
    std::int16_t Answer = 0;      // answer button chosen: 1, 2 or 3; 0 while none
    std::int16_t SkipOpening = 0; // start at the quiz
    std::int16_t NoMusic = 0;     // this play is silent
    QString MidiName;             // the piece the music loop keeps playing
    std::array<std::int16_t, kAffectionSlots> Affection{};
    std::array<QString, kSpeakerCount> CastName;
    std::int16_t RollRunning = 0; // the staff roll is still running
    std::int16_t RollTick = 0;    // staff-roll ticks so far
};

// Refills the cast table and clears the heroines' points before every game. Slot 0 of
// Affection is left alone: it is never read.
void InitNewGame(GameState& state);

// Adds points to one Affection slot. Slot 0 gains up to 20 points every game and is never reset
// or read, so it saturates instead of overflowing 16 bits in a very long run.
void AddAffection(GameState& state, int slot, std::int16_t points);

} // namespace velmora
