#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "tests/sound/SoundTestSupport.h"

#include <QtTest>

#include <cstdlib>

using namespace velmora;

// The game's own five pieces, from the data folder, through the device the game plays them on:
// each opens, sounds without clipping and comes to its end, so the loop check can start it again.
class GameMusicTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "dummy"); }

    void everyPiecePlaysToItsEndAudiblyWithoutClipping_data()
    {
        QTest::addColumn<QString>("piece");
        for (const char* piece : {"M00S.mid", "M01S.mid", "M02S.mid", "M03S.mid", "M04S.mid"}) {
            QTest::newRow(piece) << QString::fromLatin1(piece);
        }
    }
    void everyPiecePlaysToItsEndAudiblyWithoutClipping()
    {
        QFETCH(QString, piece);
        AudioOutput output;
        QVERIFY(output.Available());
        FluidSynthMidiDevice device(output);
        testing::WaitFor([&] { return device.LoadState() != FluidSynthMidiDevice::Loading::InProgress; });
        QVERIFY2(device.LoadState() == FluidSynthMidiDevice::Loading::Ready, "no General MIDI soundfont");

        QVERIFY(device.Open(QDir::current().filePath(piece)));
        QVERIFY(device.Play());
        QCOMPARE(device.CurrentMode(), MidiDevice::Mode::Playing);

        // Rendered by hand, as the audio thread would, for at most two minutes of sound.
        constexpr int kFrames = 4096;
        constexpr int kLimit = 44100 * 120 / kFrames;
        std::vector<std::int16_t> samples(2 * kFrames);
        int peak = 0;
        int chunks = 0;
        while (device.CurrentMode() == MidiDevice::Mode::Playing && chunks < kLimit) {
            device.RenderMusic(samples.data(), kFrames);
            for (const std::int16_t sample : samples) {
                peak = std::max(peak, std::abs(int{sample}));
            }
            ++chunks;
        }
        QCOMPARE(device.CurrentMode(), MidiDevice::Mode::Stopped);
        QVERIFY2(peak > 1000, qPrintable(QStringLiteral("peak %1").arg(peak)));
        QVERIFY2(peak < 32767, "the piece clips");
    }
};

QTEST_GUILESS_MAIN(GameMusicTest)
#include "test_game_music.moc"
