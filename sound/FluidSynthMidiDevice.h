#pragma once

#include "sound/AudioOutput.h"
#include "sound/MidiDevice.h"
#include "sound/Upsampler2x.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;
typedef struct _fluid_voice_t fluid_voice_t;

namespace velmora {

// The game's MIDI sequencer: one FluidSynth synthesizer rendering through the audio output's
// music hook. The synthesizer and its soundfont load once, on a thread of their own, from
// construction; a piece opened and played before then starts as soon as they are ready. Opening a
// piece only reads and checks the file. Every player change and every render happen under one
// lock, since FluidSynth does not survive a player being replaced while it renders.
//
// The synthesizer runs at half the output's rate (MusicSynthRate) and renders ahead in blocks of
// about 93 ms, which the output's buffers then take in turn: one long render costs less than
// several short ones, whose state has gone cold in the cache between them.
//
// A released voice fades by 96 dB over its release time, and FluidSynth renders it to the end,
// long after it has fallen under hearing: the ride cymbal of the story's piece rings ten seconds
// per stroke, most of it far under the strokes that follow. Before each block, a voice that has
// faded 60 dB under the level it was released at is muted (over one 64-frame step, so without a
// click) and, a block later, ended: a third of the voices the pieces keep, and of their cost.
class FluidSynthMidiDevice final : public MidiDevice, public AudioOutput::MusicSource {
public:
    enum class Loading { InProgress, Ready, Failed };

    // The soundfonts to try, in order: the system's chosen General MIDI soundfont, the large
    // FluidR3 set, then the small TimGM6mb set that the game's setup installs.
    static QStringList DefaultSoundFonts();

    explicit FluidSynthMidiDevice(AudioOutput& output, QStringList soundFonts = DefaultSoundFonts());
    ~FluidSynthMidiDevice() override;
    FluidSynthMidiDevice(const FluidSynthMidiDevice&) = delete;
    FluidSynthMidiDevice& operator=(const FluidSynthMidiDevice&) = delete;

    bool Open(const QString& path) override;
    bool Play() override;
    Mode CurrentMode() override;
    void Close() override;

    // For tests and the benchmark; the game never waits on these.
    Loading LoadState() const;
    QString SoundFont() const;
    std::chrono::microseconds LoadTime() const;
    // The synthesizer's voices that still sound or ring.
    int ActiveVoices() const;

    // Called by the audio output on its thread; tests detach the device and call it by hand.
    bool RenderMusic(std::int16_t* stereo, int frames) override;

private:
    void Load(QStringList soundFonts);
    // The caller holds m_lock.
    bool StartPlayerLocked();
    void StopPlayerLocked();
    // Forgets what was rendered ahead, so that the next piece starts from silence.
    void ClearAheadLocked();
    void RenderAheadLocked();
    void EndFadedVoicesLocked();

    AudioOutput& m_output;
    mutable std::mutex m_lock;
    // Guarded by m_lock from here on.
    Loading m_loading = Loading::InProgress;
    fluid_settings_t* m_settings = nullptr;
    fluid_synth_t* m_synth = nullptr;
    QString m_soundFont;
    std::chrono::microseconds m_loadTime{0};
    bool m_open = false;
    QByteArray m_piece;
    std::int64_t m_pieceFrames = 0;
    bool m_playRequested = false;
    fluid_player_t* m_player = nullptr;
    bool m_synthTouched = false;
    std::int64_t m_framesPlayed = 0;
    std::int64_t m_quietFrames = 0;
    bool m_rendering = false;
    Upsampler2x m_upsampler;
    std::vector<float> m_synthBlock;
    std::vector<float> m_upsampled;
    // Output frames rendered ahead; [m_aheadRead, m_aheadFilled) are still to be played.
    std::vector<std::int16_t> m_ahead;
    int m_aheadRead = 0;
    int m_aheadFilled = 0;
    // Synthesizer frames rendered of the current piece, and for each released note (by its
    // voices' id) the count when it was first seen released.
    std::int64_t m_synthFrames = 0;
    std::vector<std::pair<unsigned int, std::int64_t>> m_released;
    std::vector<std::pair<unsigned int, std::int64_t>> m_stillReleased;
    std::vector<fluid_voice_t*> m_voices;

    std::thread m_loader;
};

} // namespace velmora
