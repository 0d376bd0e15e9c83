#pragma once

#include "sound/AudioOutput.h"
#include "sound/WaveSound.h"

#include <cstdint>
#include <vector>

namespace velmora {

// Wave sounds as mixer chunks on the audio output's one effect channel. Every request first cuts
// off the sound before it, even one whose own file then fails to load: the game's short silent
// sound exists only to cut its jingle off.
class SdlWaveSound final : public WaveSound {
public:
    explicit SdlWaveSound(AudioOutput& output);
    ~SdlWaveSound() override;
    SdlWaveSound(const SdlWaveSound&) = delete;
    SdlWaveSound& operator=(const SdlWaveSound&) = delete;

    void Play(const QString& fileName, unsigned flags) override;

private:
    AudioOutput& m_output;
    std::vector<std::int16_t> m_alertSamples;
    Mix_Chunk m_alertChunk{};
    Mix_Chunk* m_alert = nullptr;
    Mix_Chunk* m_loaded = nullptr;
};

} // namespace velmora
