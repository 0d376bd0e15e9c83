#include "sound/AudioOutput.h"

#include <SDL.h>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace velmora {
namespace {

constexpr int RequestedRate = 44100;
// 2048 frames is about 46 ms at 44.1 kHz. Each buffer wakes the audio thread, and while music
// plays those wake-ups cost a fifth of the game's CPU at 1024 frames; at 2048 the game waits at
// a line with music for about a sixth less. A piece still starts well inside the 500 ms the loop
// check allows, and the logo's jingle within about three frames of the animation's cue.
constexpr int BufferFrames = 2048;
constexpr int EffectChannel = 0;
// SDL keeps at most this many open audio devices.
constexpr SDL_AudioDeviceID MaxDeviceId = 16;
// How often, as a share of the release delay, the keeper looks at an open device to see whether
// it has gone quiet: the release comes at most a third late, and the keeper wakes once a second
// while music plays rather than four times.
constexpr int KeeperLooksPerDelay = 3;
constexpr std::chrono::milliseconds ShortestKeeperLook{10};

// libasound reports a missing sound card on stderr; the game stays silent instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

AudioOutput::AudioOutput(std::chrono::milliseconds releaseDelay) : m_releaseDelay(releaseDelay)
{
    snd_lib_error_set_handler(QuietAlsa);
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Velmora");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    std::lock_guard guard(m_deviceLock);
    if (!OpenLocked()) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    int rate = RequestedRate;
    Uint16 format = 0;
    int channels = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    m_sampleRate = rate;
    m_available = true;
    SDL_PauseAudioDevice(m_device, 1);
    m_keeper = std::thread([this] { KeepDevice(); });
}

AudioOutput::~AudioOutput()
{
    if (!m_available) {
        return;
    }
    {
        std::lock_guard guard(m_deviceLock);
        m_stopping = true;
    }
    m_deviceChanged.notify_all();
    m_keeper.join();
    std::lock_guard guard(m_deviceLock);
    CloseLocked();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioOutput::OpenLocked()
{
    if (m_device != 0) {
        return true;
    }
    // SDL_mixer 2.6 keeps its device id to itself, yet pausing needs it: it is the one device that
    // opens during Mix_OpenAudioDevice.
    std::array<bool, MaxDeviceId + 1> openBefore{};
    for (SDL_AudioDeviceID id = 1; id <= MaxDeviceId; ++id) {
        openBefore[id] = SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED;
    }
    // No format changes allowed: SDL converts if the hardware differs, so chunks loaded for one
    // opening fit every later one.
    if (Mix_OpenAudioDevice(RequestedRate, AUDIO_S16SYS, 2, BufferFrames, nullptr, 0) != 0) {
        return false;
    }
    SDL_AudioDeviceID opened = 0;
    for (SDL_AudioDeviceID id = 1; id <= MaxDeviceId; ++id) {
        if (!openBefore[id] && SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) {
            opened = id;
            break;
        }
    }
    if (opened == 0) {
        // Without its id the device could never pause, and so never be released.
        Mix_CloseAudio();
        return false;
    }
    Mix_AllocateChannels(EffectChannel + 1);
    Mix_SetPostMix(AfterMix, this);
    Mix_HookMusic(MixMusic, this);
    m_device = opened;
    m_deviceChanged.notify_all();
    return true;
}

void AudioOutput::CloseLocked()
{
    if (m_device == 0) {
        return;
    }
    Mix_HookMusic(nullptr, nullptr);
    Mix_SetPostMix(nullptr, nullptr);
    Mix_HaltChannel(-1);
    // Joins the audio thread: nothing of this output runs until the next opening.
    Mix_CloseAudio();
    m_device = 0;
}

bool AudioOutput::PausedLocked() const
{
    return m_device == 0 || SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_PAUSED;
}

void AudioOutput::KeepDevice()
{
    std::unique_lock lock(m_deviceLock);
    while (!m_stopping) {
        if (m_device == 0) {
            // Released: nothing here wakes until something must sound or the output goes.
            m_deviceChanged.wait(lock, [this] { return m_stopping || m_device != 0; });
            continue;
        }
        // Quiet means paused through a whole release delay, looked at every `look`. Whatever
        // starts a sound also wakes the keeper, which then finds the device playing and starts
        // the count again.
        const auto look = std::max(m_releaseDelay / KeeperLooksPerDelay, ShortestKeeperLook);
        auto quietSince = std::chrono::steady_clock::now();
        while (!m_stopping && m_device != 0) {
            m_deviceChanged.wait_for(lock, look);
            const auto now = std::chrono::steady_clock::now();
            if (!PausedLocked() || Mix_Playing(EffectChannel) != 0) {
                quietSince = now;
            } else if (now - quietSince >= m_releaseDelay) {
                CloseLocked();
            }
        }
    }
}

void AudioOutput::SetMusicSource(MusicSource* source)
{
    if (!m_available) {
        return;
    }
    std::lock_guard guard(m_deviceLock);
    if (m_device == 0) {
        m_music = source;
        return;
    }
    // Mix_HookMusic takes the mixer's lock, so no render is running while the source changes.
    Mix_HookMusic(nullptr, nullptr);
    m_music = source;
    Mix_HookMusic(MixMusic, this);
}

void AudioOutput::Wake()
{
    if (!m_available) {
        return;
    }
    std::lock_guard guard(m_deviceLock);
    if (OpenLocked()) {
        SDL_PauseAudioDevice(m_device, 0);
        m_deviceChanged.notify_all();
    }
}

Mix_Chunk* AudioOutput::LoadEffect(const QByteArray& wave)
{
    if (!m_available) {
        return nullptr;
    }
    std::lock_guard guard(m_deviceLock);
    // The mixer converts a wave to its output's format only while it has an output.
    if (!OpenLocked()) {
        return nullptr;
    }
    return Mix_LoadWAV_RW(SDL_RWFromConstMem(wave.constData(), static_cast<int>(wave.size())), 1);
}

void AudioOutput::PlayEffect(Mix_Chunk* chunk)
{
    if (!m_available) {
        return;
    }
    std::lock_guard guard(m_deviceLock);
    if (!OpenLocked()) {
        return;
    }
    Mix_HaltChannel(EffectChannel);
    Mix_PlayChannel(EffectChannel, chunk, 0);
    SDL_PauseAudioDevice(m_device, 0);
    m_deviceChanged.notify_all();
}

void AudioOutput::StopEffect()
{
    std::lock_guard guard(m_deviceLock);
    if (m_device != 0) {
        Mix_HaltChannel(EffectChannel);
    }
}

bool AudioOutput::EffectPlaying() const
{
    std::lock_guard guard(m_deviceLock);
    return m_device != 0 && Mix_Playing(EffectChannel) != 0;
}

bool AudioOutput::Paused() const
{
    std::lock_guard guard(m_deviceLock);
    return PausedLocked();
}

bool AudioOutput::Open() const
{
    std::lock_guard guard(m_deviceLock);
    return m_device != 0;
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
    // The id may still be 0 during an opening's first render; the next render pauses instead.
    const SDL_AudioDeviceID device = output->m_device.load();
    if (!sounding && Mix_Playing(EffectChannel) == 0 && device != 0) {
        SDL_PauseAudioDevice(device, 1);
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
