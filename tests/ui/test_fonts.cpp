#include "core/FatalError.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

using namespace velmora;

namespace {

// Run in a child process that sees only the fonts of its own fontconfig set-up: prints the
// Japanese faces the game would use, best first, or why it refused to start.
int RunChild(int argc, char** argv)
{
    QApplication application(argc, argv);
    try {
        RequireJapaneseFont();
        std::printf("%s\n", qPrintable(JapaneseFamilies().join(u'|')));
    } catch (const FatalError& error) {
        std::printf("refused: %s\n", qPrintable(error.Message()));
    }
    return 0;
}

} // namespace

class FontsTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a check that knew only the listed faces by name and refused a system whose only
    // Japanese face was another one, and a check that let a system without any Japanese through.
    void anyFaceThatCoversJapaneseIsAcceptedTheListedGothicFirst_data()
    {
        QTest::addColumn<QStringList>("fontFolders");
        QTest::addColumn<QString>("expected");
        QTest::newRow("only Droid Sans Fallback")
            << QStringList{"/usr/share/fonts/truetype/droid"} << "Droid Sans Fallback";
        QTest::newRow("a listed Gothic face comes before Droid Sans Fallback")
            << QStringList{"/usr/share/fonts/truetype/droid", "/usr/share/fonts/opentype/ipafont-gothic"}
            << "IPAPGothic|IPAGothic|Droid Sans Fallback";
        QTest::newRow("only a Latin face is refused")
            << QStringList{"/usr/share/fonts/truetype/dejavu"} << "refused: No Japanese font";
    }

    void anyFaceThatCoversJapaneseIsAcceptedTheListedGothicFirst()
    {
        QFETCH(QStringList, fontFolders);
        QFETCH(QString, expected);
        for (const QString& folder : fontFolders)
            QVERIFY2(QFile::exists(folder), qPrintable(folder + " is missing: scripts/setup.sh installs it"));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QByteArray config = "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                            "<fontconfig>\n";
        for (const QString& folder : fontFolders)
            config += "<dir>" + QFile::encodeName(folder) + "</dir>\n";
        config += "<cachedir>" + QFile::encodeName(dir.filePath("cache")) + "</cachedir>\n</fontconfig>\n";
        QFile file(dir.filePath("fonts.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config);
        file.close();

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("FONTCONFIG_FILE", file.fileName());
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {"--child"});
        QVERIFY(child.waitForFinished(60000));
        const QString output = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        QVERIFY2(output.startsWith(expected), qPrintable(output + " / " + child.readAllStandardError()));
    }
};

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv);
    QCoreApplication application(argc, argv);
    FontsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fonts.moc"
