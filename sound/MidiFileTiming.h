#pragma once

#include <QByteArray>

#include <chrono>
#include <optional>

namespace velmora {

// How long a Standard MIDI File plays: from its start to the end of its longest track, following
// every tempo change. Returns nothing for bytes that are not a complete file the synthesizer can
// play (missing header, truncated chunk or event, running status with no status, SMPTE timing,
// fewer tracks than announced), so such a file is refused before it reaches the player.
std::optional<std::chrono::microseconds> MidiFileDuration(const QByteArray& bytes);

} // namespace velmora
