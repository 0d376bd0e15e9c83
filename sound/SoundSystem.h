#pragma once

#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "sound/MidiDevice.h"
#include "sound/SdlWaveSound.h"
#include "sound/WaveSound.h"

#include <memory>

namespace velmora {

// Everything the game hears: the audio output, the MIDI device (whose soundfont loads in the
// background) and the wave sounds. Made in main before any window, but empty until Start(): the
// program starts it once the logo is on screen, so the first window does not wait for an audio
// device. Midi() and Waves() may be handed out at once; the first command on either starts the
// system if the program has not yet.
class SoundSystem {
public:
    SoundSystem() : m_midi(*this), m_waves(*this) {}

    // Opens the audio output and starts loading the soundfont; later calls do nothing.
    void Start();
    bool Started() const { return m_parts != nullptr; }

    MidiDevice& Midi() { return m_midi; }
    WaveSound& Waves() { return m_waves; }

private:
    struct Parts {
        Parts() : midi(output), waves(output) {}
        // Declared first so that it is made first and closed last.
        AudioOutput output;
        FluidSynthMidiDevice midi;
        SdlWaveSound waves;
    };

    class LateMidi final : public MidiDevice {
    public:
        explicit LateMidi(SoundSystem& system) : m_system(system) {}
        bool Open(const QString& path) override;
        bool Play() override;
        Mode CurrentMode() override;
        void Close() override;

    private:
        SoundSystem& m_system;
    };

    class LateWaves final : public WaveSound {
    public:
        explicit LateWaves(SoundSystem& system) : m_system(system) {}
        void Play(const QString& fileName, unsigned flags) override;

    private:
        SoundSystem& m_system;
    };

    Parts& Running();

    LateMidi m_midi;
    LateWaves m_waves;
    std::unique_ptr<Parts> m_parts;
};

} // namespace velmora
