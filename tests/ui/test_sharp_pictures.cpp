// On a screen scaled to 200 % the game window keeps its design size in logical pixels, and its
// pictures must be as sharp as its text: what reaches the screen is the twice-size drawing, pixel
// for pixel, not the design-size picture enlarged. Runs in the data folder on the built pictures.
#include "fakes/TestGame.h"
#include "ui/LineDisplay.h"
#include "ui/TitleWindow.h"

#include <QApplication>
#include <QImageReader>
#include <QTest>

using namespace velmora;
using velmora::testing::TestGame;

namespace {

QImage ReadByContent(const QString& fileName)
{
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The share of pixels whose colour differs by more than a rounding step in some channel.
double DifferingShare(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return 1.0;
    }
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 12 || qAbs(qGreen(p) - qGreen(q)) > 12 || qAbs(qBlue(p) - qBlue(q)) > 12) {
                ++differing;
            }
        }
    }
    return double(differing) / double(a.width() * a.height());
}

} // namespace

class SharpPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void windowKeepsItsDesignSizeOnADoubledScreen()
    {
        TestGame t;
        t.game.mainForm.Show();
        GameWindow& window = *t.game.mainForm.Get();
        QCOMPARE(window.devicePixelRatioF(), 2.0);
        QCOMPARE(window.size(), QSize(361, 342));
    }

    void pictureOnScreenIsTheTwiceSizeDrawing_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("designed");
        QTest::addColumn<QString>("twice");
        QTest::newRow("scene picture") << "Image1" << "S01.vlq" << "S01@2x.vlq";
        QTest::newRow("speaker icon") << "Image2" << ":/pictures/speaker4.png" << ":/pictures/speaker4@2x.png";
    }
    void pictureOnScreenIsTheTwiceSizeDrawing()
    {
        QFETCH(QString, control);
        QFETCH(QString, designed);
        QFETCH(QString, twice);
        TestGame t;
        InitNewGame(t.game.state);
        // The quiz's music makes the line return at once instead of waiting for a click.
        t.game.state.MidiName = kQuizMusic;
        t.game.mainForm.Show();
        GameWindow& window = *t.game.mainForm.Get();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SayLine(t.game, 4, QStringLiteral("……"), QStringLiteral("S01"), QStringLiteral("ホテルのロビー"));

        const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), window.size() * 2);
        const QWidget* frame = control == QLatin1String("Image1") ? window.Image1 : window.Image2;
        const QRect inside = frame->contentsRect().translated(frame->pos());
        const QImage sharp = ReadByContent(twice);
        const QImage shown = shot.copy(QRect(inside.topLeft() * 2, sharp.size()));
        const QImage enlarged = ReadByContent(designed).scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QVERIFY2(!sharp.isNull() && sharp.size() == ReadByContent(designed).size() * 2, qPrintable(twice));

        const double fromSharp = DifferingShare(shown, sharp);
        const double fromEnlarged = DifferingShare(shown, enlarged);
        QVERIFY2(fromSharp < 0.002, qPrintable(QStringLiteral("%1 % of the picture differs from the twice-size drawing")
                                                 .arg(fromSharp * 100)));
        // The comparison can tell the two apart: the enlarged design-size picture is visibly softer.
        QVERIFY2(fromEnlarged > 0.03, qPrintable(QStringLiteral("only %1 % differs from the enlarged picture")
                                                     .arg(fromEnlarged * 100)));
    }

    // The title screen draws its picture itself rather than through a picture frame.
    void titlePictureOnADoubledScreenIsTheTwiceSizeDrawing()
    {
        TestGame t;
        t.game.openForm.Show();
        TitleWindow& window = *t.game.openForm.Get();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), window.size() * 2);
        const QImage sharp = ReadByContent(QStringLiteral(":/pictures/title@2x.png"));
        const QRect shown(QPoint(0, 0), shot.size());
        const double fromSharp = DifferingShare(shot, sharp.copy(shown));
        const double fromEnlarged = DifferingShare(
            shot, ReadByContent(QStringLiteral(":/pictures/title.png"))
                      .scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .copy(shown));
        QVERIFY2(fromSharp < 0.002, qPrintable(QString::number(fromSharp * 100)));
        QVERIFY2(fromEnlarged > 0.03, qPrintable(QString::number(fromEnlarged * 100)));
    }
};

int main(int argc, char** argv)
{
    // A desktop scaled to 200 %, before the application reads the screens.
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication application(argc, argv);
    SharpPicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_sharp_pictures.moc"
