#include "sound/SoundSystem.h"

namespace velmora {

void SoundSystem::Start()
{
    Running();
}

SoundSystem::Parts& SoundSystem::Running()
{
    if (!m_parts) {
        m_parts = std::make_unique<Parts>();
    }
    return *m_parts;
}

bool SoundSystem::LateMidi::Open(const QString& path)
{
    return m_system.Running().midi.Open(path);
}

bool SoundSystem::LateMidi::Play()
{
    return m_system.Running().midi.Play();
}

MidiDevice::Mode SoundSystem::LateMidi::CurrentMode()
{
    // Asking is no reason to open an audio device: before the start nothing is open.
    return m_system.Started() ? m_system.Running().midi.CurrentMode() : Mode::NotOpen;
}

void SoundSystem::LateMidi::Close()
{
    if (m_system.Started()) {
        m_system.Running().midi.Close();
    }
}

void SoundSystem::LateWaves::Play(const QString& fileName, unsigned flags)
{
    m_system.Running().waves.Play(fileName, flags);
}

} // namespace velmora
