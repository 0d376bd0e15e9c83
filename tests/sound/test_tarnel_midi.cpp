#include "fakes/RecordingMidiDevice.h"
#include "sound/TarnelMidi.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora;
using velmora::testing::RecordingMidiDevice;

namespace {

struct Player {
    QStringList log;
    GameState state;
    RecordingMidiDevice device{log};
    TarnelMidi music{state, device};
};

} // namespace

class TarnelMidiTest : public QObject {
    Q_OBJECT

private slots:
    // Each piece is opened fresh from the working directory, after a close, and the play is
    // sent whether the open worked or not. Catches a piece looked for beside the program or in
    // the directory the game started in rather than the current one.
    void playingClosesOpensAndPlaysFromTheWorkingDirectory()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString previous = QDir::currentPath();
        const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
        QVERIFY(QDir::setCurrent(folder.path()));
        const QString expected = QDir::currentPath() + QStringLiteral("/M00S.mid");

        Player p;
        p.music.PlayMidi(QStringLiteral("M00S.mid"));
        QCOMPARE(p.log, (QStringList{"close", "open M00S.mid", "play"}));
        // Read back after leaving the folder: a path that still depends on the working
        // directory would now point elsewhere.
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(p.device.opened, QStringList{expected});

        p.log.clear();
        p.device.failingOpens = true;
        p.music.PlayMidi(QStringLiteral("M04S.mid"));
        QCOMPARE(p.log, (QStringList{"close", "open M04S.mid", "play"}));
        QVERIFY(!p.music.MidiPlaying());
    }

    void musicOffSendsNothingButTheClose()
    {
        Player p;
        p.state.NoMusic = kTrue;
        p.state.MidiName = QStringLiteral("M02S.mid");
        p.music.LoopMidi();
        p.music.PlayMidi(QStringLiteral("M00S.mid"));
        QVERIFY(p.log.isEmpty());
        p.music.StopMidi();
        QCOMPARE(p.log, QStringList{"close"});
    }

    void anEndedPieceIsStartedAgainByTheLoopCheck()
    {
        Player p;
        p.state.MidiName = QStringLiteral("M02S.mid");
        p.music.LoopMidi();
        p.log.clear();
        p.music.LoopMidi(); // still playing: nothing
        QVERIFY(p.log.isEmpty());
        p.device.FinishPiece();
        p.music.LoopMidi();
        QCOMPARE(p.log, (QStringList{"close", "open M02S.mid", "play"}));
    }

    // Catches a loop check that compares the piece with MidiName and switches at once: a new
    // piece must wait for the old one to end, unless the chapter stopped it first.
    void aNewPieceWaitsForThePlayingOneToEnd()
    {
        Player p;
        p.state.MidiName = QStringLiteral("M02S.mid");
        p.music.LoopMidi();
        p.log.clear();
        p.state.MidiName = QStringLiteral("M03S.mid");
        p.music.LoopMidi();
        QVERIFY(p.log.isEmpty());
        p.device.FinishPiece();
        p.music.LoopMidi();
        QCOMPARE(p.log.mid(1), (QStringList{"open M03S.mid", "play"}));

        p.log.clear();
        p.music.StopMidi();
        p.state.MidiName = QStringLiteral("M04S.mid");
        p.music.LoopMidi();
        QCOMPARE(p.log, (QStringList{"close", "close", "open M04S.mid", "play"}));
    }

    void aFailedOpenIsTriedAgainAtTheNextCheck()
    {
        Player p;
        p.state.MidiName = QStringLiteral("M02S.mid");
        p.device.failingOpens = true;
        p.music.LoopMidi();
        p.log.clear();
        p.music.LoopMidi();
        QCOMPARE(p.log, (QStringList{"close", "open M02S.mid", "play"}));
    }

    void whichDeviceModesCountAsPlaying_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("playing");
        QTest::newRow("playing") << int(MidiDevice::Mode::Playing) << true;
        QTest::newRow("paused counts as playing") << int(MidiDevice::Mode::Paused) << true;
        QTest::newRow("stopped") << int(MidiDevice::Mode::Stopped) << false;
        QTest::newRow("not ready") << int(MidiDevice::Mode::NotReady) << false;
        QTest::newRow("nothing open") << int(MidiDevice::Mode::NotOpen) << false;
    }
    void whichDeviceModesCountAsPlaying()
    {
        QFETCH(int, mode);
        QFETCH(bool, playing);
        Player p;
        p.device.SetMode(static_cast<MidiDevice::Mode>(mode));
        QCOMPARE(p.music.MidiPlaying(), playing);
    }
};

QTEST_GUILESS_MAIN(TarnelMidiTest)
#include "test_tarnel_midi.moc"
