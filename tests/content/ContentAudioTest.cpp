#include "tools/content/MidiRender.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <set>

namespace {

// What the tests need to know of a Standard MIDI File, read independently of the composer.
struct SmfNote {
    quint32 start = 0, end = 0;
    int channel = 0, key = 0;
};

struct Smf {
    QString error;
    int format = -1, tracks = 0, division = 0;
    int beatsPerBar = 4;
    quint32 endTick = 0;
    double seconds = 0;
    std::set<int> programmedChannels;
    std::map<int, int> programs; // channel -> General MIDI program
    std::vector<SmfNote> notes;
};

Smf ParseSmf(const QByteArray& b)
{
    Smf smf;
    auto be = [&](qsizetype at, int n) {
        quint32 v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | quint8(b[at + i]);
        return v;
    };
    if (b.size() < 14 || !b.startsWith("MThd") || be(4, 4) != 6) { smf.error = "no MThd header"; return smf; }
    smf.format = int(be(8, 2));
    const int declared = int(be(10, 2));
    smf.division = int(be(12, 2));
    std::map<quint32, quint32> tempos{{0, 500000}};
    qsizetype pos = 14;
    while (pos + 8 <= b.size()) {
        if (b.mid(pos, 4) != "MTrk") { smf.error = "bad chunk"; return smf; }
        const qsizetype end = pos + 8 + be(pos + 4, 4);
        if (end > b.size()) { smf.error = "track runs past the file"; return smf; }
        pos += 8;
        quint32 tick = 0;
        int status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, quint32> open;
        while (pos < end && !ended) {
            quint32 delta = 0;
            int c = 0;
            do { c = quint8(b[pos++]); delta = (delta << 7) | quint32(c & 0x7F); } while (c & 0x80);
            tick += delta;
            int first = quint8(b[pos]);
            if (first & 0x80) { status = first; ++pos; }
            if (status == 0xFF) {
                const int type = quint8(b[pos++]);
                quint32 len = 0;
                do { c = quint8(b[pos++]); len = (len << 7) | quint32(c & 0x7F); } while (c & 0x80);
                if (type == 0x51) tempos[tick] = be(pos, 3);
                if (type == 0x58) smf.beatsPerBar = quint8(b[pos]);
                if (type == 0x2F) ended = true;
                pos += len;
                status = 0;
            } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                if ((status & 0xF0) == 0xC0) {
                    smf.programmedChannels.insert(status & 0x0F);
                    smf.programs[status & 0x0F] = quint8(b[pos]);
                }
                pos += 1;
            } else if (status >= 0x80 && status < 0xF0) {
                const int key = quint8(b[pos]), vel = quint8(b[pos + 1]);
                pos += 2;
                const int ch = status & 0x0F;
                const bool on = (status & 0xF0) == 0x90 && vel > 0;
                const bool off = (status & 0xF0) == 0x80 || ((status & 0xF0) == 0x90 && vel == 0);
                if (on) open[{ch, key}] = tick;
                if (off && open.count({ch, key})) {
                    smf.notes.push_back({open[{ch, key}], tick, ch, key});
                    open.erase({ch, key});
                }
            } else {
                smf.error = "unexpected status byte";
                return smf;
            }
        }
        if (!ended) { smf.error = "a track has no end-of-track event"; return smf; }
        if (!open.empty()) { smf.error = "a note is never released"; return smf; }
        smf.endTick = std::max(smf.endTick, tick);
        ++smf.tracks;
        pos = end;
    }
    if (smf.tracks != declared) { smf.error = "track count differs from the header"; return smf; }
    // Seconds to the last tick, through the tempo map.
    quint32 last = 0, tempo = 500000;
    for (const auto& [at, t] : tempos) {
        if (at >= smf.endTick) break;
        smf.seconds += double(at - last) * tempo / 1e6 / smf.division;
        last = at;
        tempo = t;
    }
    smf.seconds += double(smf.endTick - last) * tempo / 1e6 / smf.division;
    return smf;
}

Smf ReadSmf(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) { Smf s; s.error = "cannot open " + path; return s; }
    return ParseSmf(f.readAll());
}

struct Wave {
    QString error;
    int channels = 0, rate = 0, bits = 0;
    std::vector<double> samples; // first channel, -1 to 1
    double Seconds() const { return rate ? double(samples.size()) / rate : 0; }
};

Wave ReadWave(const QString& path)
{
    Wave w;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) { w.error = "cannot open"; return w; }
    const QByteArray b = f.readAll();
    auto le = [&](qsizetype at, int n) {
        quint32 v = 0;
        for (int i = n - 1; i >= 0; --i) v = (v << 8) | quint8(b[at + i]);
        return v;
    };
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") { w.error = "not RIFF/WAVE"; return w; }
    if (le(4, 4) != quint32(b.size() - 8)) { w.error = "RIFF size does not match the file"; return w; }
    qsizetype pos = 12;
    bool haveFormat = false;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 len = le(pos + 4, 4);
        if (id == "fmt ") {
            if (le(pos + 8, 2) != 1) { w.error = "not PCM"; return w; }
            w.channels = int(le(pos + 10, 2));
            w.rate = int(le(pos + 12, 4));
            w.bits = int(le(pos + 22, 2));
            if (le(pos + 16, 4) != quint32(w.rate * w.channels * w.bits / 8)) { w.error = "byte rate inconsistent"; return w; }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) { w.error = "data before fmt"; return w; }
            if (pos + 8 + len > quint32(b.size())) { w.error = "data runs past the file"; return w; }
            const int frame = w.channels * 2;
            for (quint32 i = 0; i + quint32(frame) <= len; i += quint32(frame))
                w.samples.push_back(qint16(le(pos + 8 + i, 2)) / 32768.0);
            return w;
        }
        pos += 8 + len + (len & 1);
    }
    w.error = "no data chunk";
    return w;
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The staff roll stops the ending music after 56 ticks of 1050 ms.
constexpr double kRollSeconds = 56 * 1.050;
// What a player hears without reaching for the volume: the music's RMS over a whole piece, in
// dBFS through the game's synthesizer settings, and the headroom its peaks must keep.
constexpr double kMusicRmsDb = -20.0;
constexpr double kMusicRmsToleranceDb = 1.5;
constexpr double kHighestPeakDb = -3.0;

double RmsDb(const std::vector<double>& samples)
{
    double sum = 0;
    for (double v : samples) sum += v * v;
    return samples.empty() ? -200.0 : 10 * std::log10(sum / double(samples.size()));
}

class ContentAudioTest : public QObject {
    Q_OBJECT

    // Rendering is the slow part: each file is rendered once for all the tests that listen to it.
    std::map<QString, velmora::MidiRendering> m_renderings;

    const velmora::MidiRendering& Rendered(const QString& file)
    {
        auto found = m_renderings.find(file);
        if (found == m_renderings.end()) found = m_renderings.emplace(file, velmora::RenderMidi(file, velmora::DefaultSoundFont())).first;
        return found->second;
    }

    static void AddPieces()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::addColumn<QList<int>>("key"); // pitch classes every pitched note must keep to
        const QList<int> cMajor{0, 2, 4, 5, 7, 9, 11};
        auto transpose = [&](int by) { QList<int> k; for (int pc : cMajor) k << (pc + by) % 12; return k; };
        QTest::newRow("title, B flat major") << "M00S.mid" << 60.0 << 90.0 << transpose(10);
        QTest::newRow("quiz, F major") << "M01S.mid" << 30.0 << 60.0 << transpose(5);
        QTest::newRow("story, D mixolydian") << "M02S.mid" << 60.0 << 90.0 << QList<int>{2, 4, 6, 7, 9, 11, 0};
        QTest::newRow("tea house, pentatonic") << "M03S.mid" << 60.0 << 90.0 << QList<int>{2, 4, 7, 9, 11};
        QTest::newRow("ending, under the staff roll") << "M04S.mid" << 45.0 << kRollSeconds << transpose(7);
    }

private slots:
    void pieceIsGeneralMidiFormatOneOfItsLength_data() { AddPieces(); }
    void pieceIsGeneralMidiFormatOneOfItsLength()
    {
        QFETCH(QString, file);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        const Smf smf = ReadSmf(file);
        QVERIFY2(smf.error.isEmpty(), qPrintable(file + ": " + smf.error));
        QCOMPARE(smf.format, 1);
        QVERIFY(smf.tracks >= 4);
        QVERIFY2(smf.seconds >= shortest && smf.seconds <= longest, qPrintable(QString("%1 lasts %2 s").arg(file).arg(smf.seconds)));
        // Melody, harmony and bass: at least three voiced channels chose their instrument.
        QVERIFY(smf.programmedChannels.size() >= 3);
        QVERIFY(std::any_of(smf.notes.begin(), smf.notes.end(), [](const SmfNote& n) { return n.channel == 9; }));
        // The piece stops on a bar line, so the player's restart lands on the downbeat.
        QCOMPARE(smf.endTick % quint32(smf.beatsPerBar * smf.division), quint32(0));
    }

    void everyPitchedNoteKeepsToTheKey_data() { AddPieces(); }
    void everyPitchedNoteKeepsToTheKey()
    {
        QFETCH(QString, file);
        QFETCH(QList<int>, key);
        const Smf smf = ReadSmf(file);
        QVERIFY(smf.error.isEmpty());
        int pitched = 0;
        for (const SmfNote& n : smf.notes) {
            if (n.channel == 9) continue;
            ++pitched;
            QVERIFY2(key.contains(n.key % 12), qPrintable(QString("%1: key %2 at tick %3 leaves the key").arg(file).arg(n.key).arg(n.start)));
        }
        QVERIFY(pitched > 100);
    }

    void endingMusicClosesOnTheTonicChord()
    {
        const Smf smf = ReadSmf("M04S.mid");
        QVERIFY(smf.error.isEmpty());
        std::set<int> last;
        int lowest = 128;
        for (const SmfNote& n : smf.notes)
            if (n.channel != 9 && n.end >= smf.endTick - 1 && n.start < smf.endTick) {
                last.insert(n.key % 12);
                lowest = std::min(lowest, n.key);
            }
        QVERIFY(!last.empty());
        for (int pc : last) QVERIFY2(pc == 7 || pc == 11 || pc == 2, qPrintable(QString("pitch class %1 sounds at the close").arg(pc)));
        QCOMPARE(lowest % 12, 7);
    }

    void piecePlaysToItsEndAtTheGameLevelWithHeadroom_data() { AddPieces(); }
    void piecePlaysToItsEndAtTheGameLevelWithHeadroom()
    {
        QFETCH(QString, file);
        const QString font = velmora::DefaultSoundFont();
        QVERIFY2(!font.isEmpty(), "a General MIDI sound font (timgm6mb-soundfont) is needed");
        const auto& r = Rendered(file);
        QVERIFY2(r.ok, qPrintable(file + ": " + r.error));
        const Smf smf = ReadSmf(file);
        QVERIFY(r.playedSeconds >= smf.seconds - 0.05);
        QVERIFY(r.left.size() >= size_t(smf.seconds * r.sampleRate));
        // Loud enough that nobody turns it up (the music once played 13 dB under this), with
        // headroom for the peaks; the release tail counts for the peak.
        const auto whole = velmora::MeasureLevel(r, 0, smf.seconds);
        QVERIFY2(std::fabs(whole.rmsDb - kMusicRmsDb) <= kMusicRmsToleranceDb, qPrintable(QString("%1: rms %2 dBFS").arg(file).arg(whole.rmsDb)));
        const double peakDb = velmora::MeasureLevel(r, 0, double(r.left.size()) / r.sampleRate).peakDb;
        QVERIFY2(peakDb < kHighestPeakDb, qPrintable(QString("%1: peak %2 dBFS").arg(file).arg(peakDb)));
        // Sound all the way through, never so quiet that it seems to have stopped; and the level
        // moves: the loudest five seconds stand well above the quietest.
        double quietest = 0, loudest = -200;
        for (double from = 0; from + 5 <= smf.seconds; from += 5) {
            const double rms = velmora::MeasureLevel(r, from, from + 5).rmsDb;
            QVERIFY2(rms > -32, qPrintable(QString("%1: rms %2 dBFS from %3 s").arg(file).arg(rms).arg(from)));
            quietest = std::min(quietest, rms);
            loudest = std::max(loudest, rms);
        }
        QVERIFY2(loudest - quietest >= 3, qPrintable(QString("%1: level varies by only %2 dB").arg(file).arg(loudest - quietest)));
    }

    void endingMusicClosesWithTheStaffRoll()
    {
        // The roll plays the piece once and stops it at its last tick: the piece must end within
        // the two seconds before, leaving the closing page neither silent nor the last chord cut.
        const Smf smf = ReadSmf("M04S.mid");
        QVERIFY(smf.error.isEmpty());
        QVERIFY2(smf.seconds >= kRollSeconds - 2.0 && smf.seconds <= kRollSeconds - 0.5, qPrintable(QString("%1 s").arg(smf.seconds)));
        const auto& r = Rendered("M04S.mid");
        QVERIFY2(r.ok, qPrintable(r.error));
        // The last chord still sounds when the file ends, and has nearly died when the roll stops.
        const double closing = velmora::MeasureLevel(r, smf.seconds - 1, smf.seconds).rmsDb;
        QVERIFY2(closing > -36, qPrintable(QString("rms %1 dBFS in the last second").arg(closing)));
        const double afterRoll = velmora::MeasureLevel(r, kRollSeconds, kRollSeconds + 0.5).rmsDb;
        QVERIFY2(afterRoll < closing - 20, qPrintable(QString("rms %1 dBFS after the roll").arg(afterRoll)));
    }

    void titleStoryAndEndingEachHaveTheirOwnLeadAndBassLine()
    {
        // They once shared the piano lead and one falling bass line, bar for bar. Bass lines are
        // compared as scale degrees from each key's tonic over the eight bars from where the tune
        // comes in; no two pieces may agree in half of them.
        const std::map<QString, int> tonic{{"M00S.mid", 10}, {"M02S.mid", 2}, {"M04S.mid", 7}};
        std::map<QString, std::vector<int>> bassLines;
        std::set<int> leads;
        for (const auto& [file, root] : tonic) {
            const Smf smf = ReadSmf(file);
            QVERIFY2(smf.error.isEmpty(), qPrintable(file));
            QVERIFY2(smf.programs.count(0), qPrintable(file + ": the lead chose no instrument"));
            leads.insert(smf.programs.at(0));
            const quint32 bar = quint32(smf.beatsPerBar * smf.division);
            quint32 tuneStart = smf.endTick;
            for (const SmfNote& n : smf.notes)
                if (n.channel == 0) tuneStart = std::min(tuneStart, n.start / bar * bar);
            for (quint32 at = tuneStart; at < tuneStart + 8 * bar; at += bar) {
                int lowest = 128;
                for (const SmfNote& n : smf.notes)
                    if (n.channel != 9 && n.start == at) lowest = std::min(lowest, n.key);
                QVERIFY2(lowest < 128, qPrintable(QString("%1: no bass at tick %2").arg(file).arg(at)));
                bassLines[file].push_back((lowest - root + 12) % 12);
            }
        }
        QCOMPARE(leads.size(), size_t(3));
        for (const auto& [a, mine] : bassLines)
            for (const auto& [b, theirs] : bassLines) {
                if (a >= b) continue;
                int same = 0;
                for (size_t i = 0; i < mine.size(); ++i) same += mine[i] == theirs[i];
                QVERIFY2(same < 4, qPrintable(QString("%1 and %2 share the bass in %3 of 8 bars").arg(a, b).arg(same)));
            }
    }

    void jingleStandsInProportionToTheTitleMusic()
    {
        // The jingle plays just before the title music: a player should not have to turn up the
        // one or down the other.
        const Wave w = ReadWave("TARNELDEMO.WAV");
        QVERIFY(w.error.isEmpty());
        const auto& r = Rendered("M00S.mid");
        QVERIFY2(r.ok, qPrintable(r.error));
        const double music = velmora::MeasureLevel(r, 0, ReadSmf("M00S.mid").seconds).rmsDb;
        const double jingle = RmsDb(w.samples);
        QVERIFY2(std::fabs(jingle - music) <= 4, qPrintable(QString("jingle %1 dBFS, title music %2 dBFS").arg(jingle).arg(music)));
        const double peak = std::transform_reduce(w.samples.begin(), w.samples.end(), 0.0,
            [](double a, double b) { return std::max(a, b); }, [](double v) { return std::fabs(v); });
        QVERIFY2(20 * std::log10(peak) < kHighestPeakDb, qPrintable(QString("jingle peak %1").arg(peak)));
    }

    void waveHasAValidHeaderAndItsLength_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::addColumn<bool>("silent");
        QTest::newRow("jingle") << "TARNELDEMO.WAV" << 2.0 << 3.0 << false;
        QTest::newRow("cut-off silence") << "Dummy.wav" << 0.01 << 0.2 << true;
    }
    void waveHasAValidHeaderAndItsLength()
    {
        QFETCH(QString, file);
        QFETCH(double, shortest);
        QFETCH(double, longest);
        QFETCH(bool, silent);
        const Wave w = ReadWave(file);
        QVERIFY2(w.error.isEmpty(), qPrintable(file + ": " + w.error));
        QCOMPARE(w.bits, 16);
        QVERIFY(w.Seconds() >= shortest && w.Seconds() <= longest);
        const double peak = std::transform_reduce(w.samples.begin(), w.samples.end(), 0.0,
            [](double a, double b) { return std::max(a, b); }, [](double s) { return std::fabs(s); });
        if (silent) QCOMPARE(peak, 0.0);
        else QVERIFY2(peak > 0.3 && peak < 0.99, qPrintable(QString("peak %1").arg(peak)));
    }

    void jingleRingsUnderEachLetterOfTheLogo()
    {
        // The logo's letters appear 0.6 to 1.6 s after the jingle starts, the year at 2.4 s; each
        // moment should have a fresh note, louder than the moment just before it.
        const Wave w = ReadWave("TARNELDEMO.WAV");
        QVERIFY(w.error.isEmpty());
        auto rms = [&](double from, double to) {
            double sum = 0;
            const size_t a = size_t(from * w.rate), b = size_t(to * w.rate);
            for (size_t i = a; i < b; ++i) sum += w.samples[i] * w.samples[i];
            return std::sqrt(sum / double(b - a));
        };
        for (double at : {0.6, 0.8, 1.0, 1.2, 1.4, 1.6, 1.8, 2.4})
            QVERIFY2(rms(at, at + 0.03) > rms(at - 0.03, at) * 1.1, qPrintable(QString("no onset at %1 s").arg(at)));
        QVERIFY(rms(w.Seconds() - 0.01, w.Seconds()) < 0.002);
    }

    void generatingTwiceGivesIdenticalFiles_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::newRow("composer") << "VELMORA_COMPOSE";
        QTest::newRow("sound synthesiser") << "VELMORA_SOUNDS";
    }
    void generatingTwiceGivesIdenticalFiles()
    {
        QFETCH(QString, tool);
        const QString program = qEnvironmentVariable(qPrintable(tool));
        QVERIFY2(!program.isEmpty(), qPrintable(tool + " must name the generator (CTest sets it)"));
        const QString notes = qEnvironmentVariable("VELMORA_MUSIC_NOTES");
        QTemporaryDir first, second;
        QStringList produced;
        for (const QTemporaryDir* dir : {&first, &second}) {
            QStringList args;
            if (tool == "VELMORA_COMPOSE") {
                produced = {"M00S.mid", "M01S.mid", "M02S.mid", "M03S.mid", "M04S.mid"};
                for (const QString& m : produced) args << notes + "/" + QString(m).replace(".mid", ".txt") << dir->path() + "/" + m;
            } else {
                produced = {"TARNELDEMO.WAV", "Dummy.wav"};
                args << dir->path();
            }
            QProcess run;
            run.start(program, args);
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitCode(), 0);
        }
        for (const QString& name : produced) {
            const QByteArray a = FileBytes(first.path() + "/" + name);
            QVERIFY2(!a.isEmpty(), qPrintable(name + " was not produced"));
            QCOMPARE(a, FileBytes(second.path() + "/" + name));
            QVERIFY2(a == FileBytes(name), qPrintable(name + " in the data directory is out of date"));
        }
    }
};

QTEST_MAIN(ContentAudioTest)
#include "ContentAudioTest.moc"
