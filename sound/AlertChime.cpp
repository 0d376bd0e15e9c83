#include "sound/AlertChime.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora {
namespace {

struct Tone {
    double startSeconds;
    double lengthSeconds;
    double frequency;
    double level; // of full scale
};

// A rising major sixth, the second tone softer and longer so the chime settles rather than stops.
constexpr Tone Tones[] = {
    {0.000, 0.070, 784.0, 0.22},
    {0.055, 0.095, 1318.5, 0.16},
};
constexpr double TotalSeconds = 0.150;
constexpr double AttackSeconds = 0.004;

} // namespace

std::vector<std::int16_t> AlertChime(int sampleRate)
{
    const auto frames = static_cast<std::size_t>(std::lround(TotalSeconds * sampleRate));
    std::vector<std::int16_t> stereo(frames * 2, 0);
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const double t = static_cast<double>(frame) / sampleRate;
        double value = 0.0;
        for (const Tone& tone : Tones) {
            const double local = t - tone.startSeconds;
            if (local < 0.0 || local >= tone.lengthSeconds) {
                continue;
            }
            // A quick rise, an exponential decay, and a raised-cosine fade over the last fifth
            // that brings the tone to exactly zero at its end.
            const double attack = std::min(1.0, local / AttackSeconds);
            const double decay = std::exp(-local * 18.0);
            const double fadeStart = tone.lengthSeconds * 0.8;
            const double fade = local < fadeStart
                ? 1.0
                : 0.5 * (1.0 + std::cos(std::numbers::pi * (local - fadeStart) / (tone.lengthSeconds - fadeStart)));
            value += tone.level * attack * decay * fade * std::sin(2.0 * std::numbers::pi * tone.frequency * local);
        }
        const auto sample = static_cast<std::int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
        stereo[frame * 2] = sample;
        stereo[frame * 2 + 1] = sample;
    }
    return stereo;
}

} // namespace velmora
