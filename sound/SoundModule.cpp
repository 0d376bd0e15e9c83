#include "sound/SoundModule.h"

#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "sound/SdlWaveSound.h"

namespace velmora {
namespace {

class ModuleParts final : public SoundParts {
public:
    ModuleParts() : m_midi(m_output), m_waves(m_output) {}
    MidiDevice& Midi() override { return m_midi; }
    WaveSound& Waves() override { return m_waves; }

private:
    // Declared first so that it is made first and closed last.
    AudioOutput m_output;
    FluidSynthMidiDevice m_midi;
    SdlWaveSound m_waves;
};

} // namespace
} // namespace velmora

extern "C" __attribute__((visibility("default"))) velmora::SoundParts* VelmoraMakeSoundParts()
{
    return new velmora::ModuleParts();
}
