#include "sound/SoundSystem.h"
#include "tests/sound/SoundTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using velmora::MidiDevice;
using velmora::SoundSystem;
using velmora::WaveSound;
using namespace velmora::testing;

class TestSoundSystem : public QObject {
    Q_OBJECT

private slots:
    // Catches a sound system that loads its module (and its forty libraries) before it is
    // started, which is what held up the first window, or one that cannot find it afterwards.
    void LoadsTheModuleOnlyWhenStartedAndThenPlays();
    // Catches a game that crashes, or goes silent without a word, when its sound module is
    // missing or broken: the player must hear nothing and read why once.
    void PlaysSilentAndSaysWhyOnceWithoutAModule_data();
    void PlaysSilentAndSaysWhyOnceWithoutAModule();
};

void TestSoundSystem::LoadsTheModuleOnlyWhenStartedAndThenPlays()
{
    SoundSystem sound({QStringLiteral("/nonexistent/libvelmora-sound.so"), QStringLiteral(VELMORA_SOUND_MODULE)});
    // Asking and closing are no reason to start.
    QCOMPARE(sound.Midi().CurrentMode(), MidiDevice::Mode::NotOpen);
    sound.Midi().Close();
    QVERIFY(!sound.Started());

    StderrCapture capture;
    sound.Start();
    QVERIFY(sound.Started());
    QVERIFY2(sound.Problem().isEmpty(), qPrintable(sound.Problem()));
    QVERIFY(sound.Midi().Open(QStringLiteral("M00S.mid")));
    QVERIFY(sound.Midi().Play());
    QVERIFY(WaitFor([&] { return sound.Midi().CurrentMode() == MidiDevice::Mode::Playing; }));
    sound.Midi().Close();
    QCOMPARE(sound.Midi().CurrentMode(), MidiDevice::Mode::NotOpen);
    QVERIFY(!capture.Restore().contains("without sound"));
}

void TestSoundSystem::PlaysSilentAndSaysWhyOnceWithoutAModule_data()
{
    QTest::addColumn<QByteArray>("content"); // the file in the module's place; empty = none
    QTest::addColumn<QString>("says");

    QTest::newRow("no module where it should be") << QByteArray() << QStringLiteral("not installed");
    QTest::newRow("a file that is not a module") << QByteArray("not a library\n") << QStringLiteral("cannot be loaded");
}

void TestSoundSystem::PlaysSilentAndSaysWhyOnceWithoutAModule()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, says);
    QTemporaryDir folder;
    const QString place = folder.filePath(QStringLiteral("libvelmora-sound.so"));
    if (!content.isEmpty()) {
        QFile file(place);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    StderrCapture capture;
    SoundSystem sound({place});
    QVERIFY(!sound.Midi().Open(QStringLiteral("M00S.mid")));
    QVERIFY(!sound.Midi().Play());
    QCOMPARE(sound.Midi().CurrentMode(), MidiDevice::Mode::NotOpen);
    sound.Waves().Play(QStringLiteral("TARNELDEMO.WAV"), WaveSound::Async);
    sound.Midi().Close();
    const QString written = QString::fromLocal8Bit(capture.Restore());

    QVERIFY(sound.Started());
    QVERIFY2(sound.Problem().contains(says) && sound.Problem().contains(place), qPrintable(sound.Problem()));
    QCOMPARE(written.count(QStringLiteral("velmora: playing without sound: ")), 1);
    QVERIFY2(written.contains(place), qPrintable(written));
}

QTEST_GUILESS_MAIN(TestSoundSystem)
#include "test_sound_system.moc"
