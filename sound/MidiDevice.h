#pragma once

#include <QString>

namespace velmora {

// What the music player sees of a MIDI sequencer: one device that can hold one open piece at a
// time. Every command on a device with nothing open fails quietly and changes nothing, so the
// player never has to track whether its last open worked.
class MidiDevice {
public:
    enum class Mode { NotOpen, NotReady, Stopped, Playing, Paused };

    virtual ~MidiDevice() = default;

    // Opens the Standard MIDI File at `path` (closing nothing: the caller closes first). Returns
    // false, and leaves the device closed, when the file is missing or not a MIDI file.
    virtual bool Open(const QString& path) = 0;
    // Plays the open piece once from its start. False when nothing is open.
    virtual bool Play() = 0;
    virtual Mode CurrentMode() = 0;
    // Silences at once and forgets the open piece; harmless when nothing is open.
    virtual void Close() = 0;
};

} // namespace velmora
