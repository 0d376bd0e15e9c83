#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <map>
#include <vector>

// The composer is what keeps the music consonant: it must refuse note data that would sound
// wrong or drift out of time, and say where.
class ComposerTest : public QObject {
    Q_OBJECT

    struct Outcome {
        int exitCode = -1;
        QString errors;
        QByteArray midi;
    };

    static Outcome Compose(const QString& notes)
    {
        Outcome o;
        QTemporaryDir dir;
        QFile in(dir.path() + "/piece.txt");
        if (!in.open(QIODevice::WriteOnly)) return o;
        in.write(notes.toUtf8());
        in.close();
        QProcess run;
        run.start(qEnvironmentVariable("VELMORA_COMPOSE"), {in.fileName(), dir.path() + "/piece.mid"});
        if (!run.waitForFinished(30000)) return o;
        o.exitCode = run.exitCode();
        o.errors = QString::fromUtf8(run.readAllStandardError());
        QFile out(dir.path() + "/piece.mid");
        if (out.open(QIODevice::ReadOnly)) o.midi = out.readAll();
        return o;
    }

    // A channel event of the composed file, with its track's running tick.
    struct Event {
        quint32 tick;
        int status, a, b;
    };

    // The channel events of every track; the composer writes no running status.
    static std::vector<Event> Events(const QByteArray& midi)
    {
        std::vector<Event> events;
        auto u8 = [&](qsizetype at) { return int(quint8(midi[at])); };
        qsizetype pos = 14;
        while (pos + 8 <= midi.size() && midi.mid(pos, 4) == "MTrk") {
            const qsizetype end = pos + 8 + ((u8(pos + 4) << 24) | (u8(pos + 5) << 16) | (u8(pos + 6) << 8) | u8(pos + 7));
            quint32 tick = 0;
            for (pos += 8; pos < end;) {
                int c = 0;
                quint32 delta = 0;
                do { c = u8(pos++); delta = (delta << 7) | quint32(c & 0x7F); } while (c & 0x80);
                tick += delta;
                const int status = u8(pos++);
                if (status == 0xFF) {
                    pos += 1;
                    quint32 len = 0;
                    do { c = u8(pos++); len = (len << 7) | quint32(c & 0x7F); } while (c & 0x80);
                    pos += len;
                } else if ((status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0) {
                    events.push_back({tick, status, u8(pos), 0});
                    pos += 1;
                } else {
                    events.push_back({tick, status, u8(pos), u8(pos + 1)});
                    pos += 2;
                }
            }
            pos = end;
        }
        return events;
    }

    static QString Piece(const QString& chords, const QString& melody)
    {
        return QString("tempo 120\nbeats 4\nkey C major\ndrums pop\n"
                       "instrument lead program 0 channel 0\n"
                       "instrument bass program 33 channel 1 style bass octave 2\n"
                       "section A\nchords %1\nlead %2\nend\nform A A\n").arg(chords, melody);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("VELMORA_COMPOSE").isEmpty(), "VELMORA_COMPOSE must name the composer (CTest sets it)");
    }

    void composerAcceptsOnlyConsonantWellTimedNotes_data()
    {
        QTest::addColumn<QString>("chords");
        QTest::addColumn<QString>("melody");
        QTest::addColumn<QString>("complaint"); // empty: the piece is accepted
        QTest::newRow("chord tones on the changes") << "| C | G |" << "| e5:2 d5 | d5:1 b4 g4 r |" << "";
        QTest::newRow("passing notes between changes") << "| C | G |" << "| c5:1 d5 e5 f5 | g5:4 |" << "";
        QTest::newRow("continued part line") << "| C | F |" << "| c5:4 |\n| a4:4 |" << "";
        QTest::newRow("licensed appoggiatura") << "| C | G |" << "| d5!:2 c5 | b4:4 |" << "";
        QTest::newRow("bar one beat short") << "| C | G |" << "| e5:1 d5 c5 | g4:4 |" << "bar lasts 3 beats";
        QTest::newRow("bar one beat long") << "| C | G |" << "| e5:2 d5 g5:1 | g4:4 |" << "bar lasts 5 beats";
        QTest::newRow("note outside the key") << "| C | G |" << "| e5:2 f#5 | g4:4 |" << "leaves the scale";
        QTest::newRow("clash on a chord change") << "| C | G |" << "| e5:4 | c5:4 |" << "clashes with the chord";
        QTest::newRow("melody shorter than the chords") << "| C | G | C |" << "| e5:4 | d5:4 |" << "has 2 bars";
        QTest::newRow("unknown chord") << "| C | Hm |" << "| e5:4 | d5:4 |" << "bad chord";
        QTest::newRow("unreadable note") << "| C | G |" << "| e5:4 | x5:4 |" << "bad note";
    }
    void composerAcceptsOnlyConsonantWellTimedNotes()
    {
        QFETCH(QString, chords);
        QFETCH(QString, melody);
        QFETCH(QString, complaint);
        const Outcome o = Compose(Piece(chords, melody));
        if (complaint.isEmpty()) {
            QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
            QVERIFY(o.midi.startsWith("MThd"));
        } else {
            QVERIFY(o.exitCode != 0);
            QVERIFY2(o.errors.contains(complaint), qPrintable(o.errors));
        }
    }

    void songLengthFollowsTempoAndForm_data()
    {
        QTest::addColumn<int>("tempo");
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("ticks"); // 480 to the quarter note
        QTest::newRow("one pass") << 120 << "A" << 2 * 4 * 480;
        QTest::newRow("repeated") << 120 << "A A A" << 3 * 2 * 4 * 480;
        QTest::newRow("slower tempo, same ticks") << 60 << "A A" << 2 * 2 * 4 * 480;
    }
    void songLengthFollowsTempoAndForm()
    {
        QFETCH(int, tempo);
        QFETCH(QString, form);
        QFETCH(int, ticks);
        QString piece = Piece("| C | G |", "| e5:4 | d5:4 |");
        piece.replace("tempo 120", QString("tempo %1").arg(tempo)).replace("form A A", "form " + form);
        const Outcome o = Compose(piece);
        QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
        // The conductor track's tempo and its end-of-track delta carry the whole length.
        const QByteArray tempoEvent = QByteArray("\xFF\x51\x03", 3);
        const int at = int(o.midi.indexOf(tempoEvent));
        QVERIFY(at > 0);
        const quint32 micros = (quint8(o.midi[at + 3]) << 16) | (quint8(o.midi[at + 4]) << 8) | quint8(o.midi[at + 5]);
        QCOMPARE(micros, quint32(60000000 / tempo));
        const int firstTrack = int(o.midi.indexOf("MTrk"));
        const int trackEnd = firstTrack + 8 + ((quint8(o.midi[firstTrack + 6]) << 8) | quint8(o.midi[firstTrack + 7]));
        QCOMPARE(o.midi.mid(trackEnd - 3, 3), QByteArray("\xFF\x2F\x00", 3));
        // Everything in the conductor track sits at tick 0, so the last delta is the length.
        quint32 delta = 0;
        int pos = trackEnd - 4;
        while (pos > firstTrack && (quint8(o.midi[pos - 1]) & 0x80)) --pos;
        for (int i = pos; i < trackEnd - 3; ++i) delta = (delta << 7) | (quint8(o.midi[i]) & 0x7F);
        QCOMPARE(delta, quint32(ticks));
    }

    void closingSectionBroadensFromItsDownbeat()
    {
        QString piece = Piece("| C | G |", "| e5:4 | d5:4 |");
        piece.replace("form A A", "section Coda\ntempo 60\nchords | C |\nlead | c5:4 |\nend\nform A Coda");
        const Outcome o = Compose(piece);
        QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
        // Two tempo events in the conductor track: 120 at the start, 60 two bars (3840 ticks) in.
        const QByteArray tempoEvent = QByteArray("\xFF\x51\x03", 3);
        const int first = int(o.midi.indexOf(tempoEvent));
        const int second = int(o.midi.indexOf(tempoEvent, first + 1));
        QVERIFY(first > 0 && second > first);
        auto micros = [&](int at) { return (quint8(o.midi[at + 3]) << 16) | (quint8(o.midi[at + 4]) << 8) | quint8(o.midi[at + 5]); };
        QCOMPARE(micros(first), 500000);
        QCOMPARE(micros(second), 1000000);
        // The delta before the second event is 3840 ticks, written as a two-byte variable length.
        QCOMPARE(quint8(o.midi[second - 2]), quint8(0x80 | (3840 >> 7)));
        QCOMPARE(quint8(o.midi[second - 1]), quint8(3840 & 0x7F));
    }

    void sectionDynamicsSwellTheExpressionAndTheTouch()
    {
        // A crescendo that only moved a fader, or only the first note, would not build.
        QString piece = Piece("| C | G |", "| e5:1 d5 c5 d5 | d5:1 b4 g4 b4 |");
        piece.replace("section A\n", "section A\ndynamics 60 120\n").replace("form A A", "form A");
        const Outcome o = Compose(piece);
        QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
        std::vector<int> levels, touch;
        for (const Event& e : Events(o.midi)) {
            if (e.status == 0xB0 && e.a == 11) levels.push_back(e.b);
            if (e.status == 0x90 && e.b > 0) touch.push_back(e.b);
        }
        QVERIFY(levels.size() >= 8);
        QCOMPARE(levels.front(), 60);
        QVERIFY(levels.back() >= 110);
        QVERIFY(std::is_sorted(levels.begin(), levels.end()));
        // The last bar's notes land harder than the first bar's, beat for beat.
        QCOMPARE(touch.size(), size_t(8));
        for (size_t i = 1; i < 4; ++i) QVERIFY2(touch[i + 4] > touch[i] + 5, qPrintable(QString("beat %1").arg(i)));
    }

    void composerRefusesLevelsOutsideMidi_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("silent") << "dynamics 0 90";
        QTest::newRow("past the top") << "dynamics 90 128";
        QTest::newRow("not a number") << "dynamics loud";
    }
    void composerRefusesLevelsOutsideMidi()
    {
        QFETCH(QString, line);
        QString piece = Piece("| C | G |", "| e5:4 | d5:4 |");
        piece.replace("section A\n", "section A\n" + line + "\n");
        const Outcome o = Compose(piece);
        QVERIFY(o.exitCode != 0);
        QVERIFY2(o.errors.contains("dynamics"), qPrintable(o.errors));
    }

    void waltzAccompanimentPutsTheBassOnTheDownbeatAndChordsAfter()
    {
        // In three, the oompah style must not fall back to the four-beat pattern.
        const QString piece = "tempo 120\nbeats 3\nkey G major\ndrums none\n"
                              "instrument waltz program 0 channel 0 style oompah octave 2\n"
                              "section A\nchords | G | D |\nend\nform A\n";
        const Outcome o = Compose(piece);
        QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
        std::map<quint32, std::vector<int>> onsets;
        for (const Event& e : Events(o.midi))
            if (e.status == 0x90 && e.b > 0) onsets[e.tick].push_back(e.a);
        const std::vector<int> gBass{43}, gChord{55, 59, 62}, dBass{38}, dChord{50, 54, 57};
        QCOMPARE(onsets.size(), size_t(6));
        QCOMPARE(onsets[0], gBass);
        QCOMPARE(onsets[480], gChord);
        QCOMPARE(onsets[960], gChord);
        QCOMPARE(onsets[1440], dBass);
        QCOMPARE(onsets[1920], dChord);
    }

    void swingDelaysTheOffBeatEighthsToTwoThirdsOfTheBeat()
    {
        QString piece = Piece("| C | G |", "| c5:.5 d5 e5:1 g5:2 | g5:4 |");
        piece.replace("drums pop", "drums none\nswing").replace("form A A", "form A");
        const Outcome o = Compose(piece);
        QVERIFY2(o.exitCode == 0, qPrintable(o.errors));
        std::vector<quint32> lead;
        for (const Event& e : Events(o.midi))
            if (e.status == 0x90 && e.b > 0) lead.push_back(e.tick);
        QVERIFY(lead.size() >= 5);
        // c5 on the beat, d5 two thirds in (320 of 480 ticks), e5 and g5 on their beats.
        QCOMPARE(lead[0], quint32(0));
        QCOMPARE(lead[1], quint32(320));
        QCOMPARE(lead[2], quint32(480));
        QCOMPARE(lead[3], quint32(960));
    }
};

QTEST_MAIN(ComposerTest)
#include "ComposerTest.moc"
