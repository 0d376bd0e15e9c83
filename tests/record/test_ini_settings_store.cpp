#include "record/ClearRecord.h"
#include "record/IniSettingsStore.h"
#include "record/IniText.h"
#include "story/Selection.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velmora;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString App = u"Tarnel"_s;
const QString Section = u"Velmora"_s;
const QString Key = u"Exp"_s;

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool PutFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The same executable doubles as the other running copies of the game that the tests start.
int RunHelper(const QStringList& args)
{
    const QString mode = args.value(1);
    IniSettingsStore store(args.value(2));
    if (mode == u"--record-ending") {
        // Wait for the word, so that every copy writes at the same moment.
        char line[8];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
        return RecordEnding(store, static_cast<std::int16_t>(args.value(3).toInt())) ? 0 : 1;
    }
    if (mode == u"--append-slowly") {
        // Holds the record for a while between reading and writing, so that copies without a
        // working lock would overwrite each other.
        char line[8];
        if (!std::fgets(line, sizeof line, stdin))
            return 3;
        const auto written = store.Update(App, Section, Key, QString(), [&](const QString& stored) {
            QThread::msleep(20);
            return stored + args.value(3);
        });
        return written ? 0 : 1;
    }
    if (mode == u"--churn") {
        // Writes without end, alternating two records, until killed.
        for (long n = 0;; ++n) {
            const bool written = store.Update(App, Section, Key, u"0"_s, [n](const QString&) {
                return n % 2 == 0 ? u" 254"_s : u" 126"_s;
            }).has_value();
            if (!written)
                return 2;
            std::printf("%ld\n", n);
            std::fflush(stdout);
        }
    }
    if (mode == u"--write-over-limit") {
        // A disk that fills up while the file is written.
        const rlimit limit{static_cast<rlim_t>(args.value(3).toLongLong()),
                           static_cast<rlim_t>(args.value(3).toLongLong())};
        std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 3;
        return store.Write(App, Section, Key, u" 254"_s) ? 1 : 0;
    }
    return 3;
}

} // namespace

class TestIniSettingsStore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_folder;

    QString IniPath() const { return m_folder + u"/Tarnel.ini"_s; }

    static QString Helper() { return QCoreApplication::applicationFilePath(); }

private slots:
    void initTestCase()
    {
        // Whatever happens, the player's own record stays out of reach.
        QVERIFY(m_dir.isValid());
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + u"/xdg-default"_s));
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        m_folder = m_dir.path() + u"/config-"_s + QString::number(QRandomGenerator::global()->generate());
        QVERIFY(QDir().mkpath(m_folder));
    }

    void textComesBackExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("leading blank") << " 254";
        QTest::newRow("trailing blank") << "254 ";
        QTest::newRow("comma that QSettings would split") << "254, 3";
        QTest::newRow("special type marker") << "@Variant(\\0\\0\\0\\x7f)";
        QTest::newRow("doubled at sign") << "@@254";
        QTest::newRow("lone at sign") << "@";
        QTest::newRow("quotes") << "\"254\" and \"3\"";
        QTest::newRow("backslashes") << "C:\\Tarnel\\254\\";
        QTest::newRow("comment and equals signs") << "a;b=c";
        QTest::newRow("Japanese") << u"鈴木夕乃：「まぁ」"_s;
        QTest::newRow("outside the basic plane") << u"🍵 parfait"_s;
        QTest::newRow("byte order mark after an escape") << u"\t\uFEFF4"_s;
        QTest::newRow("line breaks and tabs") << "\tone\r\ntwo\n";
        QTest::newRow("control character before hex digits") << QString(u"\x01" "abc"_s);
        // QSettings itself wraps a text holding NUL in "@String()"; an escape reads the same.
        QTest::newRow("NUL before a digit") << QString(QChar(0)) + u"1"_s;
        QTest::newRow("empty") << "";
        QTest::newRow("only blanks") << "   ";
    }

    void textComesBackExactly()
    {
        QFETCH(QString, text);
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, Section, Key, text));
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), text);
        QCOMPARE(IniSettingsStore(m_folder).Read(App, Section, Key, u"0"_s), text);

        // Still an ordinary INI file: QSettings reads the same text, and writes the same bytes.
        // (Qt's own reader drops a U+FEFF inside a value as if it began the file; the game's keeps
        // it, and the bytes below are the ones Qt writes.)
        QSettings plain(IniPath(), QSettings::IniFormat);
        if (!text.contains(QChar(0xFEFF)))
            QCOMPARE(plain.value(Section + u'/' + Key).toString(), text);
        const QString qtPath = m_folder + u"/written-by-qt.ini"_s;
        {
            QSettings qt(qtPath, QSettings::IniFormat);
            qt.setValue(Section + u'/' + Key, text);
        }
        if (!text.contains(QChar(0)))
            QCOMPARE(FileBytes(IniPath()), FileBytes(qtPath));
    }

    void recordFileIsReadableByAPerson()
    {
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, Section, Key, u" 254"_s));
        QCOMPARE(FileBytes(IniPath()), QByteArray("[Velmora]\nExp=\" 254\"\n"));
    }

    void handEditedValueReadsAsTyped_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::newRow("unquoted comma") << QByteArray("[Velmora]\nExp=254, 3\n") << "254, 3";
        QTest::newRow("special type") << QByteArray("[Velmora]\nExp=@Variant(abc)\n") << "@Variant(abc)";
        QTest::newRow("blanks around key and value") << QByteArray("[Velmora]\n  Exp =  254  \n") << "254";
        QTest::newRow("quoted blank") << QByteArray("[Velmora]\nExp=\" 254\"\n") << " 254";
        QTest::newRow("comment after the value") << QByteArray("[Velmora]\nExp=6 ; two endings\n") << "6";
        QTest::newRow("comment lines") << QByteArray("; record\n[Velmora]\n;Exp=8\nExp=2\n") << "2";
        QTest::newRow("Windows line ends") << QByteArray("[Velmora]\r\nExp=14\r\n") << "14";
        QTest::newRow("no line end") << QByteArray("[Velmora]\nExp=14") << "14";
        QTest::newRow("UTF-8 text") << QByteArray("[Velmora]\nExp=\xe4\xba\x8c\n") << u"二"_s;
        QTest::newRow("file saved with a byte order mark") << QByteArray("\xef\xbb\xbf[Velmora]\nExp=6\n") << "6";
        QTest::newRow("later line wins") << QByteArray("[Velmora]\nExp=2\nExp=4\n") << "4";
        QTest::newRow("empty value") << QByteArray("[Velmora]\nExp=\n") << "";
        QTest::newRow("other section's key") << QByteArray("[Other]\nExp=2\n") << "fallback";
        QTest::newRow("key outside any section") << QByteArray("Exp=2\n") << "fallback";
        QTest::newRow("line without equals") << QByteArray("[Velmora]\nExp\n") << "fallback";
        QTest::newRow("not an INI file") << QByteArray("\x00\xff\x01garbage", 11) << "fallback";
    }

    void handEditedValueReadsAsTyped()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QVERIFY(PutFile(IniPath(), file));
        QCOMPARE(IniSettingsStore(m_folder).Read(App, Section, Key, u"fallback"_s), text);
    }

    void writingKeepsEverythingElseInTheFile()
    {
        QVERIFY(PutFile(IniPath(), "[General]\nlanguage=ja\n\n[Other]\nlist=1, 2\n\n"
                                   "[Velmora]\nExp=\" 2\"\nNote=@Variant(abc)\n"));
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, Section, Key, u" 6"_s));
        QVERIFY(store.Delete(App, u"Other"_s, u"missing"_s));
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), u" 6"_s);
        QCOMPARE(store.Read(App, Section, u"Note"_s, u""_s), u"@Variant(abc)"_s);
        QCOMPARE(store.Read(App, u"Other"_s, u"list"_s, u""_s), u"1, 2"_s);
        QCOMPARE(store.Read(App, QString(), u"language"_s, u""_s), u"ja"_s);
    }

    // Catches a write that rebuilt the whole file from its values: comments, blank lines, line
    // ends and the spelling of other keys and of the record's own key were lost.
    void writingChangesOnlyTheRecordsLine_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QByteArray>("after");

        const QByteArray others = "; the player's own notes\n\n[General]\nLanguage = ja \nlist=1,2\n"
                                  "odd line without equals\n\n[Other]\nKey=\"x\"\n";
        QTest::newRow("the record's value is replaced, the rest kept")
            << others + "\n[Velmora]\n# old\nExp = 2 ; kept comment\nNote=@Variant(abc)\n" << false
            << others + "\n[Velmora]\n# old\nExp = \" 6\" ; kept comment\nNote=@Variant(abc)\n";
        QTest::newRow("a missing record goes after the last line of its section")
            << QByteArray("[Velmora]\r\nNote=1\r\n\r\n[Later]\r\nA=b\r\n") << false
            << QByteArray("[Velmora]\r\nNote=1\r\nExp=\" 6\"\r\n\r\n[Later]\r\nA=b\r\n");
        QTest::newRow("a missing section is added at the end")
            << QByteArray("; only a comment") << false << QByteArray("; only a comment\n\n[Velmora]\nExp=\" 6\"\n");
        QTest::newRow("deleting takes out every line of the key and nothing else")
            << others + "[Velmora]\nExp=3\n  Exp=5 ; again\nNote=1\n" << true << others + "[Velmora]\nNote=1\n";
    }

    void writingChangesOnlyTheRecordsLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, remove);
        QFETCH(QByteArray, after);
        QVERIFY(PutFile(IniPath(), before));
        IniSettingsStore store(m_folder);
        QVERIFY(remove ? store.Delete(App, Section, Key) : store.Write(App, Section, Key, u" 6"_s));
        QCOMPARE(FileBytes(IniPath()), after);
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), remove ? u"0"_s : u" 6"_s);
    }

    void deleteRemovesOnlyThatKey()
    {
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, Section, Key, u" 6"_s));
        QVERIFY(store.Write(App, Section, u"Other"_s, u"kept"_s));
        QVERIFY(store.Delete(App, Section, Key));
        QCOMPARE(store.Read(App, Section, Key, u"0"_s), u"0"_s);
        QCOMPARE(store.Read(App, Section, u"Other"_s, u""_s), u"kept"_s);
        QVERIFY(store.Delete(App, Section, Key));
    }

    void checkingAMissingRecordCreatesNoFile()
    {
        IniSettingsStore store(m_folder);
        int warnings = 0;
        CheckClearRecord(store, [&](const QString&, const QString&) { ++warnings; });
        QCOMPARE(warnings, 0);
        QVERIFY(!QFile::exists(IniPath()));
    }

    void invalidRecordIsGoneFromTheFile()
    {
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, Section, Key, u"255"_s));
        int warnings = 0;
        CheckClearRecord(store, [&](const QString&, const QString&) { ++warnings; });
        QCOMPARE(warnings, 2);
        QVERIFY(!QSettings(IniPath(), QSettings::IniFormat).contains(Section + u'/' + Key));
    }

    void recordLivesInTheUsersConfigFolder_data()
    {
        QTest::addColumn<bool>("xdgSet");
        QTest::newRow("XDG_CONFIG_HOME set") << true;
        QTest::newRow("XDG_CONFIG_HOME unset: ~/.config") << false;
    }

    void recordLivesInTheUsersConfigFolder()
    {
        QFETCH(bool, xdgSet);
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldXdg = qgetenv("XDG_CONFIG_HOME");
        const QString home = m_folder + u"/home"_s;
        QVERIFY(QDir().mkpath(home));
        qputenv("HOME", QFile::encodeName(home));
        if (xdgSet)
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder + u"/xdg"_s));
        else
            qunsetenv("XDG_CONFIG_HOME");

        const bool written = IniSettingsStore().Write(App, Section, Key, u" 2"_s);

        qputenv("HOME", oldHome);
        if (oldXdg.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldXdg);

        QVERIFY(written);
        const QString expected = xdgSet ? m_folder + u"/xdg/Tarnel.ini"_s : home + u"/.config/Tarnel.ini"_s;
        QCOMPARE(FileBytes(expected), QByteArray("[Velmora]\nExp=\" 2\"\n"));
    }

    void storeThatCannotBeWrittenFailsQuietly_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder where the file should be") << "directory";
        QTest::newRow("file where the folder should be") << "file";
        QTest::newRow("pipe where the file should be") << "pipe";
        QTest::newRow("read-only folder") << "read-only";
        QTest::newRow("disk full during the write") << "full";
    }

    void storeThatCannotBeWrittenFailsQuietly()
    {
        QFETCH(QString, kind);
        const QByteArray before = "[Velmora]\nExp=\" 2\"\nPadding=" + QByteArray(8192, 'x') + "\n";

        if (kind == u"directory") {
            QVERIFY(QDir().mkpath(IniPath()));
            IniSettingsStore store(m_folder);
            QVERIFY(!store.Write(App, Section, Key, u" 2"_s));
            QVERIFY(!RecordEnding(store, 1));
            QCOMPARE(store.Read(App, Section, Key, u"0"_s), u"0"_s);
            QVERIFY(QFileInfo(IniPath()).isDir());
        } else if (kind == u"pipe") {
            QCOMPARE(mkfifo(QFile::encodeName(IniPath()).constData(), 0644), 0);
            IniSettingsStore store(m_folder);
            QCOMPARE(store.Read(App, Section, Key, u"0"_s), u"0"_s);
            QVERIFY(!RecordEnding(store, 1));
        } else if (kind == u"file") {
            QVERIFY(PutFile(m_folder + u"/not-a-folder"_s, "x"));
            IniSettingsStore store(m_folder + u"/not-a-folder"_s);
            QVERIFY(!store.Write(App, Section, Key, u" 2"_s));
            QVERIFY(!RecordEnding(store, 1));
            QCOMPARE(store.Read(App, Section, Key, u"0"_s), u"0"_s);
        } else if (kind == u"read-only") {
            QVERIFY(PutFile(IniPath(), before));
            QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                        | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
            QVERIFY(QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
            if (geteuid() == 0) {
                // Root writes anywhere; a user who may not write here is played by "nobody".
                QVERIFY(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                                | QFile::ExeOther));
                const pid_t child = fork();
                QVERIFY(child >= 0);
                if (child == 0) {
                    if (setgid(65534) != 0 || setuid(65534) != 0)
                        _exit(3);
                    _exit(IniSettingsStore(m_folder).Write(App, Section, Key, u" 254"_s) ? 1 : 0);
                }
                int status = 0;
                QCOMPARE(waitpid(child, &status, 0), child);
                QVERIFY(WIFEXITED(status));
                QCOMPARE(WEXITSTATUS(status), 0);
            } else {
                QVERIFY(!IniSettingsStore(m_folder).Write(App, Section, Key, u" 254"_s));
            }
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else {
            QVERIFY(PutFile(IniPath(), before));
            QCOMPARE(QProcess::execute(Helper(), {u"--write-over-limit"_s, m_folder, u"4096"_s}), 0);
        }
        if (kind == u"read-only" || kind == u"full") {
            QCOMPARE(FileBytes(IniPath()), before);
            // No half-written file left beside it either.
            QStringList files = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
            files.removeOne(u"Tarnel.ini.writer.lock"_s);
            QCOMPARE(files, QStringList{u"Tarnel.ini"_s});
        }
    }

    void copiesWritingAtOnceKeepEachOthersChanges_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("rounds");
        // Seven copies of the game record seven different endings at the same moment.
        QTest::newRow("endings recorded at once") << "--record-ending" << " 254" << 12;
        QTest::newRow("slow changes at once") << "--append-slowly" << "1234567" << 3;
    }

    void copiesWritingAtOnceKeepEachOthersChanges()
    {
        QFETCH(QString, mode);
        QFETCH(QString, result);
        QFETCH(int, rounds);
        for (int round = 0; round < rounds; ++round) {
            QFile::remove(IniPath());
            std::vector<std::unique_ptr<QProcess>> copies;
            for (int heroine = 1; heroine <= 7; ++heroine) {
                auto copy = std::make_unique<QProcess>();
                copy->start(Helper(), {mode, m_folder, QString::number(heroine)});
                QVERIFY(copy->waitForStarted());
                copies.push_back(std::move(copy));
            }
            // Every copy is told to go before any is waited for.
            for (auto& copy : copies) {
                copy->write("go\n");
                copy->closeWriteChannel();
                QVERIFY(copy->waitForBytesWritten(60000));
            }
            for (auto& copy : copies) {
                QVERIFY(copy->waitForFinished(60000));
                QCOMPARE(copy->exitCode(), 0);
            }
            QString stored = IniSettingsStore(m_folder).Read(App, Section, Key, u"0"_s);
            if (mode == u"--append-slowly")
                std::sort(stored.begin(), stored.end());
            QCOMPARE(stored, result);
        }
    }

    void copyKilledWhileWritingLeavesAReadableRecord()
    {
        IniSettingsStore store(m_folder);
        QVERIFY(store.Write(App, u"Other"_s, u"Padding"_s, QString(65536, u'x')));
        constexpr int Rounds = 15;
        for (int round = 0; round < Rounds; ++round) {
            QProcess copy;
            copy.start(Helper(), {u"--churn"_s, m_folder});
            QVERIFY(copy.waitForStarted());
            // Let it get a varying number of writes in before the kill.
            const int writes = 1 + static_cast<int>(QRandomGenerator::global()->bounded(30));
            int seen = 0;
            while (seen < writes && copy.waitForReadyRead(60000)) {
                while (copy.canReadLine()) {
                    copy.readLine();
                    ++seen;
                }
            }
            QVERIFY2(seen >= writes, "the copy stopped writing before it was killed");
            QThread::usleep(QRandomGenerator::global()->bounded(3000));
            copy.kill();
            QVERIFY(copy.waitForFinished(60000));

            const QString record = store.Read(App, Section, Key, u"missing"_s);
            QVERIFY2(record == u" 254"_s || record == u" 126"_s, qPrintable(record));
            QCOMPARE(store.Read(App, u"Other"_s, u"Padding"_s, u""_s).size(), 65536);
            QCOMPARE(ParseIniText(FileBytes(IniPath())).size(), 2);
        }
        // The lock the killed copy left behind does not stop the next write.
        QVERIFY(RecordEnding(store, 1));
    }

    void endingRecordedByAnotherCopyDuringThePlayIsKept()
    {
        IniSettingsStore ours(m_folder);
        IniSettingsStore theirs(m_folder);
        QVERIFY(ours.Write(App, Section, Key, u" 2"_s));
        const std::int16_t atStart = ReadClearRecord(ours);
        QVERIFY(theirs.Write(App, Section, Key, u" 130"_s));
        QCOMPARE(int(ChooseHeroine({0, 3, 5, 0, 0, 0, 0}, atStart)), 2);
        QVERIFY(RecordEnding(ours, 2));
        QCOMPARE(ours.Read(App, Section, Key, u"0"_s), u" 134"_s);
    }
};

int main(int argc, char** argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "--record-ending" || mode == "--append-slowly" || mode == "--churn"
        || mode == "--write-over-limit") {
        QStringList args;
        for (int i = 0; i < argc; ++i)
            args.append(QString::fromLocal8Bit(argv[i]));
        return RunHelper(args);
    }
    QCoreApplication app(argc, argv);
    TestIniSettingsStore test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ini_settings_store.moc"
