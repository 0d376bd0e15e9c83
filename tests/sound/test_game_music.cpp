#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "tests/sound/SoundTestSupport.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>

using namespace velmora;

// The game's own five pieces, from the data folder, through the device the game plays them on:
// each opens, sounds at the level the pieces are balanced for (about -20 dBFS RMS, the figure the
// offline renderer reports with the same synthesizer settings) with its peaks under -3 dBFS, and
// comes to its end, so the loop check can start it again.
class GameMusicTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "dummy"); }

    void everyPiecePlaysToItsEndAtItsLevelWithHeadroom_data()
    {
        QTest::addColumn<QString>("piece");
        for (const char* piece : {"M00S.mid", "M01S.mid", "M02S.mid", "M03S.mid", "M04S.mid"}) {
            QTest::newRow(piece) << QString::fromLatin1(piece);
        }
    }
    void everyPiecePlaysToItsEndAtItsLevelWithHeadroom()
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
        double squares = 0;
        int chunks = 0;
        while (device.CurrentMode() == MidiDevice::Mode::Playing && chunks < kLimit) {
            device.RenderMusic(samples.data(), kFrames);
            for (const std::int16_t sample : samples) {
                peak = std::max(peak, std::abs(int{sample}));
                squares += double(sample) * double(sample);
            }
            ++chunks;
        }
        QCOMPARE(device.CurrentMode(), MidiDevice::Mode::Stopped);
        const double rmsDb = 20 * std::log10(std::sqrt(squares / (double(chunks) * samples.size())) / 32768);
        const double peakDb = 20 * std::log10(std::max(peak, 1) / 32768.0);
        QVERIFY2(rmsDb > -21.5 && rmsDb < -18.5, qPrintable(QStringLiteral("rms %1 dBFS").arg(rmsDb)));
        QVERIFY2(peakDb < -3, qPrintable(QStringLiteral("peak %1 dBFS").arg(peakDb)));
    }
};

QTEST_GUILESS_MAIN(GameMusicTest)
#include "test_game_music.moc"
