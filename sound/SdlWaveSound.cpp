#include "sound/SdlWaveSound.h"

#include "sound/AlertChime.h"

#include "core/DataFile.h"


namespace velmora {

SdlWaveSound::SdlWaveSound(AudioOutput& output) : m_output(output)
{
    if (!m_output.Available()) {
        return;
    }
    // The output always runs signed 16-bit stereo, the chime's own format.
    m_alertSamples = AlertChime(m_output.SampleRate());
    // Built by hand rather than through the mixer, which makes chunks only while its device is
    // open; the samples stay ours, so the chunk is never handed to Mix_FreeChunk.
    m_alertChunk.allocated = 0;
    m_alertChunk.abuf = reinterpret_cast<Uint8*>(m_alertSamples.data());
    m_alertChunk.alen = static_cast<Uint32>(m_alertSamples.size() * sizeof(std::int16_t));
    m_alertChunk.volume = MIX_MAX_VOLUME;
    m_alert = &m_alertChunk;
}

SdlWaveSound::~SdlWaveSound()
{
    m_output.StopEffect();
    if (m_loaded != nullptr) {
        Mix_FreeChunk(m_loaded);
    }
}

void SdlWaveSound::Play(const QString& fileName, unsigned flags)
{
    // Playback is always asynchronous; nothing in the game asks to wait for a sound.
    if (!m_output.Available()) {
        return;
    }
    m_output.StopEffect();
    if (m_loaded != nullptr) {
        Mix_FreeChunk(m_loaded);
        m_loaded = nullptr;
    }
    // Read here rather than by name in SDL, so that a pipe or a device in the sound's place is
    // skipped at once instead of holding the game; SDL decodes into memory of its own.
    const DataFile file = ReadDataFile(fileName, kLargestWaveSound);
    if (file.bytes) {
        m_loaded = m_output.LoadEffect(*file.bytes);
    }
    if (m_loaded != nullptr) {
        m_output.PlayEffect(m_loaded);
    } else if ((flags & NoDefault) == 0 && m_alert != nullptr) {
        m_output.PlayEffect(m_alert);
    }
}

} // namespace velmora
