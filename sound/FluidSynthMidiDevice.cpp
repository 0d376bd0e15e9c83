#include "sound/FluidSynthMidiDevice.h"

#include "sound/MidiFileTiming.h"
#include "sound/MusicSynth.h"

#include "core/DataFile.h"

#include <QFile>
#include <QFileInfo>

#include <fluidsynth.h>
#include <glib.h>

#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

// After the last voice has died, the reverb still rings about this long before the render stops.
constexpr int ReverbTailSeconds = 1;
// Synthesizer frames rendered at a time: about 93 ms at 22.05 kHz, every other output buffer.
// Larger blocks saved nothing measurable, and a block is rendered within one output callback,
// which must finish well inside the buffer's 46 ms.
constexpr int RenderAheadFrames = 2048;

// FluidSynth lowers a released voice by 96 dB over its release time, evenly in decibels (the
// SoundFont rule). Past this share of that time the voice is 60 dB under the level it had when it
// was released, the drop by which a sound is counted as died away, and under the music around it.
constexpr double FadedShareOfRelease = 60.0 / 96.0;
// The largest attenuation a SoundFont knows, 144 dB: a voice muted by the device carries it, and
// one found carrying it is ended.
constexpr float MutedCentibels = 1440.0f;
// The shortest release there is: the voice ends in the next step of its envelope.
constexpr float EndAtOnceTimecents = -12000.0f;

// Rounds half away from zero by hand: std::lrint is a library call per sample, this a few
// vector instructions for a whole block.
std::int16_t ToSigned16(float sample)
{
    const float scaled = std::clamp(sample * 32767.0f, -32768.0f, 32767.0f);
    return static_cast<std::int16_t>(scaled + (scaled < 0.0f ? -0.5f : 0.5f));
}

void SilenceFluidSynthLog()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level) {
        fluid_set_log_function(level, nullptr, nullptr);
    }
}

void QuietGLib(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

} // namespace

QStringList FluidSynthMidiDevice::DefaultSoundFonts()
{
    return MusicSoundFonts();
}

FluidSynthMidiDevice::FluidSynthMidiDevice(AudioOutput& output, QStringList soundFonts)
    : m_output(output),
      m_synthBlock(2 * RenderAheadFrames),
      m_upsampled(4 * RenderAheadFrames),
      m_ahead(4 * RenderAheadFrames)
{
    SilenceFluidSynthLog();
    if (!m_output.Available()) {
        // Nothing could be heard, so the synthesizer is not worth its memory.
        m_loading = Loading::Failed;
        return;
    }
    m_output.SetMusicSource(this);
    m_loader = std::thread([this, fonts = std::move(soundFonts)] { Load(fonts); });
}

FluidSynthMidiDevice::~FluidSynthMidiDevice()
{
    if (m_loader.joinable()) {
        m_loader.join();
    }
    m_output.SetMusicSource(nullptr);
    if (m_player != nullptr) {
        delete_fluid_player(m_player);
    }
    if (m_synth != nullptr) {
        delete_fluid_synth(m_synth);
    }
    if (m_settings != nullptr) {
        delete_fluid_settings(m_settings);
    }
}

void FluidSynthMidiDevice::Load(QStringList soundFonts)
{
    const auto started = std::chrono::steady_clock::now();
    fluid_settings_t* settings = new_fluid_settings();
    ConfigureMusicSynth(settings, MusicSynthRate(m_output.SampleRate()));
    // Samples are read only for the instruments a piece selects: a large soundfont then costs a
    // fraction of its size in memory and load time.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    // Every call into the synthesizer is already made under m_lock; its own locking adds nothing.
    fluid_settings_setint(settings, "synth.threadsafe-api", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);

    QString chosen;
    for (const QString& candidate : soundFonts) {
        if (synth == nullptr || !QFileInfo(candidate).isFile()) {
            continue;
        }
        // When its own reader refuses a file, FluidSynth hands it to libinstpatch, which
        // complains through GLib on stderr.
        const GLogFunc previousHandler = g_log_set_default_handler(QuietGLib, nullptr);
        const bool loaded = fluid_synth_sfload(synth, QFile::encodeName(candidate).constData(), 1) != FLUID_FAILED;
        g_log_set_default_handler(previousHandler, nullptr);
        if (loaded) {
            chosen = candidate;
            break;
        }
    }
    if (chosen.isEmpty()) {
        if (synth != nullptr) {
            delete_fluid_synth(synth);
            synth = nullptr;
        }
        delete_fluid_settings(settings);
        settings = nullptr;
    }
    const auto loadTime =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);

    bool wake = false;
    {
        std::lock_guard guard(m_lock);
        m_settings = settings;
        m_synth = synth;
        m_soundFont = chosen;
        m_loadTime = loadTime;
        m_loading = synth != nullptr ? Loading::Ready : Loading::Failed;
        if (synth != nullptr && m_open && m_playRequested) {
            // The piece asked for while the soundfont loaded starts now, from its beginning.
            wake = StartPlayerLocked();
        }
    }
    if (wake) {
        m_output.Wake();
    }
}

bool FluidSynthMidiDevice::Open(const QString& path)
{
    {
        std::lock_guard guard(m_lock);
        StopPlayerLocked();
        m_open = false;
        m_playRequested = false;
        m_piece.clear();
        if (m_loading == Loading::Failed) {
            return false;
        }
    }
    // A pipe, a device or an endless file in the piece's place means silence, like a missing one.
    DataFile file = ReadDataFile(path, kLargestMidiPiece);
    if (!file.bytes) {
        return false;
    }
    QByteArray bytes = std::move(*file.bytes);
    const auto duration = MidiFileDuration(bytes);
    if (!duration) {
        return false;
    }
    std::lock_guard guard(m_lock);
    m_piece = std::move(bytes);
    m_pieceFrames = duration->count() * m_output.SampleRate() / 1000000;
    m_open = true;
    return true;
}

bool FluidSynthMidiDevice::Play()
{
    {
        std::lock_guard guard(m_lock);
        if (!m_open) {
            return false;
        }
        StopPlayerLocked();
        m_playRequested = true;
        if (m_loading == Loading::Ready && !StartPlayerLocked()) {
            m_playRequested = false;
            return false;
        }
    }
    m_output.Wake();
    return true;
}

MidiDevice::Mode FluidSynthMidiDevice::CurrentMode()
{
    std::lock_guard guard(m_lock);
    if (!m_open) {
        return Mode::NotOpen;
    }
    if (m_loading == Loading::InProgress) {
        return m_playRequested ? Mode::Playing : Mode::NotReady;
    }
    if (m_player == nullptr) {
        return Mode::Stopped;
    }
    // FluidSynth itself reports the end only after the release tails have died away, seconds
    // later; the piece is over once its last event has been rendered.
    const bool ended = m_framesPlayed >= m_pieceFrames || fluid_player_get_status(m_player) == FLUID_PLAYER_DONE;
    return ended ? Mode::Stopped : Mode::Playing;
}

void FluidSynthMidiDevice::Close()
{
    std::lock_guard guard(m_lock);
    StopPlayerLocked();
    m_open = false;
    m_playRequested = false;
    m_piece.clear();
}

FluidSynthMidiDevice::Loading FluidSynthMidiDevice::LoadState() const
{
    std::lock_guard guard(m_lock);
    return m_loading;
}

int FluidSynthMidiDevice::ActiveVoices() const
{
    std::lock_guard guard(m_lock);
    return m_synth != nullptr ? fluid_synth_get_active_voice_count(m_synth) : 0;
}

QString FluidSynthMidiDevice::SoundFont() const
{
    std::lock_guard guard(m_lock);
    return m_soundFont;
}

std::chrono::microseconds FluidSynthMidiDevice::LoadTime() const
{
    std::lock_guard guard(m_lock);
    return m_loadTime;
}

bool FluidSynthMidiDevice::StartPlayerLocked()
{
    m_player = new_fluid_player(m_synth);
    if (m_player == nullptr) {
        return false;
    }
    if (fluid_player_add_mem(m_player, m_piece.constData(), static_cast<std::size_t>(m_piece.size())) != FLUID_OK
        || fluid_player_play(m_player) != FLUID_OK) {
        delete_fluid_player(m_player);
        m_player = nullptr;
        return false;
    }
    m_synthTouched = true;
    ClearAheadLocked();
    m_synthFrames = 0;
    m_released.clear();
    m_framesPlayed = 0;
    m_quietFrames = 0;
    m_rendering = true;
    return true;
}

void FluidSynthMidiDevice::StopPlayerLocked()
{
    if (m_player != nullptr) {
        delete_fluid_player(m_player);
        m_player = nullptr;
    }
    m_rendering = false;
    ClearAheadLocked();
    if (m_synthTouched) {
        // The reset clears controllers, reverb and chorus but lets the voices release; cutting
        // them after it (not before, which the reset would undo) leaves nothing of this piece to
        // ring into the next one.
        fluid_synth_system_reset(m_synth);
        fluid_synth_all_sounds_off(m_synth, -1);
        m_synthTouched = false;
    }
}

bool FluidSynthMidiDevice::RenderMusic(std::int16_t* stereo, int frames)
{
    std::lock_guard guard(m_lock);
    if (!m_rendering) {
        return false;
    }
    for (int done = 0; done < frames;) {
        if (m_aheadRead == m_aheadFilled) {
            RenderAheadLocked();
        }
        const int count = std::min(frames - done, m_aheadFilled - m_aheadRead);
        std::copy_n(m_ahead.begin() + 2 * m_aheadRead, 2 * count, stereo + 2 * done);
        m_aheadRead += count;
        done += count;
    }
    m_framesPlayed += frames;
    if (fluid_player_get_status(m_player) == FLUID_PLAYER_DONE && fluid_synth_get_active_voice_count(m_synth) == 0) {
        m_quietFrames += frames;
        m_rendering = m_quietFrames < std::int64_t{ReverbTailSeconds} * m_output.SampleRate();
    }
    return m_rendering;
}

void FluidSynthMidiDevice::ClearAheadLocked()
{
    m_upsampler.Reset();
    m_aheadRead = 0;
    m_aheadFilled = 0;
}

void FluidSynthMidiDevice::RenderAheadLocked()
{
    EndFadedVoicesLocked();
    fluid_synth_write_float(m_synth, RenderAheadFrames, m_synthBlock.data(), 0, 2, m_synthBlock.data(), 1, 2);
    m_synthFrames += RenderAheadFrames;
    m_upsampler.Process(m_synthBlock.data(), RenderAheadFrames, m_upsampled.data());
    std::transform(m_upsampled.begin(), m_upsampled.end(), m_ahead.begin(), ToSigned16);
    m_aheadRead = 0;
    m_aheadFilled = 2 * RenderAheadFrames;
}

void FluidSynthMidiDevice::EndFadedVoicesLocked()
{
    m_voices.assign(static_cast<std::size_t>(fluid_synth_get_polyphony(m_synth)) + 1, nullptr);
    fluid_synth_get_voicelist(m_synth, m_voices.data(), static_cast<int>(m_voices.size()), -1);
    const double synthRate = MusicSynthRate(m_output.SampleRate());
    m_stillReleased.clear();
    for (fluid_voice_t* voice : m_voices) {
        if (voice == nullptr) {
            break;
        }
        if (!fluid_voice_is_playing(voice) || fluid_voice_is_on(voice) || fluid_voice_is_sustained(voice)
            || fluid_voice_is_sostenuto(voice)) {
            continue;
        }
        if (fluid_voice_gen_get(voice, GEN_ATTENUATION) >= MutedCentibels) {
            fluid_voice_gen_set(voice, GEN_VOLENVRELEASE, EndAtOnceTimecents);
            fluid_voice_update_param(voice, GEN_VOLENVRELEASE);
            continue;
        }
        // Seen released now or at an earlier block; counting from the latest it can have been
        // released errs on the side of letting it ring.
        const unsigned int id = fluid_voice_get_id(voice);
        const auto seen = std::find_if(m_released.begin(), m_released.end(), [id](const auto& r) { return r.first == id; });
        const std::int64_t releasedAt = seen != m_released.end() ? seen->second : m_synthFrames;
        if (std::none_of(m_stillReleased.begin(), m_stillReleased.end(), [id](const auto& r) { return r.first == id; })) {
            m_stillReleased.emplace_back(id, releasedAt);
        }
        const double releaseSeconds = std::exp2(static_cast<double>(fluid_voice_gen_get(voice, GEN_VOLENVRELEASE)) / 1200.0);
        if (static_cast<double>(m_synthFrames - releasedAt) >= FadedShareOfRelease * releaseSeconds * synthRate) {
            fluid_voice_gen_set(voice, GEN_ATTENUATION, MutedCentibels);
            fluid_voice_update_param(voice, GEN_ATTENUATION);
        }
    }
    m_released.swap(m_stillReleased);
}

} // namespace velmora
