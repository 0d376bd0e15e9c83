#include "sound/AudioOutput.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int RequestedRate = 44100;
// 512 frames is about 12 ms at 44.1 kHz: short enough for music to start within 20 ms of the
// play command, long enough not to wake the audio thread needlessly.
constexpr int BufferFrames = 512;
constexpr int EffectChannel = 0;
// SDL keeps at most this many open audio devices.
constexpr SDL_AudioDeviceID MaxDeviceId = 16;

// libasound reports a missing sound card on stderr; the game stays silent instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

AudioOutput::AudioOutput()
{
    snd_lib_error_set_handler(QuietAlsa);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Velmora");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    // SDL_mixer 2.6 keeps its device id to itself, yet pausing needs it: it is the one device that
    // opens during Mix_OpenAudioDevice.
    std::array<bool, MaxDeviceId + 1> openBefore{};
    for (SDL_AudioDeviceID id = 1; id <= MaxDeviceId; ++id) {
        openBefore[id] = SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED;
    }
    if (Mix_OpenAudioDevice(RequestedRate, AUDIO_S16SYS, 2, BufferFrames, nullptr, 0) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    for (SDL_AudioDeviceID id = 1; id <= MaxDeviceId; ++id) {
        if (!openBefore[id] && SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) {
            m_device = id;
            break;
        }
    }
    int rate = RequestedRate;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    m_sampleRate = rate;
    Mix_AllocateChannels(EffectChannel + 1);
    Mix_SetPostMix(AfterMix, this);
    Mix_HookMusic(MixMusic, this);
    m_available = true;
    if (m_device != 0) {
        SDL_PauseAudioDevice(m_device, 1);
    }
}

AudioOutput::~AudioOutput()
{
    if (!m_available) {
        return;
    }
    Mix_HookMusic(nullptr, nullptr);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::SetMusicSource(MusicSource* source)
{
    if (!m_available) {
        return;
    }
    // Mix_HookMusic takes the mixer's lock, so no render is running while the source changes.
    Mix_HookMusic(nullptr, nullptr);
    m_music = source;
    Mix_HookMusic(MixMusic, this);
}

void AudioOutput::Wake()
{
    if (m_device != 0) {
        SDL_PauseAudioDevice(m_device, 0);
    }
}

void AudioOutput::PlayEffect(Mix_Chunk* chunk)
{
    if (!m_available) {
        return;
    }
    Mix_HaltChannel(EffectChannel);
    Mix_PlayChannel(EffectChannel, chunk, 0);
    Wake();
}

void AudioOutput::StopEffect()
{
    if (m_available) {
        Mix_HaltChannel(EffectChannel);
    }
}

bool AudioOutput::EffectPlaying() const
{
    return m_available && Mix_Playing(EffectChannel) != 0;
}

bool AudioOutput::Paused() const
{
    return !m_available || (m_device != 0 && SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PAUSED);
}

int AudioOutput::TakePeak()
{
    return m_peak.exchange(0);
}

void AudioOutput::MixMusic(void* self, Uint8* stream, int length)
{
    auto* output = static_cast<AudioOutput*>(self);
    bool sounding = false;
    if (output->m_music != nullptr) {
        sounding = output->m_music->RenderMusic(reinterpret_cast<std::int16_t*>(stream), length / 4);
    }
    // The mixer's lock is held here and SDL's device lock is recursive, so pausing from inside
    // the render is safe; a Wake() from another thread waits for this render and then wins.
    if (!sounding && Mix_Playing(EffectChannel) == 0 && output->m_device != 0) {
        SDL_PauseAudioDevice(output->m_device, 1);
    }
}

void AudioOutput::AfterMix(void* self, Uint8* stream, int length)
{
    auto* output = static_cast<AudioOutput*>(self);
    const auto* samples = reinterpret_cast<const std::int16_t*>(stream);
    int peak = 0;
    for (int i = 0; i < length / 2; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    }
    int seen = output->m_peak.load(std::memory_order_relaxed);
    while (peak > seen && !output->m_peak.compare_exchange_weak(seen, peak)) {
    }
}

} // namespace velmora
