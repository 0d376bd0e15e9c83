#pragma once

#include "sound/MidiDevice.h"
#include "sound/SoundModule.h"
#include "sound/WaveSound.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace velmora {

// Everything the game hears: the audio output, the MIDI device (whose soundfont loads in the
// background) and the wave sounds, all in the sound module. Made in main before any window, but
// empty until Start(): the program starts it once the logo is on screen, so the first window
// waits neither for the module's libraries nor for an audio device. Midi() and Waves() may be
// handed out at once; the first command on either starts the system if the program has not yet.
class SoundSystem {
public:
    // `modulePlaces`: where to look for the sound module, in order.
    explicit SoundSystem(QStringList modulePlaces);
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Loads the module, opens the audio output and starts loading the soundfont; later calls do
    // nothing. Without the module the game plays silent, as without a sound card, and says why
    // once on stderr.
    void Start();
    bool Started() const { return m_started; }
    // Why there is no sound, when the module could not be loaded; empty otherwise.
    QString Problem() const { return m_problem; }

    MidiDevice& Midi() { return m_midi; }
    WaveSound& Waves() { return m_waves; }

private:
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

    // The module's parts once started, or null when it could not be loaded.
    SoundParts* Running();

    QStringList m_modulePlaces;
    LateMidi m_midi;
    LateWaves m_waves;
    bool m_started = false;
    QString m_problem;
    std::unique_ptr<SoundParts> m_parts;
};

} // namespace velmora
