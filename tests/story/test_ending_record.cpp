#include "core/EventPump.h"
#include "fakes/RecordingMidiDevice.h"
#include "fakes/RecordingWaveSound.h"
#include "fakes/SequenceRandom.h"
#include "record/ClearRecord.h"
#include "record/IniSettingsStore.h"
#include "story/Chapters.h"
#include "ui/Game.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

// A game on the real settings store in a scratch folder.
struct StoreGame {
    explicit StoreGame(const QString& folder) : store(folder) {}
    QStringList log;
    IniSettingsStore store;
    RecordingMidiDevice midi{log};
    RecordingWaveSound waves;
    SequenceRandom random;
    EventPump pump;
    Game game{Services{store, midi, waves, random}, pump};
};

// Sets an environment variable for one scope.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedVariable() { m_old.isNull() ? qunsetenv(m_name) : qputenv(m_name, m_old); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
};

} // namespace

class EndingRecordTest : public QObject {
    Q_OBJECT

private slots:
    // Each row catches one way an ending was lost: a lock held by another copy for longer than
    // the old five seconds (the window frozen meanwhile), a lock path blocked by a folder or a
    // pipe, and a write that failed without a word to the player.
    void theEndingIsRecordedOrThePlayerIsTold_data()
    {
        QTest::addColumn<QString>("blocker");
        QTest::addColumn<bool>("written");
        QTest::newRow("another copy holds the lock for 6 s") << "held" << true;
        QTest::newRow("a folder where the lock file should be") << "lock folder" << true;
        QTest::newRow("a named pipe where the lock file should be") << "lock pipe" << true;
        QTest::newRow("the lock place and every other blocked") << "all blocked" << false;
        QTest::newRow("a folder where the settings file should be") << "settings folder" << false;
    }

    void theEndingIsRecordedOrThePlayerIsTold()
    {
        QFETCH(QString, blocker);
        QFETCH(bool, written);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString settings = dir.filePath("Tarnel.ini");
        const QString lockPath = settings + ".writer.lock";
        QVERIFY(QFile(settings).open(QIODevice::WriteOnly));

        int heldLock = -1;
        std::optional<ScopedVariable> runtime;
        std::optional<ScopedVariable> temp;
        if (blocker == "held") {
            heldLock = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
            QVERIFY(heldLock >= 0);
            QCOMPARE(::flock(heldLock, LOCK_EX), 0);
            // Only an event loop that keeps running while the ending waits lets this go.
            QTimer::singleShot(6000, [&] { ::close(heldLock); });
        } else if (blocker == "lock folder") {
            QVERIFY(QDir().mkpath(lockPath));
        } else if (blocker == "lock pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(lockPath).constData(), 0644), 0);
        } else if (blocker == "all blocked") {
            QVERIFY(QDir().mkpath(lockPath));
            runtime.emplace("XDG_RUNTIME_DIR", QFile::encodeName(settings));
            temp.emplace("TMPDIR", QFile::encodeName(dir.filePath("no-such-folder")));
        } else {
            QVERIFY(QFile::remove(settings));
            QVERIFY(QDir().mkpath(settings));
        }

        StoreGame play(dir.path());
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(100);
        QStringList messages;
        QTimer boxCloser;
        QObject::connect(&boxCloser, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        boxCloser.start(50);

        std::fflush(stderr);
        QTemporaryFile errors;
        QVERIFY(errors.open());
        const int savedStderr = ::dup(STDERR_FILENO);
        ::dup2(errors.handle(), STDERR_FILENO);
        const bool saved = SaveEnding(play.game, 3);
        std::fflush(stderr);
        ::dup2(savedStderr, STDERR_FILENO);
        ::close(savedStderr);
        QFile errorFile(errors.fileName());
        QVERIFY(errorFile.open(QIODevice::ReadOnly));
        const QString stderrText = QString::fromLocal8Bit(errorFile.readAll());

        QCOMPARE(saved, written);
        QCOMPARE(ReadClearRecordText(play.store), written ? QStringLiteral(" 8") : QStringLiteral("0"));
        if (written) {
            QCOMPARE(messages, QStringList());
            QCOMPARE(stderrText, QString());
        } else {
            QCOMPARE(messages.size(), 1);
            QVERIFY2(messages[0].contains(settings), qPrintable(messages[0]));
            QVERIFY2(stderrText.contains(settings), qPrintable(stderrText));
        }
        if (blocker == "held") {
            QVERIFY2(ticks >= 40, qPrintable(QString::number(ticks)));
        }
    }
};

QTEST_MAIN(EndingRecordTest)
#include "test_ending_record.moc"
