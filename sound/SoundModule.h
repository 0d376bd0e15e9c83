#pragma once

#include "sound/MidiDevice.h"
#include "sound/WaveSound.h"

namespace velmora {

// What the sound module (libvelmora-sound.so, loaded at run time) hands the game: the MIDI device
// and the wave sounds of one opened audio output. The module holds the whole sound stack
// (FluidSynth, SDL_mixer and the libraries they pull in), so that the program itself links none
// of it: loading those libraries took 13 ms before the logo could appear, and the logo does not
// need them.
class SoundParts {
public:
    virtual ~SoundParts() = default;
    virtual MidiDevice& Midi() = 0;
    virtual WaveSound& Waves() = 0;
};

// The module's one entry point, looked up by this name: makes the parts (opening the audio
// output and starting the soundfont's load) and hands them over.
using MakeSoundPartsFunction = SoundParts* (*)();
inline constexpr char kMakeSoundPartsName[] = "VelmoraMakeSoundParts";

// The module's file name, beside the program in the build and in its own folder when installed.
inline constexpr char kSoundModuleFileName[] = "libvelmora-sound.so";

} // namespace velmora
