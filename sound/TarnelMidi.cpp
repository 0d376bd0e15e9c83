#include "sound/TarnelMidi.h"

#include <QDir>

namespace velmora {

bool TarnelMidi::MidiPlaying()
{
    const MidiDevice::Mode mode = m_device.CurrentMode();
    return mode == MidiDevice::Mode::Playing || mode == MidiDevice::Mode::Paused;
}

void TarnelMidi::LoopMidi()
{
    if (m_state.NoMusic != 0) {
        return;
    }
    if (!MidiPlaying()) {
        PlayMidi(m_state.MidiName);
    }
}

void TarnelMidi::StopMidi()
{
    m_device.Close();
}

void TarnelMidi::PlayMidi(const QString& name)
{
    if (m_state.NoMusic != 0) {
        return;
    }
    // The working directory, not the program's own: the pictures and the questions are found
    // the same way.
    const QString path = QDir::currentPath() + QLatin1Char('/') + name;
    StopMidi();
    m_device.Open(path);
    m_device.Play();
}

} // namespace velmora
