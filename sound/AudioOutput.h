#pragma once

#include <QByteArray>

#include <SDL_mixer.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace velmora {

// The game's one audio output: an SDL_mixer device, in SDL's usual way (so SDL_AUDIODRIVER and
// friends are honoured). SDL_mixer holds one output per process, so only one AudioOutput may
// exist at a time. Music comes from one MusicSource through the mixer's music hook; sound effects
// play as chunks on one channel, a new one cutting off the old.
//
// While neither sounds the device is paused, and once it has been quiet for ReleaseDelay it is
// closed altogether: a paused SDL device still wakes its thread for every buffer, a closed one
// has no thread. Whatever must sound opens it again first (a few milliseconds). The device is
// opened once on construction to learn whether there is one; without a usable audio device
// everything here is silent and harmless.
class AudioOutput {
public:
    // Renders interleaved signed 16-bit stereo at SampleRate(). Called on the audio thread.
    class MusicSource {
    public:
        // Fills `frames` frames (the buffer is silent on entry) and tells whether music still
        // sounds; once it answers false, and no effect plays, the device pauses until Wake().
        virtual bool RenderMusic(std::int16_t* stereo, int frames) = 0;

    protected:
        ~MusicSource() = default;
    };

    static constexpr std::chrono::milliseconds DefaultReleaseDelay{3000};

    explicit AudioOutput(std::chrono::milliseconds releaseDelay = DefaultReleaseDelay);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    bool Available() const { return m_available; }
    int SampleRate() const { return m_sampleRate; }

    // Attaches the music renderer, or detaches it with nullptr; once this returns, the previous
    // source is never called again.
    void SetMusicSource(MusicSource* source);
    // Opens the device if it was released and resumes it: a source has something to play.
    void Wake();

    // Plays `chunk` on the effect channel, cutting off whatever played there. The chunk must stay
    // alive until StopEffect() or the next PlayEffect(). Chunks outlive a release of the device.
    void PlayEffect(Mix_Chunk* chunk);
    void StopEffect();
    bool EffectPlaying() const;
    // Decodes a wave file's bytes as a chunk in the output's format, opening the device for it if
    // needed.
    Mix_Chunk* LoadEffect(const QByteArray& wave);

    // Observers for tests and the benchmark: whether the device is paused (a released device
    // counts as paused), whether it is open at all, and the largest absolute sample sent to the
    // device since the previous call.
    bool Paused() const;
    bool Open() const;
    int TakePeak();

private:
    static void MixMusic(void* self, Uint8* stream, int length);
    static void AfterMix(void* self, Uint8* stream, int length);

    // The caller holds m_deviceLock.
    bool OpenLocked();
    void CloseLocked();
    bool PausedLocked() const;
    void KeepDevice();

    const std::chrono::milliseconds m_releaseDelay;
    bool m_available = false;
    int m_sampleRate = 44100;

    // Guards opening and closing the device and every mixer call made outside the audio thread.
    mutable std::mutex m_deviceLock;
    std::condition_variable m_deviceChanged;
    // Written under m_deviceLock; the audio thread reads it to pause itself.
    std::atomic<SDL_AudioDeviceID> m_device{0};
    bool m_stopping = false;
    // Guarded by the mixer's own audio lock: the hook reads it with that lock held.
    MusicSource* m_music = nullptr;
    std::atomic<int> m_peak{0};
    std::thread m_keeper;
};

} // namespace velmora
