#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

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
};

QTEST_MAIN(ComposerTest)
#include "ComposerTest.moc"
