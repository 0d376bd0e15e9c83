// Turns the readable note data of content/music/*.txt into Standard MIDI Files (format 1,
// General MIDI). The accompaniment is derived from each bar's chord symbol, so harmony, bass and
// melody agree by construction; the composer refuses a melody note that leaves the piece's scale
// or that lands on a chord change without being a tone of that chord (unless marked with '!').
#include "tools/content/Compose.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

using namespace velmora::compose;

constexpr int Division = 480; // ticks per quarter note
constexpr double Pi = std::numbers::pi;

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

