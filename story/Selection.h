#pragma once

#include "record/SettingsStore.h"

#include <array>
#include <cstdint>

namespace velmora {

// The heroine who comes to the tea house, from the quiz points of heroines 1 to 6 (entry 0 is not
// read) and the clear record read when the chapter began. A heroine is a candidate with at least 3
// points and more than every heroine numbered below her; the first candidate whose ending has not
// been seen wins, else the last candidate, else heroine 7.
std::int16_t ChooseHeroine(const std::array<std::int16_t, 7>& affection, std::int16_t record);

// Marks the heroine's ending as seen. The stored record is read again while the store is locked,
// so endings that another running copy of the game recorded since this play began are kept.
// True when the record was written; the game goes on either way.
bool RecordEnding(SettingsStore& store, std::int16_t heroine);

} // namespace velmora
