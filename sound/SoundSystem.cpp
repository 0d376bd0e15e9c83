#include "sound/SoundSystem.h"

#include <QFileInfo>
#include <QLibrary>

#include <cstdio>

namespace velmora {

SoundSystem::SoundSystem(QStringList modulePlaces)
    : m_modulePlaces(std::move(modulePlaces)), m_midi(*this), m_waves(*this)
{
}

// The parts close the audio output here; the module itself stays loaded to the end, as its
// libraries may still have threads or exit handlers of their own.
SoundSystem::~SoundSystem() = default;

void SoundSystem::Start()
{
    Running();
}

SoundParts* SoundSystem::Running()
{
    if (m_started) {
        return m_parts.get();
    }
    m_started = true;
    QStringList tried;
    for (const QString& place : m_modulePlaces) {
        if (!QFileInfo(place).isFile()) {
            tried << place;
            continue;
        }
        QLibrary module(place);
        const auto make = reinterpret_cast<MakeSoundPartsFunction>(module.resolve(kMakeSoundPartsName));
        if (make == nullptr) {
            m_problem = QStringLiteral("the sound module %1 cannot be loaded: %2").arg(place, module.errorString());
            break;
        }
        m_parts.reset(make());
        return m_parts.get();
    }
    if (m_problem.isEmpty()) {
        m_problem = QStringLiteral("the sound module is not installed (looked for %1)").arg(tried.join(QStringLiteral(", ")));
    }
    std::fprintf(stderr, "velmora: playing without sound: %s\n", qPrintable(m_problem));
    return nullptr;
}

bool SoundSystem::LateMidi::Open(const QString& path)
{
    SoundParts* parts = m_system.Running();
    return parts != nullptr && parts->Midi().Open(path);
}

bool SoundSystem::LateMidi::Play()
{
    SoundParts* parts = m_system.Running();
    return parts != nullptr && parts->Midi().Play();
}

MidiDevice::Mode SoundSystem::LateMidi::CurrentMode()
{
    // Asking is no reason to load the module or open an audio device: before the start nothing
    // is open.
    return m_system.Started() && m_system.m_parts ? m_system.m_parts->Midi().CurrentMode() : Mode::NotOpen;
}

void SoundSystem::LateMidi::Close()
{
    if (m_system.Started() && m_system.m_parts) {
        m_system.m_parts->Midi().Close();
    }
}

void SoundSystem::LateWaves::Play(const QString& fileName, unsigned flags)
{
    if (SoundParts* parts = m_system.Running()) {
        parts->Waves().Play(fileName, flags);
    }
}

} // namespace velmora
