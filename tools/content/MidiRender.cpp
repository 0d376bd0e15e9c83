#include "tools/content/MidiRender.h"

#include <QFileInfo>

#include <fluidsynth.h>

#include <memory>

namespace velmora {

QString DefaultSoundFont()
{
    for (const char* candidate : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"})
        if (QFileInfo::exists(QString::fromLatin1(candidate))) return QString::fromLatin1(candidate);
    return {};
}

MidiRendering RenderMidi(const QString& midiPath, const QString& soundFontPath, double tailSeconds)
{
    MidiRendering r;
    // FluidSynth chats on stderr about missing audio drivers; an offline render needs none.
    for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);

    std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings(new_fluid_settings(), &delete_fluid_settings);
    fluid_settings_setnum(settings.get(), "synth.sample-rate", r.sampleRate);
    fluid_settings_setstr(settings.get(), "player.timing-source", "sample");
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
    constexpr int Block = 441; // 10 ms
    float l[Block], rr[Block];
    long long frames = 0;
    const long long limit = 600LL * r.sampleRate; // a runaway file must not hang the caller
    while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING && frames < limit) {
        fluid_synth_write_float(synth.get(), Block, l, 0, 1, rr, 0, 1);
        r.left.insert(r.left.end(), l, l + Block);
        r.right.insert(r.right.end(), rr, rr + Block);
        frames += Block;
    }
    if (frames >= limit) { r.error = "the file never reached its end"; return r; }
    r.playedSeconds = double(frames) / r.sampleRate;
    for (long long t = 0; t < (long long)(tailSeconds * r.sampleRate); t += Block) {
        fluid_synth_write_float(synth.get(), Block, l, 0, 1, rr, 0, 1);
        r.left.insert(r.left.end(), l, l + Block);
        r.right.insert(r.right.end(), rr, rr + Block);
    }
    r.ok = true;
    return r;
}

} // namespace velmora
