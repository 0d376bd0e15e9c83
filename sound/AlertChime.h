#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

// The game's own alert sound, played when a wave file it asks for cannot be read: a soft
// two-tone chime of about 150 ms, as interleaved signed 16-bit stereo at `sampleRate`. Each tone
// fades in and out, so the chime starts and ends without a click.
std::vector<std::int16_t> AlertChime(int sampleRate);

} // namespace velmora
