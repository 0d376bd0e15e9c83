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
    quint32 endTick = 0;
    double seconds = 0;
    std::set<int> programmedChannels;
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
                if (type == 0x2F) ended = true;
                pos += len;
                status = 0;
            } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                if ((status & 0xF0) == 0xC0) smf.programmedChannels.insert(status & 0x0F);
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

class ContentAudioTest : public QObject {
    Q_OBJECT

    static void AddPieces()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("shortest");
        QTest::addColumn<double>("longest");
        QTest::addColumn<QList<int>>("key"); // pitch classes every pitched note must keep to
        const QList<int> cMajor{0, 2, 4, 5, 7, 9, 11};
        auto transpose = [&](int by) { QList<int> k; for (int pc : cMajor) k << (pc + by) % 12; return k; };
        QTest::newRow("title, inviting") << "M00S.mid" << 60.0 << 90.0 << cMajor;
        QTest::newRow("quiz, playful") << "M01S.mid" << 30.0 << 60.0 << transpose(5);
        QTest::newRow("story, strolling") << "M02S.mid" << 60.0 << 90.0 << transpose(2);
        QTest::newRow("tea house, pentatonic") << "M03S.mid" << 60.0 << 90.0 << QList<int>{2, 4, 7, 9, 11};
        QTest::newRow("ending, about fifty seconds") << "M04S.mid" << 45.0 << 56.0 << transpose(7);
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
        QCOMPARE(smf.endTick % quint32(4 * smf.division), quint32(0));
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

    void piecePlaysToItsEndAudiblyWithoutClipping_data() { AddPieces(); }
    void piecePlaysToItsEndAudiblyWithoutClipping()
    {
        QFETCH(QString, file);
        const QString font = velmora::DefaultSoundFont();
        QVERIFY2(!font.isEmpty(), "a General MIDI sound font (timgm6mb-soundfont) is needed");
        const auto r = velmora::RenderMidi(file, font);
        QVERIFY2(r.ok, qPrintable(file + ": " + r.error));
        const Smf smf = ReadSmf(file);
        QVERIFY(r.playedSeconds >= smf.seconds - 0.05);
        const size_t played = size_t(smf.seconds * r.sampleRate);
        QVERIFY(r.left.size() >= played);
        double peak = 0;
        for (size_t i = 0; i < r.left.size(); ++i) peak = std::max({peak, double(std::fabs(r.left[i])), double(std::fabs(r.right[i]))});
        QVERIFY2(peak < 0.99, qPrintable(QString("peak %1").arg(peak)));
        // Sound all the way through: no five-second stretch of the piece falls silent.
        const size_t window = size_t(5 * r.sampleRate);
        for (size_t from = 0; from + window <= played; from += window) {
            double sum = 0;
            for (size_t i = from; i < from + window; ++i) sum += double(r.left[i]) * double(r.left[i]) + double(r.right[i]) * double(r.right[i]);
            const double rms = std::sqrt(sum / double(2 * window));
            QVERIFY2(rms > 0.004, qPrintable(QString("%1: rms %2 from %3 s").arg(file).arg(rms).arg(double(from) / r.sampleRate)));
        }
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
