#pragma once

#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "sound/SdlWaveSound.h"

namespace velmora {

// Everything the game hears, made once in main before any window: the audio output, the MIDI
// device (whose soundfont starts loading at once, in the background) and the wave sounds.
class SoundSystem {
public:
    SoundSystem() : m_midi(m_output), m_waves(m_output) {}

    MidiDevice& Midi() { return m_midi; }
    WaveSound& Waves() { return m_waves; }

private:
    // Declared first so that it is made first and closed last.
    AudioOutput m_output;
    FluidSynthMidiDevice m_midi;
    SdlWaveSound m_waves;
};

} // namespace velmora
