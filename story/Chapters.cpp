#include "story/Chapters.h"

namespace velmora {

// The chapters are still being written; until their script lands a play goes straight from the
// title to the staff roll.
void OpeningChapter(Game& /*game*/) {}
void RoadToTeaHouse(Game& /*game*/) {}
void TeaHouseEnding(Game& /*game*/) {}

} // namespace velmora
