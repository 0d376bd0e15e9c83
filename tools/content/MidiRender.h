#pragma once

#include <QString>

#include <vector>

namespace velmora {

// A MIDI file played offline through FluidSynth set up as the game sets it up (sound/MusicSynth.h):
// what a player would hear, as numbers, so levels and length can be measured without a sound card.
struct MidiRendering {
    bool ok = false;
    QString error;
    int sampleRate = 44100;
    double pieceSeconds = 0;      // until the sequencer reached the file's last tick
    double playedSeconds = 0;     // until the sequencer reported the end of the file
    std::vector<float> left;      // the played part followed by the release tail
    std::vector<float> right;
};

// The sound font the game's own synthesizer would choose, or an empty string when none is there.
QString DefaultSoundFont();

MidiRendering RenderMidi(const QString& midiPath, const QString& soundFontPath, double tailSeconds = 1.5);

// Level of a stretch of a rendering, both channels together, in dB relative to full scale.
struct Level {
    double rmsDb = -200;
    double peakDb = -200;
};
Level MeasureLevel(const MidiRendering& r, double fromSeconds, double toSeconds);

} // namespace velmora
