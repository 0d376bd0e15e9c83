#pragma once

// The composer's picture of a piece: what content/music/*.txt says (Piece), and the notes it
// turns into (Rendered). Reading lives in ComposeNotes.cpp, the accompaniment and drum patterns
// in ComposeArrange.cpp, the form and the MIDI file in Compose.cpp.
#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace velmora::compose {

struct Chord {
    int root = 0;     // pitch class
    int bass = 0;     // pitch class of the lowest note (slash chords)
    std::vector<int> tones; // intervals above the root
    double start = 0; // beats from piece start
    double length = 0;
};

struct Note {
    int pitch = -1; // -1 rest
    double start = 0;
    double length = 0;
    int velocity = 0;
};

struct Instrument {
    QString name;
    QString style = "melody"; // melody, pad, bass, arp, strum, koto, pulse
    int program = 0;
    int channel = 0;
    int volume = 100;
    int pan = 64;
    int reverb = 40;
    int octave = 4;
    int velocity = 80;
};

struct Section {
    QString name;
    std::vector<QStringList> chordBars;
    QMap<QString, QStringList> melodyBars; // instrument -> bars of tokens
    QString groove;
    QStringList tacet;
    int tempo = 0; // 0: keep the piece's tempo
    int dynamicsFrom = 0, dynamicsTo = 0; // 0: hold the level the section before ended on
};

struct Piece {
    int tempo = 100;
    int beats = 4;
    int keyRoot = 0;
    std::vector<int> scale;
    QString grooveDefault = "none";
    int drumVolume = 90;
    bool swing = false; // off-beat eighths fall two thirds into the beat
    std::vector<Instrument> instruments;
    QMap<QString, Section> sections;
    QStringList form;
};

struct Rendered {
    std::vector<Chord> chords;
    std::vector<std::vector<Note>> voices; // per instrument
    std::vector<Note> drums;
    std::vector<std::pair<double, int>> tempos; // (beat, quarter notes per minute)
    std::vector<std::pair<double, int>> levels; // (beat, expression), every channel
    double totalBeats = 0;

    double Seconds() const
    {
        double seconds = 0;
        for (size_t i = 0; i < tempos.size(); ++i) {
            const double until = i + 1 < tempos.size() ? tempos[i + 1].first : totalBeats;
            seconds += (until - tempos[i].first) * 60.0 / tempos[i].second;
        }
        return seconds;
    }
};

// Throws the message, prefixed by where in the note data the fault lies.
[[noreturn]] void Fail(const QString& where, const QString& what);

Piece ReadPiece(const QString& path);
bool ChordHas(const Chord& c, int pitch);
double ParseLength(const QString& text, const QString& where);
Chord ParseChord(const QString& symbol, const QString& where);
int PitchClass(const QString& name, const QString& where);

// Velocity of a note at `beat` of its bar: the downbeat leans, off-beats are lighter.
int VelocityAt(int base, double beat, int beatsPerBar);
// The notes an accompanying instrument plays for one chord, in its style.
void Accompany(const Instrument& ins, const Chord& c, int beatsPerBar, std::vector<Note>& out);
// One bar of a drum groove on General MIDI percussion keys.
void Groove(const QString& style, double barStart, int beats, bool lastBar, bool firstBar, int volume, std::vector<Note>& out);

} // namespace velmora::compose
