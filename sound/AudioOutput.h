#pragma once

#include <SDL_mixer.h>

#include <atomic>
#include <cstdint>

namespace velmora {

// The game's one audio output: an SDL_mixer device opened once per run, in SDL's usual way (so
// SDL_AUDIODRIVER and friends are honoured). SDL_mixer holds one output per process, so only one
// AudioOutput may exist at a time. Music comes from one MusicSource through the mixer's music
// hook; sound effects play as chunks on one channel, a new one cutting off the old. While neither
// sounds the device is paused: nothing is mixed or rendered, and only SDL's own thread still
// hands the device silence. Without a usable audio device everything here is silent and harmless.
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

    AudioOutput();
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    bool Available() const { return m_available; }
    int SampleRate() const { return m_sampleRate; }

    // Attaches the music renderer, or detaches it with nullptr; once this returns, the previous
    // source is never called again.
    void SetMusicSource(MusicSource* source);
    // Resumes the device after a source has something to play.
    void Wake();

    // Plays `chunk` on the effect channel, cutting off whatever played there. The chunk must stay
    // alive until StopEffect() or the next PlayEffect().
    void PlayEffect(Mix_Chunk* chunk);
    void StopEffect();
    bool EffectPlaying() const;

    // Observers for tests and the benchmark: whether the device is paused, and the largest
    // absolute sample sent to the device since the previous call.
    bool Paused() const;
    int TakePeak();

private:
    static void MixMusic(void* self, Uint8* stream, int length);
    static void AfterMix(void* self, Uint8* stream, int length);

    bool m_available = false;
    int m_sampleRate = 44100;
    SDL_AudioDeviceID m_device = 0;
    // Guarded by the mixer's own audio lock: the hook reads it with that lock held.
    MusicSource* m_music = nullptr;
    std::atomic<int> m_peak{0};
};

} // namespace velmora
