#pragma once

#include "core/GameState.h"
#include "sound/MidiDevice.h"

namespace velmora {

// The background-music player. It keeps no state of its own beyond the device: the game
// window's timer asks every 500 ms whether the device still plays and, when it does not, opens
// the current piece again and plays it from its start. That is how music loops, and why a new
// MidiName takes effect only once the playing piece has ended (or been stopped).
class TarnelMidi {
public:
    TarnelMidi(const GameState& state, MidiDevice& device) : m_state(state), m_device(device) {}

    // Playing or paused both count as playing.
    bool MidiPlaying();
    void LoopMidi();
    // Always closes, music on or off.
    void StopMidi();
    // Opens `name` from the working directory and plays it once; the play is sent whatever the
    // open answered, and failures are silent.
    void PlayMidi(const QString& name);

private:
    const GameState& m_state;
    MidiDevice& m_device;
};

} // namespace velmora
