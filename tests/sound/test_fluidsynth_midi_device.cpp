#include "sound/AudioOutput.h"
#include "sound/FluidSynthMidiDevice.h"
#include "sound/MusicSynth.h"
#include "sound/SdlWaveSound.h"
#include "tests/sound/SmfBuilder.h"
#include "tests/sound/SoundTestSupport.h"
#include "fakes/HostileFiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

using velmora::AudioOutput;
using velmora::FluidSynthMidiDevice;
using velmora::MidiDevice;
using namespace velmora::testing;
using Mode = MidiDevice::Mode;


namespace {

// Dither and the last whisper of a cleared reverb stay below this; any held note is far above.
// Both were measured at FluidSynth's default gain of 0.2 and scale with the game's gain, as the
// whisper does (a chord of the tests peaks near 8200 at unity gain, its cleared reverb near 110).
constexpr double GainSince = velmora::kMusicSynthGain / 0.2;
constexpr int Silent = int(64 * GainSince);
constexpr int Audible = int(300 * GainSince);

int Peak(const std::vector<std::int16_t>& samples)
{
    int peak = 0;
    for (std::int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

} // namespace

class FluidSynthMidiDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The whole round the loop check makes, through the real output: catches a render hook that
    // is never fed, a piece that never reports its end, and an output that never falls idle.
    void aPlayedPieceSoundsEndsAndPlaysAgainAfterReopening();
    // Rendered by hand, frame by frame: catches an end reported early (a piece cut off) or only
    // when FluidSynth's own player finishes, seconds later.
    void theEndIsReportedOnceTheLastEventHasPlayed_data();
    void theEndIsReportedOnceTheLastEventHasPlayed();
    // Catches hanging notes: a close that lets voices release into the next piece.
    void closeSilencesAtOnce();
    // A cymbal's stroke rings on for seconds under hearing; catches its voice kept to the end of
    // its release (the cost the device saves), and one ended before it has died away.
    void aReleasedVoiceEndsOnceItHasDiedAwayAndNotBefore();
    void failedOpensLeaveTheDeviceClosedAndSilent_data();
    void failedOpensLeaveTheDeviceClosedAndSilent();
    // Catches a play lost because it came while the soundfont was still loading.
    void aPlayAskedForBeforeTheSoundFontIsReadyStartsWhenItIs();
    // Catches a player replaced or deleted under a running render (a crash, or under the
    // sanitizers a use after free).
    void rapidOpenPlayCloseCyclesWhileRenderingNeverBreakTheDevice();
    void withoutAUsableSoundFontEverythingIsSilentAndQuiet_data();
    void withoutAUsableSoundFontEverythingIsSilentAndQuiet();
    void withoutAnAudioDeviceEverythingIsSilentAndQuiet_data();
    void withoutAnAudioDeviceEverythingIsSilentAndQuiet();
    void aBrokenSoundFontGivesWayQuietlyToTheNextOne();

private:
    QString Piece(const QString& name, const QByteArray& bytes);
    bool WaitUntilLoaded();
    // Renders one buffer by hand, as the audio thread would, and returns its samples.
    std::vector<std::int16_t> Render(int frames);

    QTemporaryDir m_dir;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<FluidSynthMidiDevice> m_device;
};

void FluidSynthMidiDeviceTest::initTestCase()
{
    // SDL's silent driver still pulls audio in real time, so rendering happens as in the game.
    qputenv("SDL_AUDIODRIVER", "dummy");
    QVERIFY(m_dir.isValid());
}

void FluidSynthMidiDeviceTest::init()
{
    m_output = std::make_unique<AudioOutput>();
    QVERIFY(m_output->Available());
    m_device = std::make_unique<FluidSynthMidiDevice>(*m_output);
}

void FluidSynthMidiDeviceTest::cleanup()
{
    m_device.reset();
    m_output.reset();
}

QString FluidSynthMidiDeviceTest::Piece(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    if (!WriteFile(path, bytes)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

bool FluidSynthMidiDeviceTest::WaitUntilLoaded()
{
    WaitFor([&] { return m_device->LoadState() != FluidSynthMidiDevice::Loading::InProgress; });
    return m_device->LoadState() == FluidSynthMidiDevice::Loading::Ready;
}

std::vector<std::int16_t> FluidSynthMidiDeviceTest::Render(int frames)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * 2, 0);
    m_device->RenderMusic(samples.data(), frames);
    return samples;
}


void FluidSynthMidiDeviceTest::aPlayedPieceSoundsEndsAndPlaysAgainAfterReopening()
{
    QVERIFY2(WaitUntilLoaded(), "a General MIDI soundfont (timgm6mb-soundfont) must be installed");
    const QString path = Piece("chord.mid", ChordPiece(4));

    QVERIFY(m_device->Open(path));
    QCOMPARE(m_device->CurrentMode(), Mode::Stopped);
    QVERIFY(m_device->Play());
    QCOMPARE(m_device->CurrentMode(), Mode::Playing);
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > Audible; }));
    QVERIFY(WaitFor([&] { return m_device->CurrentMode() == Mode::Stopped; }));
    // Left open after its end, the piece lets the output fall idle once its tail has rung out.
    QVERIFY(WaitFor([&] { return m_output->Paused(); }, std::chrono::seconds(10)));

    m_device->Close();
    QCOMPARE(m_device->CurrentMode(), Mode::NotOpen);
    QVERIFY(m_device->Open(path));
    QVERIFY(m_device->Play());
    QCOMPARE(m_device->CurrentMode(), Mode::Playing);
    m_output->TakePeak();
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > Audible; }));
    m_device->Close();
    QVERIFY(WaitFor([&] { return m_output->Paused(); }));
}

void FluidSynthMidiDeviceTest::theEndIsReportedOnceTheLastEventHasPlayed_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<qint64>("micros");

    QTest::newRow("a chord held for two beats") << ChordPiece(2) << qint64{1000000};
    QTest::newRow("a melody whose tempo doubles halfway")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 60).NoteOff(480, 0, 60).Tempo(0, 250000).NoteOn(0, 0, 64)
                         .NoteOff(480, 0, 64).End(0)})
        << qint64{750000};
    QTest::newRow("a note followed by a written rest")
        << Smf(480, {SmfTrack().NoteOn(0, 0, 72).NoteOff(240, 0, 72).End(720)}) << qint64{1000000};
    QTest::newRow("two tracks of different lengths")
        << Smf(480, {SmfTrack().Tempo(0, 600000).NoteOn(0, 0, 60).NoteOff(240, 0, 60).End(0),
                     SmfTrack().NoteOn(0, 1, 67).NoteOff(960, 1, 67).End(0)})
        << qint64{1200000};
}

void FluidSynthMidiDeviceTest::theEndIsReportedOnceTheLastEventHasPlayed()
{
    QFETCH(QByteArray, piece);
    QFETCH(qint64, micros);
    QVERIFY(WaitUntilLoaded());
    m_output->SetMusicSource(nullptr);

    const int block = 512;
    const qint64 end = micros * m_output->SampleRate() / 1000000;
    QVERIFY(m_device->Open(Piece("timed.mid", piece)));
    QVERIFY(m_device->Play());
    int peak = 0;
    qint64 rendered = 0;
    while (rendered + block <= end - block) {
        peak = std::max(peak, Peak(Render(block)));
        rendered += block;
        QVERIFY2(m_device->CurrentMode() == Mode::Playing, qPrintable(QString::number(rendered)));
    }
    QVERIFY(peak > Audible);
    while (rendered < end + block) {
        Render(block);
        rendered += block;
    }
    // FluidSynth itself would still be playing the release tails here.
    QCOMPARE(m_device->CurrentMode(), Mode::Stopped);
}

void FluidSynthMidiDeviceTest::closeSilencesAtOnce()
{
    QVERIFY(WaitUntilLoaded());
    m_output->SetMusicSource(nullptr);
    QVERIFY(m_device->Open(Piece("long.mid", ChordPiece(8))));
    QVERIFY(m_device->Play());
    QVERIFY(Peak(Render(4096)) > Audible);

    m_device->Close();
    // The next piece begins with a bar of rest: nothing of the cut-off chord, not even its
    // reverb, may ring into it.
    QVERIFY(m_device->Open(Piece("late.mid", Smf(480, {SmfTrack().NoteOn(1920, 0, 60).NoteOff(480, 0, 60).End(0)}))));
    QVERIFY(m_device->Play());
    QVERIFY(Peak(Render(8192)) < Silent);
}

void FluidSynthMidiDeviceTest::aReleasedVoiceEndsOnceItHasDiedAwayAndNotBefore()
{
    QVERIFY(WaitUntilLoaded());
    m_output->SetMusicSource(nullptr);

    // The stroke's release time, as the soundfont gives it.
    fluid_settings_t* settings = new_fluid_settings();
    fluid_synth_t* synth = new_fluid_synth(settings);
    const auto freeSynth = qScopeGuard([&] {
        delete_fluid_synth(synth);
        delete_fluid_settings(settings);
    });
    QVERIFY(fluid_synth_sfload(synth, QFile::encodeName(m_device->SoundFont()).constData(), 1) != FLUID_FAILED);
    fluid_synth_noteon(synth, 9, 51, 100);
    fluid_voice_t* voice = nullptr;
    fluid_synth_get_voicelist(synth, &voice, 1, -1);
    QVERIFY(voice != nullptr);
    const double releaseSeconds = std::exp2(static_cast<double>(fluid_voice_gen_get(voice, GEN_VOLENVRELEASE)) / 1200.0);

    // One stroke of the ride cymbal, held for a sixteenth at 120 beats a minute.
    QVERIFY(m_device->Open(Piece("ride.mid", Smf(480, {SmfTrack().NoteOn(0, 9, 51).NoteOff(120, 9, 51).End(0)}))));
    QVERIFY(m_device->Play());
    const int block = 1024;
    const int rate = m_output->SampleRate();
    std::vector<int> peaks;
    // The stroke starts in the first block and is released after 0.125 s.
    do {
        peaks.push_back(Peak(Render(block)));
    } while ((peaks.size() * block < std::size_t(rate / 4) || m_device->ActiveVoices() > 0)
             && peaks.size() < std::size_t(15 * rate / block));
    const double endedAfter = double(peaks.size() * block) / rate;
    const double strokePeak = *std::max_element(peaks.begin(), peaks.end());
    QVERIFY(strokePeak > Audible);
    // Released after 0.125 s, it fades 96 dB over its release time and so is 60 dB down 5/8 of
    // that time later; at most two render blocks of 93 ms pass before it is muted and ended.
    const double diedAway = 0.125 + releaseSeconds * 60 / 96;
    QVERIFY2(endedAfter >= diedAway && endedAfter <= diedAway + 0.3,
             qPrintable(QStringLiteral("ended after %1 s of a %2 s release").arg(endedAfter).arg(releaseSeconds)));
    // Over its last 200 ms it was at least 55 dB under the stroke (the last sample steps of
    // 16-bit sound lie some 80 dB under this one).
    const auto lastStretch = std::max_element(peaks.end() - std::min<std::ptrdiff_t>(peaks.size(), rate / 5 / block), peaks.end());
    QVERIFY2(20 * std::log10(std::max(*lastStretch, 1) / strokePeak) < -55,
             qPrintable(QStringLiteral("%1 against a stroke of %2").arg(*lastStretch).arg(strokePeak)));
}

void FluidSynthMidiDeviceTest::failedOpensLeaveTheDeviceClosedAndSilent_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("a missing file") << m_dir.filePath("no-such-piece.mid");
    QTest::newRow("an empty file") << Piece("empty.mid", QByteArray());
    QTest::newRow("random bytes") << Piece("noise.mid", QByteArray::fromHex("8d41f0c2a1770019ffee31a5c35d"));
    QTest::newRow("a MIDI file cut short") << Piece("cut.mid", ChordPiece(1).chopped(5));
    QTest::newRow("a folder where the piece should be") << [this] {
        QDir(m_dir.path()).mkpath("folder.mid");
        return m_dir.filePath("folder.mid");
    }();
    // Each of these held the game (a pipe) or took its memory (an endless file) before.
    for (const auto kind : {HostileFile::NamedPipe, HostileFile::LinkToDevZero, HostileFile::HugeSparseFile}) {
        const QString path = m_dir.filePath(QStringLiteral("hostile-%1.mid").arg(static_cast<int>(kind)));
        QVERIFY(MakeHostileFile(path, kind));
        QTest::newRow(HostileFileName(kind)) << path;
    }
}

void FluidSynthMidiDeviceTest::failedOpensLeaveTheDeviceClosedAndSilent()
{
    QFETCH(QString, path);
    QVERIFY(WaitUntilLoaded());
    QVERIFY(m_device->Open(Piece("good.mid", ChordPiece(4))));
    QVERIFY(m_device->Play());

    StderrCapture stderrCapture;
    QVERIFY(!m_device->Open(path));
    QCOMPARE(m_device->CurrentMode(), Mode::NotOpen);
    QVERIFY(!m_device->Play());
    QCOMPARE(m_device->CurrentMode(), Mode::NotOpen);
    m_device->Close();
    QVERIFY(WaitFor([&] { return m_output->Paused(); }));
    m_output->TakePeak();
    QTest::qWait(50);
    QCOMPARE(m_output->TakePeak(), 0);
    QCOMPARE(stderrCapture.Restore(), QByteArray());
}

void FluidSynthMidiDeviceTest::aPlayAskedForBeforeTheSoundFontIsReadyStartsWhenItIs()
{
    // The device has only just been made; its soundfont is most likely still loading.
    QVERIFY(m_device->Open(Piece("early.mid", ChordPiece(4))));
    QVERIFY(m_device->Play());
    QCOMPARE(m_device->CurrentMode(), Mode::Playing);
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > Audible; }));
    QCOMPARE(m_device->LoadState(), FluidSynthMidiDevice::Loading::Ready);
}

void FluidSynthMidiDeviceTest::rapidOpenPlayCloseCyclesWhileRenderingNeverBreakTheDevice()
{
    QVERIFY(WaitUntilLoaded());
    const QString good = Piece("cycle.mid", ChordPiece(1));
    const QString bad = Piece("cycle-bad.mid", "MThd");
    for (int i = 0; i < 400; ++i) {
        const bool usable = i % 7 != 3;
        QCOMPARE(m_device->Open(usable ? good : bad), usable);
        QCOMPARE(m_device->Play(), usable);
        const Mode mode = m_device->CurrentMode();
        QVERIFY(usable ? mode == Mode::Playing || mode == Mode::Stopped : mode == Mode::NotOpen);
        if (i % 5 == 0) {
            // Let the audio thread render in the middle of a cycle now and then.
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 3 * 7));
        }
        if (i % 2 == 0) {
            m_device->Close();
            QCOMPARE(m_device->CurrentMode(), Mode::NotOpen);
        }
    }
    m_device->Close();
    QVERIFY(m_device->Open(good));
    QVERIFY(m_device->Play());
    m_output->TakePeak();
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > Audible; }));
    QVERIFY(WaitFor([&] { return m_device->CurrentMode() == Mode::Stopped; }));
}

void FluidSynthMidiDeviceTest::withoutAUsableSoundFontEverythingIsSilentAndQuiet_data()
{
    QTest::addColumn<QStringList>("soundFonts");

    QTest::newRow("no soundfont installed") << QStringList{m_dir.filePath("none.sf2"), m_dir.filePath("none-2.sf2")};
    QTest::newRow("a soundfont file that is not one")
        << QStringList{Piece("broken.sf2", QByteArray("RIFF\x10\0\0\0sfbkLIST", 16))};
}

void FluidSynthMidiDeviceTest::withoutAUsableSoundFontEverythingIsSilentAndQuiet()
{
    QFETCH(QStringList, soundFonts);
    m_device.reset();
    StderrCapture stderrCapture;
    m_device = std::make_unique<FluidSynthMidiDevice>(*m_output, soundFonts);
    const QString path = Piece("piece.mid", ChordPiece(1));

    QVERIFY(WaitFor([&] { return m_device->LoadState() == FluidSynthMidiDevice::Loading::Failed; }));
    for (int check = 0; check < 3; ++check) {
        QVERIFY(!m_device->Open(path));
        QVERIFY(!m_device->Play());
        QCOMPARE(m_device->CurrentMode(), Mode::NotOpen);
        m_device->Close();
    }
    QVERIFY(m_output->Paused());
    QCOMPARE(m_output->TakePeak(), 0);
    QCOMPARE(stderrCapture.Restore(), QByteArray());
}

void FluidSynthMidiDeviceTest::withoutAnAudioDeviceEverythingIsSilentAndQuiet_data()
{
    QTest::addColumn<QByteArray>("driver");
    QTest::addColumn<QByteArray>("device");

    QTest::newRow("a driver SDL does not know") << QByteArray("velmora-no-such-driver") << QByteArray();
    // libasound itself would print a page of complaints about this one.
    QTest::newRow("an ALSA device that does not exist") << QByteArray("alsa") << QByteArray("velmora-no-such-pcm");
}

void FluidSynthMidiDeviceTest::withoutAnAudioDeviceEverythingIsSilentAndQuiet()
{
    QFETCH(QByteArray, driver);
    QFETCH(QByteArray, device);
    cleanup();
    const QString path = Piece("piece.mid", ChordPiece(1));
    qputenv("SDL_AUDIODRIVER", driver);
    qputenv("AUDIODEV", device);
    const auto restore = qScopeGuard([] {
        qputenv("SDL_AUDIODRIVER", "dummy");
        qunsetenv("AUDIODEV");
    });
    StderrCapture stderrCapture;
    {
        AudioOutput output;
        FluidSynthMidiDevice midi(output);
        velmora::SdlWaveSound waves(output);
        QVERIFY(!output.Available());
        QCOMPARE(midi.LoadState(), FluidSynthMidiDevice::Loading::Failed);
        QVERIFY(!midi.Open(path));
        QVERIFY(!midi.Play());
        QCOMPARE(midi.CurrentMode(), Mode::NotOpen);
        midi.Close();
        waves.Play("missing.wav", velmora::WaveSound::Async);
        QVERIFY(!output.EffectPlaying());
    }
    QCOMPARE(stderrCapture.Restore(), QByteArray());
}

void FluidSynthMidiDeviceTest::aBrokenSoundFontGivesWayQuietlyToTheNextOne()
{
    m_device.reset();
    const QString broken = Piece("broken.sf2", QByteArray("RIFF\x10\0\0\0sfbkLIST", 16));
    const QString installed = FluidSynthMidiDevice::DefaultSoundFonts().constLast();
    StderrCapture stderrCapture;
    m_device = std::make_unique<FluidSynthMidiDevice>(*m_output, QStringList{m_dir.filePath("none.sf2"), broken, installed});
    QVERIFY(WaitUntilLoaded());
    QCOMPARE(m_device->SoundFont(), installed);
    QVERIFY(m_device->Open(Piece("piece.mid", ChordPiece(1))));
    QVERIFY(m_device->Play());
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > Audible; }));
    QVERIFY(WaitFor([&] { return m_device->CurrentMode() == Mode::Stopped; }));
    m_device->Close();
    QCOMPARE(stderrCapture.Restore(), QByteArray());
}

QTEST_GUILESS_MAIN(FluidSynthMidiDeviceTest)
#include "test_fluidsynth_midi_device.moc"
