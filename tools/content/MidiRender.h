#pragma once

#include <QString>

#include <vector>

namespace velmora {

// A MIDI file played offline through FluidSynth with a General MIDI sound font: what a player
// would hear, as numbers, so levels and length can be measured without a sound card.
struct MidiRendering {
    bool ok = false;
    QString error;
    int sampleRate = 44100;
    double playedSeconds = 0;     // until the sequencer reported the end of the file
    std::vector<float> left;      // the played part followed by the release tail
    std::vector<float> right;
};

// The sound font that Debian's timgm6mb-soundfont installs, or an empty string when absent.
QString DefaultSoundFont();

MidiRendering RenderMidi(const QString& midiPath, const QString& soundFontPath, double tailSeconds = 1.5);

} // namespace velmora
