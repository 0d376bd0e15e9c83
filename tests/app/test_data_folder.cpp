// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DataFolder.h"

#include <QMap>
#include <QTest>

using namespace velmora;

namespace {

const QStringList GameData{QStringLiteral("VelmoraQ.qiz"), QStringLiteral("S01.vlq"), QStringLiteral("M00S.mid")};
const QString Relative = QStringLiteral("../share/games/velmora");

} // namespace

class TestDataFolder : public QObject {
    Q_OBJECT

private slots:
    // Catches a program that leaves the folder it was started in although the data is there (the
    // build tree and the tests), or one that ignores the player's variable or its own install.
    void ChoosesTheFolderThatHoldsTheData_data();
    void ChoosesTheFolderThatHoldsTheData();
    // Catches a program that looks for its sound module only where the build puts it (an
    // installed or moved game would play silent) or only where the install puts it.
    void LooksForTheSoundModuleBesideItselfThenInItsInstalledFolder_data();
    void LooksForTheSoundModuleBesideItselfThenInItsInstalledFolder();
};

void TestDataFolder::ChoosesTheFolderThatHoldsTheData_data()
{
    QTest::addColumn<QStringList>("working");    // entries of the working directory
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QStringList>("withData");   // the folders that hold the data
    QTest::addColumn<QString>("folder");         // expected; empty = stay
    QTest::addColumn<QString>("problemNames");   // expected in the problem; empty = no problem

    QTest::newRow("the build tree's data folder stays the working directory")
        << GameData << "/src/build/velmora" << "" << QStringList{"/src/share/games/velmora"} << "" << "";
    QTest::newRow("an empty working directory moves to the installed folder beside the program")
        << QStringList{"notes.txt"} << "/usr/games/velmora" << "" << QStringList{"/usr/share/games/velmora"}
        << "/usr/share/games/velmora" << "";
    QTest::newRow("a moved prefix finds the data it carries")
        << QStringList{} << "/home/ayu/apps/velmora/games/velmora" << ""
        << QStringList{"/home/ayu/apps/velmora/share/games/velmora"} << "/home/ayu/apps/velmora/share/games/velmora" << "";
    QTest::newRow("the variable wins over a working directory with data")
        << GameData << "/usr/games/velmora" << "/srv/velmora-data/" << QStringList{"/srv/velmora-data/", "/usr/share/games/velmora"}
        << "/srv/velmora-data" << "";
    // Falling back to the installed data would hide the player's typing mistake.
    QTest::newRow("a variable naming a folder without data is an error, not a fallback")
        << GameData << "/usr/games/velmora" << "/srv/typo" << QStringList{"/usr/share/games/velmora"} << ""
        << "VELMORA_DATA_DIR names /srv/typo";
    QTest::newRow("no data anywhere names the folder it looked in")
        << QStringList{"VelmoraQ.qiz.bak"} << "/opt/v/games/velmora" << "" << QStringList{} << ""
        << "/opt/v/share/games/velmora";
    QTest::newRow("an unknown program path still gives a clear problem")
        << QStringList{} << "" << "" << QStringList{"/usr/share/games/velmora"} << "" << "VELMORA_DATA_DIR";
}

void TestDataFolder::ChoosesTheFolderThatHoldsTheData()
{
    QFETCH(QStringList, working);
    QFETCH(QString, executable);
    QFETCH(QString, variable);
    QFETCH(QStringList, withData);
    QFETCH(QString, folder);
    QFETCH(QString, problemNames);

    const auto list = [&](const QString& path) { return withData.contains(path) ? GameData : QStringList{}; };
    const DataFolderChoice choice = ChooseDataFolder(working, executable, variable, Relative, list);

    QCOMPARE(choice.folder, folder);
    if (problemNames.isEmpty()) {
        QVERIFY2(choice.problem.isEmpty(), qPrintable(choice.problem));
    } else {
        QVERIFY2(choice.problem.contains(problemNames), qPrintable(choice.problem));
        QVERIFY(!choice.problem.contains(QLatin1Char('\n')));
    }
}

void TestDataFolder::LooksForTheSoundModuleBesideItselfThenInItsInstalledFolder_data()
{
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QStringList>("places");

    QTest::newRow("installed under /usr")
        << "/usr/games/velmora"
        << QStringList{"/usr/games/libvelmora-sound.so", "/usr/lib/games/velmora/libvelmora-sound.so"};
    QTest::newRow("a moved prefix")
        << "/home/ayu/apps/velmora/games/velmora"
        << QStringList{"/home/ayu/apps/velmora/games/libvelmora-sound.so",
                       "/home/ayu/apps/velmora/lib/games/velmora/libvelmora-sound.so"};
    QTest::newRow("an unknown program path gives no places") << "" << QStringList{};
}

void TestDataFolder::LooksForTheSoundModuleBesideItselfThenInItsInstalledFolder()
{
    QFETCH(QString, executable);
    QFETCH(QStringList, places);
    QCOMPARE(SoundModulePlaces(executable, QStringLiteral("../lib/games/velmora")), places);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_data_folder.moc"
