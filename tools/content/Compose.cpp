// Turns the readable note data of content/music/*.txt into Standard MIDI Files (format 1,
// General MIDI). The accompaniment is derived from each bar's chord symbol, so harmony, bass and
// melody agree by construction; the composer refuses a melody note that leaves the piece's scale
// or that lands on a chord change without being a tone of that chord (unless marked with '!').
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

constexpr int Division = 480; // ticks per quarter note
constexpr double Pi = std::numbers::pi;

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

[[noreturn]] void Fail(const QString& where, const QString& what)
{
    throw std::runtime_error((where + ": " + what).toStdString());
}

int PitchClass(const QString& name, const QString& where)
{
    static const QMap<QChar, int> base{{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
    if (name.isEmpty() || !base.contains(name[0].toUpper())) Fail(where, "bad note name '" + name + "'");
    int pc = base.value(name[0].toUpper());
    for (int i = 1; i < name.size(); ++i) {
        if (name[i] == '#') ++pc;
        else if (name[i] == 'b') --pc;
        else Fail(where, "bad accidental in '" + name + "'");
    }
    return (pc + 12) % 12;
}

std::vector<int> ScaleNamed(const QString& name, const QString& where)
{
    if (name == "major") return {0, 2, 4, 5, 7, 9, 11};
    if (name == "minor") return {0, 2, 3, 5, 7, 8, 10, 11}; // natural minor with the leading tone
    if (name == "pentatonic") return {0, 2, 4, 7, 9};
    if (name == "yo") return {0, 2, 5, 7, 9};
    if (name == "mixolydian") return {0, 2, 4, 5, 7, 9, 10};
    Fail(where, "unknown scale '" + name + "'");
}

Chord ParseChord(const QString& symbol, const QString& where)
{
    static const QRegularExpression form("^([A-G][#b]?)(maj7|m7|m|7sus4|sus4|sus2|add9|dim|6|7|5|)(?:/([A-G][#b]?))?$");
    const auto m = form.match(symbol);
    if (!m.hasMatch()) Fail(where, "bad chord '" + symbol + "'");
    Chord c;
    c.root = PitchClass(m.captured(1), where);
    c.bass = m.captured(3).isEmpty() ? c.root : PitchClass(m.captured(3), where);
    const QString q = m.captured(2);
    if (q.isEmpty()) c.tones = {0, 4, 7};
    else if (q == "m") c.tones = {0, 3, 7};
    else if (q == "7") c.tones = {0, 4, 7, 10};
    else if (q == "maj7") c.tones = {0, 4, 7, 11};
    else if (q == "m7") c.tones = {0, 3, 7, 10};
    else if (q == "sus4") c.tones = {0, 5, 7};
    else if (q == "sus2") c.tones = {0, 2, 7};
    else if (q == "7sus4") c.tones = {0, 5, 7, 10};
    else if (q == "add9") c.tones = {0, 4, 7, 14};
    else if (q == "dim") c.tones = {0, 3, 6};
    else if (q == "6") c.tones = {0, 4, 7, 9};
    else c.tones = {0, 7};
    return c;
}

bool ChordHas(const Chord& c, int pitch)
{
    const int rel = ((pitch - c.root) % 12 + 12) % 12;
    return std::any_of(c.tones.begin(), c.tones.end(), [rel](int t) { return t % 12 == rel; });
}

double ParseLength(const QString& text, const QString& where)
{
    bool ok = false;
    double value = 0;
    if (text.contains('/')) {
        const auto parts = text.split('/');
        const double a = parts.value(0).toDouble(&ok);
        bool ok2 = false;
        const double b = parts.value(1).toDouble(&ok2);
        if (!ok || !ok2 || b == 0) Fail(where, "bad length '" + text + "'");
        value = a / b;
    } else {
        value = text.toDouble(&ok);
        if (!ok) Fail(where, "bad length '" + text + "'");
    }
    if (value <= 0) Fail(where, "length must be positive");
    return value;
}

Piece ReadPiece(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) Fail(path, "cannot open");
    Piece piece;
    Section* current = nullptr;
    QString lastPart; // a line that starts with '|' continues the part named on the line above
    int lineNo = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        ++lineNo;
        // Only whole lines are comments: '#' also spells sharps.
        QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QString where = QFileInfo(path).fileName() + ":" + QString::number(lineNo);
        if (line.startsWith('|')) line.prepend(lastPart + ' ');
        const QStringList words = line.split(QRegularExpression("\\s+"));
        const QString head = words[0];
        lastPart = head;
        if (head == "tempo" && !current) piece.tempo = words.value(1).toInt();
        else if (head == "beats") piece.beats = words.value(1).toInt();
        else if (head == "swing") piece.swing = true;
        else if (head == "key") {
            piece.keyRoot = PitchClass(words.value(1), where);
            piece.scale = ScaleNamed(words.value(2), where);
        } else if (head == "drums") {
            piece.grooveDefault = words.value(1);
            if (words.size() > 3 && words[2] == "volume") piece.drumVolume = words[3].toInt();
        } else if (head == "instrument") {
            Instrument ins;
            ins.name = words.value(1);
            for (int i = 2; i + 1 < words.size(); i += 2) {
                const QString k = words[i], v = words[i + 1];
                if (k == "program") ins.program = v.toInt();
                else if (k == "channel") ins.channel = v.toInt();
                else if (k == "volume") ins.volume = v.toInt();
                else if (k == "pan") ins.pan = v.toInt();
                else if (k == "reverb") ins.reverb = v.toInt();
                else if (k == "octave") ins.octave = v.toInt();
                else if (k == "velocity") ins.velocity = v.toInt();
                else if (k == "style") ins.style = v;
                else Fail(where, "unknown instrument setting '" + k + "'");
            }
            piece.instruments.push_back(ins);
        } else if (head == "section") {
            Section s;
            s.name = words.value(1);
            piece.sections.insert(s.name, s);
            current = &piece.sections[s.name];
        } else if (head == "end") {
            current = nullptr;
        } else if (head == "form") {
            piece.form = words.mid(1);
        } else if (current) {
            const QString rest = line.mid(head.size()).trimmed();
            if (head == "groove") { current->groove = words.value(1); continue; }
            if (head == "tempo") { current->tempo = words.value(1).toInt(); continue; }
            if (head == "tacet") { current->tacet += words.mid(1); continue; }
            if (head == "dynamics") {
                current->dynamicsFrom = words.value(1).toInt();
                current->dynamicsTo = words.value(2, words.value(1)).toInt();
                if (current->dynamicsFrom < 1 || current->dynamicsFrom > 127 || current->dynamicsTo < 1 || current->dynamicsTo > 127)
                    Fail(where, "dynamics are one or two levels from 1 to 127");
                continue;
            }
            QStringList bars = rest.split('|', Qt::SkipEmptyParts);
            for (auto& b : bars) b = b.trimmed();
            bars.removeAll(QString());
            if (head == "chords") {
                for (const auto& b : bars) current->chordBars.push_back(b.split(' ', Qt::SkipEmptyParts));
            } else {
                current->melodyBars[head] += bars;
            }
        } else {
            Fail(where, "unknown line '" + head + "'");
        }
    }
    if (piece.scale.empty()) Fail(path, "no key given");
    if (piece.form.isEmpty()) Fail(path, "no form given");
    return piece;
}

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

int VelocityAt(int base, double beat, int beatsPerBar)
{
    const double inBar = std::fmod(beat, beatsPerBar);
    int v = base;
    if (inBar < 1e-6) v += 10;
    else if (std::fabs(inBar - std::floor(inBar)) > 1e-6) v -= 8; // off-beats lighter
    return std::clamp(v, 1, 127);
}

std::vector<int> Voicing(const Chord& c, int octave)
{
    std::vector<int> notes;
    const int base = 12 * (octave + 1) + c.root;
    for (int t : c.tones) notes.push_back(base + t);
    return notes;
}

void Accompany(const Instrument& ins, const Chord& c, int beatsPerBar, std::vector<Note>& out)
{
    const auto voicing = Voicing(c, ins.octave);
    auto add = [&](int pitch, double at, double len, int velOffset) {
        out.push_back({pitch, at, len, VelocityAt(ins.velocity + velOffset, at, beatsPerBar)});
    };
    const int bassPitch = 12 * (ins.octave + 1) + c.bass;
    const int fifth = 12 * (ins.octave + 1) + c.root + 7;
    if (ins.style == "pad") {
        for (int p : voicing) add(p, c.start, c.length, -10);
    } else if (ins.style == "bass") {
        if (c.length >= 4) {
            add(bassPitch, c.start, 1.5, 0);
            add(bassPitch, c.start + 1.5, 0.5, -10);
            add(fifth > bassPitch + 9 ? fifth - 12 : fifth, c.start + 2, 1.5, -4);
            add(bassPitch, c.start + 3.5, 0.5, -10);
        } else if (c.length >= 2) {
            add(bassPitch, c.start, c.length - 0.5, 0);
            add(bassPitch + 12, c.start + c.length - 0.5, 0.5, -12);
        } else {
            add(bassPitch, c.start, c.length, 0);
        }
    } else if (ins.style == "longbass") {
        add(bassPitch, c.start, c.length, 0);
    } else if (ins.style == "arp" || ins.style == "koto") {
        std::vector<int> cycle;
        if (ins.style == "arp") {
            cycle = voicing;
            cycle.push_back(voicing.front() + 12);
            for (int i = int(voicing.size()) - 1; i > 0; --i) cycle.push_back(voicing[size_t(i)]);
        } else {
            // The koto figure: root, fifth, octave, then the chord's colour tone an octave up.
            const int r = 12 * (ins.octave + 1) + c.root;
            const int colour = c.tones.size() > 1 ? c.tones[1] % 12 : 7;
            cycle = {r, r + 7, r + 12, r + 12 + colour, r + 12, r + 7};
        }
        const double step = ins.style == "koto" ? 1.0 : 0.5;
        int i = 0;
        for (double t = 0; t < c.length - 1e-6; t += step, ++i)
            add(cycle[size_t(i) % cycle.size()], c.start + t, step * 1.5, -6);
    } else if (ins.style == "strum") {
        for (double t = 0; t < c.length - 1e-6; t += 1.0) {
            const bool down = std::fmod(t, 2.0) < 1e-6;
            for (size_t k = 0; k < voicing.size(); ++k)
                add(voicing[k], c.start + t + (down ? 0.02 : 0.04) * double(k), down ? 0.9 : 0.45, down ? 0 : -15);
        }
    } else if (ins.style == "oompah") {
        // Bass on the downbeat (and the fifth on the middle beat of a four-beat chord), short
        // chords an octave up on the other beats: a waltz in three, a march in two or four.
        const auto upper = Voicing(c, ins.octave + 1);
        for (double t = 0; t < c.length - 1e-6; t += 1.0) {
            const double inBar = std::fmod(c.start + t, beatsPerBar);
            if (t < 1e-6) add(bassPitch, c.start, 0.9, 0);
            else if (beatsPerBar == 4 && std::fabs(inBar - 2) < 1e-6) add(fifth > bassPitch + 9 ? fifth - 12 : fifth, c.start + t, 0.9, -4);
            else for (int p : upper) add(p, c.start + t, 0.5, -14);
        }
    } else if (ins.style == "pick") {
        // Finger-picked guitar: the thumb alternates root and fifth on the beats, the fingers
        // answer with the upper chord tones on the off-beats.
        const auto upper = Voicing(c, ins.octave + 1);
        const int lowFifth = fifth > bassPitch + 9 ? fifth - 12 : fifth;
        int i = 0;
        for (double t = 0; t < c.length - 1e-6; t += 1.0, ++i) {
            add(i % 2 == 0 ? bassPitch : lowFifth, c.start + t, 0.9, 0);
            add(upper[size_t(1 + i % int(upper.size() - 1))], c.start + t + 0.5, 0.45, -10);
        }
    } else if (ins.style == "pulse") {
        for (double t = 0; t < c.length - 1e-6; t += 1.0)
            for (int p : voicing) add(p, c.start + t + 0.5, 0.4, -12);
    } else {
        Fail(ins.name, "unknown accompaniment style '" + ins.style + "'");
    }
}

// General MIDI percussion keys.
enum Drum { Kick = 36, Rim = 37, Snare = 38, Clap = 39, ClosedHat = 42, PedalHat = 44, LowTom = 45,
    OpenHat = 46, MidTom = 47, HighTom = 50, Crash = 49, Ride = 51, Tambourine = 54, Shaker = 70, WoodBlock = 76 };

void Groove(const QString& style, double barStart, int beats, bool lastBar, bool firstBar, int volume, std::vector<Note>& out)
{
    auto hit = [&](int key, double at, int vel) {
        out.push_back({key, barStart + at, 0.25, std::clamp(vel * volume / 100, 1, 127)});
    };
    if (style == "none") return;
    if (firstBar && style != "soft" && style != "temple") hit(Crash, 0, 90);
    if (style == "pop" || style == "swing") {
        for (int b = 0; b < beats; ++b) {
            if (b % 2 == 0) hit(Kick, b, b == 0 ? 100 : 88);
            else hit(Snare, b, 86);
            hit(ClosedHat, b, 70);
            hit(ClosedHat, b + (style == "swing" ? 2.0 / 3.0 : 0.5), 48);
        }
        if (style == "pop") hit(Kick, 2.5, 70);
    } else if (style == "light") {
        for (int b = 0; b < beats; ++b) {
            if (b == 0) hit(Kick, b, 84);
            if (b == 2) hit(Kick, b, 70);
            if (b % 2 == 1) hit(Rim, b, 62);
            hit(Shaker, b, 54);
            hit(Shaker, b + 0.5, 40);
        }
    } else if (style == "bounce") {
        for (int b = 0; b < beats; ++b) {
            hit(b % 2 == 0 ? Kick : Clap, b, b % 2 == 0 ? 92 : 78);
            hit(ClosedHat, b + 0.5, 56);
            if (b % 2 == 1) hit(Tambourine, b + 0.5, 46);
        }
        hit(WoodBlock, 3.75, 50);
    } else if (style == "soft") {
        hit(Kick, 0, 64);
        for (int b = 0; b < beats; ++b) hit(b % 2 ? PedalHat : Ride, b, b % 2 ? 40 : 44);
        hit(Rim, 2, 40);
    } else if (style == "shuffle") {
        // Brushes: a soft kick, the ride on every eighth (swung by the piece), the rim on the backbeat.
        hit(Kick, 0, 60);
        for (int b = 0; b < beats; ++b) {
            hit(Ride, b, b == 0 ? 54 : 46);
            hit(Ride, b + 0.5, 32);
            if (b % 2 == 1) hit(Rim, b, 44);
        }
    } else if (style == "temple") {
        hit(WoodBlock, 0, 58);
        hit(WoodBlock, 2.5, 40);
    } else {
        Fail("drums", "unknown groove '" + style + "'");
    }
    if (lastBar && (style == "pop" || style == "swing" || style == "bounce")) {
        const int toms[] = {HighTom, HighTom, MidTom, LowTom};
        for (int i = 0; i < 4; ++i) hit(toms[i], beats - 1 + 0.25 * i, 70 + 6 * i);
    }
}

Rendered Render(const Piece& piece, const QString& fileName)
{
    Rendered r;
    r.voices.resize(piece.instruments.size());
    r.tempos.push_back({0.0, piece.tempo});
    double at = 0;
    int level = 100; // expression the previous section ended on
    for (int f = 0; f < piece.form.size(); ++f) {
        const QString& name = piece.form[f];
        if (!piece.sections.contains(name)) Fail(fileName, "form names unknown section " + name);
        const Section& s = piece.sections[name];
        const double sectionStart = at;
        const int barsN = int(s.chordBars.size());
        // A section may set its own pace (a closing broadening); the next one returns to the piece's.
        const int sectionTempo = s.tempo > 0 ? s.tempo : piece.tempo;
        if (sectionTempo != r.tempos.back().second) r.tempos.push_back({sectionStart, sectionTempo});
        // The section's level: it swells or falls evenly from its first to its last beat.
        const double sectionBeats = double(barsN * piece.beats);
        const int levelFrom = s.dynamicsFrom > 0 ? s.dynamicsFrom : level;
        const int levelTo = s.dynamicsFrom > 0 ? s.dynamicsTo : level;
        auto levelAt = [&](double beat) {
            return levelFrom + (levelTo - levelFrom) * std::clamp((beat - sectionStart) / sectionBeats, 0.0, 1.0);
        };
        for (double b = 0; b < sectionBeats - 1e-6; b += 0.5) {
            const int value = int(std::lround(levelAt(sectionStart + b)));
            if (r.levels.empty() || r.levels.back().second != value) r.levels.push_back({sectionStart + b, value});
            if (levelFrom == levelTo) break;
        }
        level = levelTo;
        std::vector<size_t> firstNote;
        for (const auto& v : r.voices) firstNote.push_back(v.size());
        const size_t firstDrum = r.drums.size();
        // Chords.
        std::vector<Chord> chords;
        for (int b = 0; b < barsN; ++b) {
            const QStringList& syms = s.chordBars[size_t(b)];
            const double each = double(piece.beats) / double(syms.size());
            for (int k = 0; k < syms.size(); ++k) {
                const QString where = fileName + " section " + name + " bar " + QString::number(b + 1);
                if (syms[k] == "%" && !chords.empty()) {
                    Chord c = chords.back();
                    c.start = sectionStart + b * piece.beats + k * each;
                    c.length = each;
                    chords.push_back(c);
                    continue;
                }
                Chord c = ParseChord(syms[k], where);
                c.start = sectionStart + b * piece.beats + k * each;
                c.length = each;
                chords.push_back(c);
            }
        }
        // Accompaniment and melodies.
        for (size_t i = 0; i < piece.instruments.size(); ++i) {
            const Instrument& ins = piece.instruments[i];
            if (s.tacet.contains(ins.name)) continue;
            if (ins.style == "melody") {
                const QStringList bars = s.melodyBars.value(ins.name);
                if (!bars.isEmpty() && bars.size() != barsN)
                    Fail(fileName, QString("section %1: %2 has %3 bars, chords have %4").arg(name, ins.name).arg(bars.size()).arg(barsN));
                double length = 1;
                for (int b = 0; b < bars.size(); ++b) {
                    const QString where = QString("%1 section %2 %3 bar %4").arg(fileName, name, ins.name).arg(b + 1);
                    double t = sectionStart + b * piece.beats;
                    for (const QString& tok : bars[b].split(' ', Qt::SkipEmptyParts)) {
                        QString head = tok.section(':', 0, 0);
                        if (tok.contains(':')) length = ParseLength(tok.section(':', 1), where);
                        bool licensed = head.endsWith('!');
                        if (licensed) head.chop(1);
                        if (head != "r") {
                            static const QRegularExpression noteForm("^([A-Ga-g][#b]?)(-?\\d)$");
                            const auto m = noteForm.match(head);
                            if (!m.hasMatch()) Fail(where, "bad note '" + tok + "'");
                            const int pc = PitchClass(m.captured(1), where);
                            const int pitch = 12 * (m.captured(2).toInt() + 1) + pc;
                            const int rel = (pc - piece.keyRoot + 12) % 12;
                            if (std::find(piece.scale.begin(), piece.scale.end(), rel) == piece.scale.end())
                                Fail(where, "note '" + tok + "' leaves the scale");
                            for (const Chord& c : chords)
                                if (std::fabs(c.start - t) < 1e-6 && length >= 1 && !licensed && !ChordHas(c, pitch))
                                    Fail(where, "note '" + tok + "' clashes with the chord on its downbeat");
                            // Phrases of four bars swell towards their middle and relax at the end.
                            const int swell = int(std::lround(8 * std::sin(Pi * ((b % 4) + (t - sectionStart - b * piece.beats) / piece.beats) / 4))) - 3;
                            r.voices[i].push_back({pitch, t, length * 0.95, VelocityAt(ins.velocity + swell, t - sectionStart, piece.beats)});
                        }
                        t += length;
                    }
                    if (std::fabs(t - (sectionStart + (b + 1) * piece.beats)) > 1e-6)
                        Fail(where, QString("bar lasts %1 beats").arg(t - sectionStart - b * piece.beats));
                }
            } else {
                for (const Chord& c : chords) Accompany(ins, c, piece.beats, r.voices[i]);
            }
        }
        const QString groove = s.groove.isEmpty() ? piece.grooveDefault : s.groove;
        for (int b = 0; b < barsN; ++b)
            Groove(groove, sectionStart + b * piece.beats, piece.beats, b == barsN - 1, f == 0 && b == 0, piece.drumVolume, r.drums);
        // Louder is also played harder, so the timbre brightens with the level, not only the volume.
        auto touch = [&](Note& n) {
            n.velocity = std::clamp(n.velocity + int(std::lround((levelAt(n.start) - 100) / 4)), 1, 127);
        };
        for (size_t i = 0; i < r.voices.size(); ++i)
            for (size_t k = firstNote[i]; k < r.voices[i].size(); ++k) touch(r.voices[i][k]);
        for (size_t k = firstDrum; k < r.drums.size(); ++k) touch(r.drums[k]);
        r.chords.insert(r.chords.end(), chords.begin(), chords.end());
        at = sectionStart + barsN * piece.beats;
    }
    r.totalBeats = at;
    if (piece.swing) {
        // The second eighth of each beat comes late: a beat splits two thirds to one third.
        auto swung = [](double t) {
            const double beat = std::floor(t + 1e-9), f = t - beat;
            return beat + (f <= 0.5 ? f * 4.0 / 3.0 : 2.0 / 3.0 + (f - 0.5) * 2.0 / 3.0);
        };
        auto swingNote = [&](Note& n) {
            const double end = swung(n.start + n.length);
            n.start = swung(n.start);
            n.length = end - n.start;
        };
        for (auto& v : r.voices) std::for_each(v.begin(), v.end(), swingNote);
        std::for_each(r.drums.begin(), r.drums.end(), swingNote);
    }
    return r;
}

// ---- Standard MIDI File writing ----

struct Event {
    quint32 tick;
    int order; // note-offs before note-ons at the same tick
    QByteArray bytes;
};

void PutVarLen(QByteArray& out, quint32 value)
{
    quint8 buf[5];
    int n = 0;
    buf[n++] = quint8(value & 0x7F);
    while (value >>= 7) buf[n++] = quint8((value & 0x7F) | 0x80);
    while (n--) out.append(char(buf[n]));
}

void PutBE(QByteArray& out, quint32 value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) out.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray Track(std::vector<Event> events, quint32 endTick)
{
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    QByteArray data;
    quint32 last = 0;
    for (const Event& e : events) {
        const quint32 tick = std::min(e.tick, endTick);
        PutVarLen(data, tick - last);
        data.append(e.bytes);
        last = tick;
    }
    PutVarLen(data, endTick - last);
    data.append("\xFF\x2F\x00", 3);
    QByteArray chunk("MTrk");
    PutBE(chunk, quint32(data.size()), 4);
    return chunk + data;
}

QByteArray Meta(int type, const QByteArray& payload)
{
    QByteArray b;
    b.append(char(0xFF));
    b.append(char(type));
    PutVarLen(b, quint32(payload.size()));
    return b + payload;
}

QByteArray Short(int status, int a, int b)
{
    QByteArray x;
    x.append(char(status));
    x.append(char(a));
    x.append(char(b));
    return x;
}

quint32 Ticks(double beats) { return quint32(std::lround(beats * Division)); }

QByteArray WriteSmf(const Piece& piece, const Rendered& r, const QString& title)
{
    const quint32 endTick = Ticks(r.totalBeats);
    QByteArray file("MThd");
    PutBE(file, 6, 4);
    PutBE(file, 1, 2);
    PutBE(file, quint32(piece.instruments.size() + 2), 2);
    PutBE(file, Division, 2);

    std::vector<Event> conductor;
    conductor.push_back({0, 0, Meta(0x03, title.toLatin1())});
    for (const auto& [beat, bpm] : r.tempos) {
        QByteArray tempo;
        PutBE(tempo, quint32(60000000 / bpm), 3);
        conductor.push_back({Ticks(beat), 0, Meta(0x51, tempo)});
    }
    QByteArray sig;
    sig.append(char(piece.beats));
    sig.append(char(2));
    sig.append(char(24));
    sig.append(char(8));
    conductor.push_back({0, 0, Meta(0x58, sig)});
    file += Track(conductor, endTick);

    auto noteTrack = [&](const QString& name, int channel, int program, int volume, int pan, int reverb, const std::vector<Note>& notes) {
        std::vector<Event> ev;
        ev.push_back({0, 0, Meta(0x03, name.toLatin1())});
        if (channel != 9) ev.push_back({0, 0, Short(0xC0 | channel, program, 0).left(2)});
        ev.push_back({0, 0, Short(0xB0 | channel, 7, volume)});
        ev.push_back({0, 0, Short(0xB0 | channel, 10, pan)});
        ev.push_back({0, 0, Short(0xB0 | channel, 91, reverb)});
        for (const auto& [beat, value] : r.levels) ev.push_back({Ticks(beat), 0, Short(0xB0 | channel, 11, value)});
        for (const Note& n : notes) {
            const quint32 on = Ticks(n.start);
            const quint32 off = std::max(on + 1, Ticks(n.start + n.length));
            ev.push_back({on, 2, Short(0x90 | channel, n.pitch, n.velocity)});
            ev.push_back({std::min(off, endTick), 1, Short(0x80 | channel, n.pitch, 0)});
        }
        return Track(ev, endTick);
    };
    for (size_t i = 0; i < piece.instruments.size(); ++i) {
        const Instrument& ins = piece.instruments[i];
        file += noteTrack(ins.name, ins.channel, ins.program, ins.volume, ins.pan, ins.reverb, r.voices[i]);
    }
    file += noteTrack("drums", 9, 0, 100, 64, 30, r.drums);
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args.size() % 2 == 0) {
        std::fprintf(stderr, "usage: velmora_compose NOTES.txt OUT.mid [NOTES.txt OUT.mid ...]\n");
        return 2;
    }
    try {
        for (int i = 1; i + 1 < args.size(); i += 2) {
            const Piece piece = ReadPiece(args[i]);
            const Rendered r = Render(piece, QFileInfo(args[i]).fileName());
            QFile out(args[i + 1]);
            if (!out.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + args[i + 1].toStdString());
            out.write(WriteSmf(piece, r, QFileInfo(args[i + 1]).completeBaseName()));
            std::printf("%s: %.1f s, %d chords\n", qPrintable(QFileInfo(args[i + 1]).fileName()),
                r.Seconds(), int(r.chords.size()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velmora_compose: %s\n", e.what());
        return 1;
    }
    return 0;
}
