#pragma once

// How the game's synthesizer is set up to play the music. The offline renderer that measures the
// pieces (tools/content) includes this header too, so the levels it reports are the levels a
// player hears: change the sound here and both follow.

#include <QFileInfo>
#include <QStringList>

#include <fluidsynth.h>

namespace velmora {

// Unity gain. FluidSynth's own default of 0.2 keeps headroom for any General MIDI file, and left
// our pieces 14 dB quieter, well under the logo jingle; the pieces are balanced (their channel
// volumes) to about -20 dBFS RMS with peaks under -3 dBFS at this gain, and a test holds them there.
inline constexpr double kMusicSynthGain = 1.0;

// The soundfonts to try, in order: the system's chosen General MIDI soundfont, the large FluidR3
// set, then the small TimGM6mb set that the game's setup installs.
inline QStringList MusicSoundFonts()
{
    return {QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2"),
            QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")};
}

// The first of MusicSoundFonts() that exists, or an empty string when none does.
inline QString FirstMusicSoundFont()
{
    for (const QString& candidate : MusicSoundFonts()) {
        if (QFileInfo(candidate).isFile()) {
            return candidate;
        }
    }
    return {};
}

// The synthesizer runs at half the output's rate and Upsampler2x doubles what it renders: half the
// work. At 44.1 kHz out, the dry sound keeps every third of an octave up to 5 kHz within 0.8 dB,
// the reverb's colour moves by up to 2 dB in a few bands, and what is lost lies above 11 kHz,
// where the pieces hold 42 to 61 dB less than their loudest band (docs/performance.md).
inline constexpr int MusicSynthRate(int outputRate)
{
    return outputRate / 2;
}

// Everything about the synthesizer that changes what is heard; memory and loading settings stay
// with each user. `synthRate` is MusicSynthRate() of the output's.
inline void ConfigureMusicSynth(fluid_settings_t* settings, double synthRate)
{
    fluid_settings_setnum(settings, "synth.sample-rate", synthRate);
    fluid_settings_setnum(settings, "synth.gain", kMusicSynthGain);
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    // A reset that follows cutting the voices brings them back, so only the device resets, when a
    // piece closes; the player must not reset on its own as a piece ends.
    fluid_settings_setint(settings, "player.reset-synth", 0);
}

} // namespace velmora
