#include "sound/AlertChime.h"
#include "sound/AudioOutput.h"
#include "sound/SdlWaveSound.h"
#include "tests/sound/SoundTestSupport.h"
#include "fakes/HostileFiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>

using velmora::AudioOutput;
using velmora::SdlWaveSound;
using velmora::WaveSound;
using namespace velmora::testing;

namespace {

// A mono 16-bit sine wave file at 8 kHz.
QByteArray SineWave(double seconds, double level)
{
    const int rate = 8000;
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    QByteArray data;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto sample = static_cast<std::int16_t>(std::lround(level * 32767.0 * std::sin(i * 0.35)));
        data.append(static_cast<char>(sample & 0xFF)).append(static_cast<char>((sample >> 8) & 0xFF));
    }
    auto littleEndian = [](std::uint32_t value, int bytes) {
        QByteArray out;
        for (int i = 0; i < bytes; ++i) {
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
        return out;
    };
    const auto size = static_cast<std::uint32_t>(data.size());
    return "RIFF" + littleEndian(36 + size, 4) + "WAVEfmt " + littleEndian(16, 4) + littleEndian(1, 2)
        + littleEndian(1, 2) + littleEndian(rate, 4) + littleEndian(rate * 2, 4) + littleEndian(2, 2)
        + littleEndian(16, 2) + "data" + littleEndian(size, 4) + data;
}

// SDL's audio threads in this process: a released device leaves none behind.
int AudioThreads()
{
    int threads = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().startsWith("SDLAudio")) {
            ++threads;
        }
    }
    return threads;
}

} // namespace

class SdlWaveSoundTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Catches two sounds mixed together where the second must cut the first off.
    void aNewSoundCutsOffTheOneBefore();
    void anUnplayableFileFallsBackToTheAlertUnlessTold_data();
    void anUnplayableFileFallsBackToTheAlertUnlessTold();
    // Catches a chime that clicks (a tone not faded at its edges) or blares.
    void theAlertChimeIsSoftAndStartsAndEndsWithoutAClick();
    void aQuietOutputReleasesItsDeviceAndOpensItAgainForTheNextSound();

private:
    QString File(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_dir;
    std::unique_ptr<AudioOutput> m_output;
    std::unique_ptr<SdlWaveSound> m_sounds;
};

void SdlWaveSoundTest::initTestCase()
{
    qputenv("SDL_AUDIODRIVER", "dummy");
    QVERIFY(m_dir.isValid());
}

void SdlWaveSoundTest::init()
{
    m_output = std::make_unique<AudioOutput>();
    QVERIFY(m_output->Available());
    m_sounds = std::make_unique<SdlWaveSound>(*m_output);
}

void SdlWaveSoundTest::cleanup()
{
    m_sounds.reset();
    m_output.reset();
}

QString SdlWaveSoundTest::File(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

void SdlWaveSoundTest::aNewSoundCutsOffTheOneBefore()
{
    const QString jingle = File("jingle.wav", SineWave(30.0, 0.2));
    const QString cut = File("cut.wav", SineWave(0.05, 0.6));

    m_sounds->Play(jingle, WaveSound::Async);
    QVERIFY(m_output->EffectPlaying());
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > 3000; }));

    m_sounds->Play(cut, WaveSound::Async | WaveSound::NoDefault);
    // The louder short sound is heard, and then nothing: the half-minute jingle is gone.
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > 12000; }));
    QVERIFY(WaitFor([&] { return !m_output->EffectPlaying() && m_output->Paused(); }));
}

void SdlWaveSoundTest::anUnplayableFileFallsBackToTheAlertUnlessTold_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<unsigned>("flags");
    QTest::addColumn<bool>("alert");

    const QString missing = m_dir.filePath("missing.wav");
    const QString garbage = File("garbage.wav", QByteArray("RIFF0000WAVEjunk and more junk"));
    QTest::newRow("a missing file plays the alert") << missing << unsigned{WaveSound::Async} << true;
    QTest::newRow("a missing file with no default plays nothing")
        << missing << unsigned{WaveSound::Async | WaveSound::NoDefault} << false;
    QTest::newRow("an unreadable file plays the alert") << garbage << unsigned{WaveSound::Async} << true;
    QTest::newRow("an unreadable file with no default plays nothing")
        << garbage << unsigned{WaveSound::Async | WaveSound::NoDefault} << false;
    // Before, a pipe held the game for good and an endless file took its memory.
    for (const auto kind : {velmora::testing::HostileFile::NamedPipe, velmora::testing::HostileFile::LinkToDevZero,
                            velmora::testing::HostileFile::Folder, velmora::testing::HostileFile::HugeSparseFile}) {
        const QString path = m_dir.filePath(QStringLiteral("hostile-%1.wav").arg(static_cast<int>(kind)));
        QVERIFY(velmora::testing::MakeHostileFile(path, kind));
        QTest::newRow(qPrintable(QStringLiteral("%1 with no default plays nothing")
                                     .arg(QLatin1String(velmora::testing::HostileFileName(kind)))))
            << path << unsigned{WaveSound::Async | WaveSound::NoDefault} << false;
    }
}

void SdlWaveSoundTest::anUnplayableFileFallsBackToTheAlertUnlessTold()
{
    QFETCH(QString, file);
    QFETCH(unsigned, flags);
    QFETCH(bool, alert);

    // Something already sounds; whatever the request makes of its file, that sound stops.
    m_sounds->Play(File("before.wav", SineWave(30.0, 0.05)), WaveSound::Async);
    QVERIFY(WaitFor([&] { return m_output->TakePeak() > 500; }));
    StderrCapture stderrCapture;
    m_sounds->Play(file, flags);
    QCOMPARE(m_output->EffectPlaying(), alert);
    if (alert) {
        // The chime is far louder than the quiet tone it replaced.
        QVERIFY(WaitFor([&] { return m_output->TakePeak() > 4000; }));
    }
    QVERIFY(WaitFor([&] { return !m_output->EffectPlaying() && m_output->Paused(); }));
    m_output->TakePeak();
    QTest::qWait(30);
    QCOMPARE(m_output->TakePeak(), 0);
    QCOMPARE(stderrCapture.Restore(), QByteArray());
}

void SdlWaveSoundTest::theAlertChimeIsSoftAndStartsAndEndsWithoutAClick()
{
    for (int rate : {22050, 44100, 48000}) {
        const std::vector<std::int16_t> chime = velmora::AlertChime(rate);
        QVERIFY(chime.size() % 2 == 0);
        const double seconds = static_cast<double>(chime.size() / 2) / rate;
        QVERIFY(seconds > 0.1 && seconds < 0.2);
        int peak = 0;
        for (std::size_t i = 0; i < chime.size(); i += 2) {
            QCOMPARE(chime[i], chime[i + 1]);
            peak = std::max(peak, std::abs(static_cast<int>(chime[i])));
        }
        QVERIFY2(peak > 3000 && peak < 16000, qPrintable(QString::number(peak)));
        // The first and last quarter millisecond stay near silence.
        const std::size_t edge = static_cast<std::size_t>(rate) / 4000 * 2;
        for (std::size_t i = 0; i < edge; ++i) {
            QVERIFY(std::abs(chime[i]) < peak / 8);
            QVERIFY(std::abs(chime[chime.size() - 1 - i]) < peak / 8);
        }
    }
}

// Catches an output whose audio thread keeps waking while nothing sounds, one released while a
// sound still plays, and one that cannot sound again once released (the alert chime included,
// which is made without the mixer).
void SdlWaveSoundTest::aQuietOutputReleasesItsDeviceAndOpensItAgainForTheNextSound()
{
    cleanup();
    AudioOutput output(std::chrono::milliseconds(150));
    QVERIFY(output.Available());
    SdlWaveSound sounds(output);
    QVERIFY(WaitFor([&] { return !output.Open(); }));
    QCOMPARE(AudioThreads(), 0);

    sounds.Play(File("long.wav", SineWave(1.5, 0.3)), WaveSound::Async);
    QVERIFY(output.Open());
    QVERIFY(WaitFor([] { return AudioThreads() == 1; }));
    QTest::qWait(600);
    QVERIFY(output.Open());
    QVERIFY(output.TakePeak() > 3000);
    QVERIFY(WaitFor([&] { return !output.Open(); }));
    QCOMPARE(AudioThreads(), 0);

    sounds.Play(m_dir.filePath("missing.wav"), WaveSound::Async);
    QVERIFY(WaitFor([&] { return output.TakePeak() > 3000; }));
    QVERIFY(WaitFor([&] { return !output.Open(); }));
}

QTEST_GUILESS_MAIN(SdlWaveSoundTest)
#include "test_sdl_wave_sound.moc"
