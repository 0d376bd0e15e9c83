#include "tools/content/MidiRender.h"

#include "sound/MusicSynth.h"
#include "sound/Upsampler2x.h"

#include <QFileInfo>

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velmora {

QString DefaultSoundFont()
{
    return FirstMusicSoundFont();
}

MidiRendering RenderMidi(const QString& midiPath, const QString& soundFontPath, double tailSeconds)
{
    MidiRendering r;
    // FluidSynth chats on stderr about missing audio drivers; an offline render needs none.
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);

    std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings(new_fluid_settings(), &delete_fluid_settings);
    // Rendered as the game renders it: at the synthesizer's own rate, then doubled.
    ConfigureMusicSynth(settings.get(), MusicSynthRate(r.sampleRate));
    fluid_settings_setint(settings.get(), "synth.lock-memory", 0);
    std::unique_ptr<fluid_synth_t, decltype(&delete_fluid_synth)> synth(new_fluid_synth(settings.get()), &delete_fluid_synth);
    if (!synth) { r.error = "cannot create synthesiser"; return r; }
    if (fluid_synth_sfload(synth.get(), soundFontPath.toLocal8Bit().constData(), 1) == FLUID_FAILED) {
        r.error = "cannot load sound font " + soundFontPath;
        return r;
    }
    std::unique_ptr<fluid_player_t, decltype(&delete_fluid_player)> player(new_fluid_player(synth.get()), &delete_fluid_player);
    if (fluid_player_add(player.get(), midiPath.toLocal8Bit().constData()) != FLUID_OK) {
        r.error = "cannot read " + midiPath;
        return r;
    }
    fluid_player_play(player.get());
    constexpr int Block = 441; // 10 ms at the synthesizer's rate
    float synthOut[2 * Block];
    float out[4 * Block];
    Upsampler2x upsampler;
    const auto renderBlock = [&] {
        fluid_synth_write_float(synth.get(), Block, synthOut, 0, 2, synthOut, 1, 2);
        upsampler.Process(synthOut, Block, out);
        for (int i = 0; i < 2 * Block; ++i) {
            r.left.push_back(out[2 * i]);
            r.right.push_back(out[2 * i + 1]);
        }
    };
    long long frames = 0; // at the output's rate
    const long long limit = 600LL * r.sampleRate; // a runaway file must not hang the caller
    while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING && frames < limit) {
        // The player reads the file on its first tick; until then it knows no length.
        const int lastTick = fluid_player_get_total_ticks(player.get());
        if (r.pieceSeconds == 0 && lastTick > 0 && fluid_player_get_current_tick(player.get()) >= lastTick)
            r.pieceSeconds = double(frames) / r.sampleRate;
        renderBlock();
        frames += 2 * Block;
    }
    if (frames >= limit) { r.error = "the file never reached its end"; return r; }
    r.playedSeconds = double(frames) / r.sampleRate;
    if (r.pieceSeconds == 0) r.pieceSeconds = r.playedSeconds;
    for (long long t = 0; t < (long long)(tailSeconds * r.sampleRate); t += 2 * Block) renderBlock();
    r.ok = true;
    return r;
}

Level MeasureLevel(const MidiRendering& r, double fromSeconds, double toSeconds)
{
    const auto from = std::min(r.left.size(), size_t(std::max(0.0, fromSeconds) * r.sampleRate));
    const auto to = std::min(r.left.size(), size_t(std::max(0.0, toSeconds) * r.sampleRate));
    if (to <= from) return {};
    double peak = 0, sum = 0;
    for (size_t i = from; i < to; ++i) {
        peak = std::max({peak, double(std::fabs(r.left[i])), double(std::fabs(r.right[i]))});
        sum += double(r.left[i]) * r.left[i] + double(r.right[i]) * r.right[i];
    }
    auto dB = [](double v) { return v > 0 ? 20 * std::log10(v) : -200.0; };
    return {dB(std::sqrt(sum / double(2 * (to - from)))), dB(peak)};
}

} // namespace velmora
