#include "ui/Pictures.h"

#include <QFile>
#include <QTest>

using namespace velmora;

namespace {

// The image-format plugins this process has loaded, as the dynamic loader lists them.
QStringList LoadedImagePlugins()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) {
        return {QStringLiteral("(cannot read /proc/self/maps)")};
    }
    QStringList plugins;
    for (const QByteArray& line : maps.readAll().split('\n')) {
        if (line.contains("/imageformats/")) {
            plugins.append(QString::fromUtf8(line.mid(line.lastIndexOf(' ') + 1)));
        }
    }
    plugins.removeDuplicates();
    return plugins;
}

} // namespace

// In a process of its own: whatever read an image before would have loaded the plugins already.
class ProgramPicturesTest : public QObject {
    Q_OBJECT

private slots:
    // A reader left to find a picture's format loads every image plugin installed, and the
    // libraries they need, before it reads a byte: milliseconds the logo window waited for
    // before it appeared. The program's pictures, at either size, and its icons need none.
    void theProgramsOwnPicturesLoadNoImagePlugin()
    {
        for (const qreal ratio : {1.0, 2.0}) {
            for (const char* name : {"demo-a.png", "title.png", "speaker1.png"}) {
                QVERIFY2(!ProgramPicture(QString::fromLatin1(name), ratio).isNull(), name);
            }
        }
        QVERIFY(!ProgramIcon(QStringLiteral("title-icon.png")).isNull());
        QCOMPARE(LoadedImagePlugins(), QStringList());
    }
};

QTEST_MAIN(ProgramPicturesTest)
#include "test_program_pictures.moc"
