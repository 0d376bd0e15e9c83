#include "sound/MidiFileTiming.h"
#include "tests/sound/SmfBuilder.h"

#include <QtTest>

using namespace std::chrono;
using velmora::MidiFileDuration;
using velmora::testing::Smf;
using velmora::testing::SmfHeader;
using velmora::testing::SmfTrack;

class MidiFileTimingTest : public QObject {
    Q_OBJECT

private slots:
    void lengthFollowsTicksAndTempo_data();
    void lengthFollowsTicksAndTempo();
    void brokenFilesAreRefused_data();
    void brokenFilesAreRefused();
    // A download or copy cut short anywhere: catches a reader that runs off the end of the
    // bytes or accepts a piece the synthesizer would then refuse.
    void noProperPrefixOfAFileIsAccepted();
};

void MidiFileTimingTest::lengthFollowsTicksAndTempo_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("micros");

    QTest::newRow("a quarter note at the default tempo lasts half a second")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0)}) << qint64{500000};
    QTest::newRow("a tempo change halfway plays the rest at the new speed")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).Tempo(480, 250000).NoteOff(480, 0, 60).End(0)}) << qint64{750000};
    QTest::newRow("a tempo change after the end changes nothing")
        << Smf(100, {SmfTrack().Tempo(0, 1000000).End(100),
                     SmfTrack().NoteOn(0, 0, 60).NoteOff(100, 0, 60).Tempo(10, 100).End(0)})
        << qint64{1100000};
    QTest::newRow("the tempo track of a multi-track file governs the other tracks")
        << Smf(96, {SmfTrack().Tempo(0, 1000000).End(0), SmfTrack().NoteOn(0, 0, 60).NoteOff(192, 0, 60).End(0)})
        << qint64{2000000};
    QTest::newRow("the longest track sets the length")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0),
                     SmfTrack().NoteOn(0, 1, 60).NoteOff(960, 1, 60).End(0)})
        << qint64{1000000};
    QTest::newRow("a rest before the end of track belongs to the piece")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(480)}) << qint64{1000000};
    QTest::newRow("running status continues a message without its status byte")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).Event(240, {64, 100}).Event(240, {60, 0}).Event(0, {64, 0}).End(0)})
        << qint64{500000};
    QTest::newRow("running status after a program change takes one data byte")
        << Smf(480, {SmfTrack().Program(0, 0, 5).Event(480, {7}).End(0)}) << qint64{500000};
    QTest::newRow("system exclusive and text events are stepped over")
        << Smf(480, {SmfTrack().Event(0, {0xF0, 0x03, 0x7E, 0x7F, 0xF7}).Event(0, {0xFF, 0x01, 0x02, 'h', 'i'})
                         .NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0)})
        << qint64{500000};
    QTest::newRow("a track without an end-of-track event ends at its last event")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).NoteOff(960, 0, 60)}) << qint64{1000000};
    QTest::newRow("an unknown chunk between tracks is skipped")
        << (SmfHeader(1, 2, 480) + SmfTrack().End(0).Chunk() + QByteArray("XTRA\0\0\0\3abc", 11)
            + SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0).Chunk())
        << qint64{500000};
    QTest::newRow("a long header keeps its extra bytes out of the tracks")
        << (QByteArray("MThd\0\0\0\x08\0\0\0\x01\x01\xE0zz", 16) + SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0).Chunk())
        << qint64{500000};
    QTest::newRow("a delta time spanning three bytes")
        << Smf(480, {SmfTrack().End(480 * 200)}) << qint64{100000000};
}

void MidiFileTimingTest::lengthFollowsTicksAndTempo()
{
    QFETCH(QByteArray, file);
    QFETCH(qint64, micros);
    const auto duration = MidiFileDuration(file);
    QVERIFY(duration.has_value());
    QCOMPARE(duration->count(), micros);
}

void MidiFileTimingTest::brokenFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("file");

    const QByteArray track = SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0).Chunk();
    QTest::newRow("an empty file") << QByteArray();
    QTest::newRow("a text file") << QByteArray("This is not music at all, just some words.\n");
    QTest::newRow("a header without tracks") << SmfHeader(0, 0, 480);
    QTest::newRow("a header cut short") << SmfHeader(0, 1, 480).left(11);
    QTest::newRow("a header announcing more tracks than follow") << (SmfHeader(1, 2, 480) + track);
    QTest::newRow("SMPTE timing") << (SmfHeader(0, 1, 0xE728) + track);
    QTest::newRow("a zero division") << (SmfHeader(0, 1, 0) + track);
    QTest::newRow("an unknown format") << (SmfHeader(3, 1, 480) + track);
    QTest::newRow("a track chunk longer than the file") << (SmfHeader(0, 1, 480) + track.left(track.size() - 1));
    QTest::newRow("a note cut short at the end of its track")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).Raw({0x00, 0x80, 60})});
    QTest::newRow("running status with no status before it") << Smf(480, {SmfTrack().Raw({0x00, 60, 100}).End(0)});
    QTest::newRow("a delta time longer than four bytes")
        << Smf(480, {SmfTrack().Raw({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100}).End(0)});
    QTest::newRow("a meta event longer than its track") << Smf(480, {SmfTrack().Raw({0x00, 0xFF, 0x01, 0x7F, 'a'})});
    QTest::newRow("a system exclusive longer than its track") << Smf(480, {SmfTrack().Raw({0x00, 0xF0, 0x10, 0x01})});
    QTest::newRow("a real-time message inside a track") << Smf(480, {SmfTrack().Raw({0x00, 0xF8}).End(0)});
}

void MidiFileTimingTest::brokenFilesAreRefused()
{
    QFETCH(QByteArray, file);
    QVERIFY(!MidiFileDuration(file).has_value());
}

void MidiFileTimingTest::noProperPrefixOfAFileIsAccepted()
{
    const QByteArray whole = Smf(480, {SmfTrack().Tempo(0, 400000).End(0),
                                       SmfTrack().Program(0, 0, 4).NoteOn(0, 0, 60).NoteOff(480, 0, 60).End(0)});
    QVERIFY(MidiFileDuration(whole).has_value());
    for (qsizetype length = 0; length < whole.size(); ++length) {
        QVERIFY2(!MidiFileDuration(whole.left(length)).has_value(), qPrintable(QString::number(length)));
    }
}

QTEST_GUILESS_MAIN(MidiFileTimingTest)
#include "test_midi_file_timing.moc"
