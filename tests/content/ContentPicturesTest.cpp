#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <vector>

namespace {

QImage ReadByContent(const QString& path, QByteArray* format = nullptr)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (format) *format = reader.format();
    return reader.read();
}

int DistinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return int(colours.size());
}

QByteArray DigestOfFolder(const QString& dir)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QStringList names = QDir(dir).entryList(QDir::Files, QDir::Name);
    for (const QString& name : names) {
        QFile f(dir + "/" + name);
        if (!f.open(QIODevice::ReadOnly)) return {};
        hash.addData(name.toUtf8());
        hash.addData(f.readAll());
    }
    return names.isEmpty() ? QByteArray() : hash.result().toHex();
}

struct ResourcePicture {
    QString name;
    QSize size;
    int minimumColours;
};

std::vector<ResourcePicture> ResourcePictures()
{
    std::vector<ResourcePicture> list;
    for (int s = 1; s <= 9; ++s) list.push_back({QString("speaker%1.png").arg(s), QSize(32, 32), 80});
    list.push_back({"title.png", QSize(400, 300), 1000});
    list.push_back({"title-icon.png", QSize(32, 32), 40});
    list.push_back({"game-icon.png", QSize(32, 32), 40});
    list.push_back({"staffroll.png", QSize(90, 200), 200});
    list.push_back({"demo-a.png", QSize(37, 37), 40});
    list.push_back({"demo-b.png", QSize(43, 37), 40});
    list.push_back({"demo-c.png", QSize(42, 89), 40});
    list.push_back({"demo-d.png", QSize(58, 88), 40});
    return list;
}

QString TwiceSizeName(const QString& file)
{
    const qsizetype dot = file.lastIndexOf('.');
    return file.left(dot) + "@2x" + file.mid(dot);
}

// The mean difference per channel, opacity included, between two premultiplied pictures of one size.
double MeanDifference(const QImage& a, const QImage& b)
{
    qint64 sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) + qAbs(qAlpha(p) - qAlpha(q));
        }
    return double(sum) / (4.0 * a.width() * a.height());
}

} // namespace

class ContentPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void dataPictureLoadsByContentAtItsDesignSize_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        for (const char* scene : {"S01", "S02", "S03", "S11", "S12", "S21", "S31", "S32", "S40"}) {
            QTest::newRow(scene) << QString("%1.vlq").arg(scene) << QSize(300, 200);
            QTest::newRow(qPrintable(QString("%1 at twice the size").arg(scene))) << QString("%1@2x.vlq").arg(scene) << QSize(600, 400);
        }
        for (int h = 1; h <= 7; ++h) {
            QTest::newRow(qPrintable(QString("heroine %1").arg(h))) << QString("S4%1.vlq").arg(h) << QSize(160, 200);
            QTest::newRow(qPrintable(QString("heroine %1 at twice the size").arg(h))) << QString("S4%1@2x.vlq").arg(h) << QSize(320, 400);
        }
    }
    void dataPictureLoadsByContentAtItsDesignSize()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QByteArray format;
        const QImage image = ReadByContent(file, &format);
        QVERIFY2(!image.isNull(), qPrintable(file + " is missing or not a picture"));
        QCOMPARE(format, QByteArray("png"));
        QCOMPARE(image.size(), size);
        // A scene is a drawing, not a flat placeholder: it needs a real spread of colours.
        QVERIFY2(DistinctColours(image) > 400, qPrintable(QString("%1 has only %2 colours").arg(file).arg(DistinctColours(image))));
    }

    void resourcePictureIsCompiledInAtItsDesignSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("minimumColours");
        for (const ResourcePicture& picture : ResourcePictures()) {
            QTest::newRow(qPrintable(picture.name)) << picture.name << picture.size << picture.minimumColours;
            // Drawn at twice the size as well, for high-density screens.
            QTest::newRow(qPrintable(picture.name + " at twice the size"))
                << TwiceSizeName(picture.name) << picture.size * 2 << picture.minimumColours;
        }
    }
    // Linking the game library is all it takes: no registration call comes before these reads.
    void resourcePictureIsCompiledInAtItsDesignSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(int, minimumColours);
        const QImage image(":/pictures/" + name);
        QVERIFY2(!image.isNull(), qPrintable(":/pictures/" + name + " is not in the program's resources"));
        QCOMPARE(image.size(), size);
        QVERIFY(DistinctColours(image) >= minimumColours);
    }

    void twiceSizeDrawingIsTheSamePicture_data()
    {
        QTest::addColumn<QString>("designed");
        for (const char* scene : {"S01", "S02", "S03", "S11", "S12", "S21", "S31", "S32", "S40", "S41", "S47"})
            QTest::newRow(scene) << QString("%1.vlq").arg(scene);
        for (const ResourcePicture& picture : ResourcePictures())
            QTest::newRow(qPrintable(picture.name)) << ":/pictures/" + picture.name;
    }
    // Shrunk back to the design size, the sharp drawing must match the designed picture: a drawing
    // shifted, cropped or of another picture would show on high-density screens only.
    void twiceSizeDrawingIsTheSamePicture()
    {
        QFETCH(QString, designed);
        const QImage small = ReadByContent(designed).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage twice = ReadByContent(TwiceSizeName(designed)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QVERIFY(!small.isNull() && !twice.isNull());
        const QImage shrunk = twice.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const double difference = MeanDifference(small, shrunk);
        QVERIFY2(difference < 4.0, qPrintable(QString("mean difference %1").arg(difference)));
    }

    // The board at the station carries the station's name, not an empty panel.
    void stationNameBoardIsLettered()
    {
        const QImage station = ReadByContent("S21@2x.vlq").convertToFormat(QImage::Format_RGB32);
        QVERIFY(!station.isNull());
        int ink = 0;
        for (int y = 2 * 76; y < 2 * 92; ++y)
            for (int x = 2 * 217; x < 2 * 281; ++x)
                if (qGray(station.pixel(x, y)) < 100) ++ink;
        QVERIFY2(ink > 150, qPrintable(QString("%1 dark pixels on the board").arg(ink)));
    }

    void demoSpriteStandsOnTheDemoBlack_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* n : {"demo-a.png", "demo-b.png", "demo-c.png", "demo-d.png"}) QTest::newRow(n) << QString(n);
    }
    void demoSpriteStandsOnTheDemoBlack()
    {
        QFETCH(QString, name);
        const QImage image = QImage(":/pictures/" + name).convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        for (const QPoint corner : {QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1), QPoint(0, image.height() - 1)})
            QCOMPARE(image.pixel(corner), qRgb(0, 0, 0));
    }

    void heroineSitsInFrontOfTheTeaHouseWallSheCovers_data()
    {
        QTest::addColumn<int>("heroine");
        for (int h = 1; h <= 7; ++h) QTest::newRow(qPrintable(QString("heroine %1").arg(h))) << h;
    }
    void heroineSitsInFrontOfTheTeaHouseWallSheCovers()
    {
        // She is shown over S40 from its 140th column on; her picture's edges must continue the
        // room behind her so that the frame does not show as a box.
        QFETCH(int, heroine);
        const QImage scene = ReadByContent("S40.vlq").convertToFormat(QImage::Format_RGB32);
        const QImage girl = ReadByContent(QString("S4%1.vlq").arg(heroine)).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!scene.isNull() && !girl.isNull());
        int mismatches = 0;
        for (int y = 0; y < 200; y += 4)
            for (int x : {0, 1, 2, 157, 158, 159})
                if (qAbs(qGray(scene.pixel(140 + x, y)) - qGray(girl.pixel(x, y))) > 24) ++mismatches;
        QVERIFY2(mismatches <= 6, qPrintable(QString("%1 edge pixels differ from the room").arg(mismatches)));
    }

    void speakerIconShowsTheHeroineOfHerTeaHousePicture_data()
    {
        QTest::addColumn<int>("heroine");
        for (int h = 1; h <= 7; ++h) QTest::newRow(qPrintable(QString("heroine %1").arg(h))) << h;
    }
    void speakerIconShowsTheHeroineOfHerTeaHousePicture()
    {
        // The same spot of her hair, just above the left brow, in both pictures: the icon must
        // be cut from her own drawing, not from someone else's.
        QFETCH(int, heroine);
        const QImage picture = ReadByContent(QString("S4%1.vlq").arg(heroine)).convertToFormat(QImage::Format_RGB32);
        QVERIFY(!picture.isNull());
        auto hairIn = [](const QImage& image, int x, int y) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const QRgb c = image.pixel(x + dx, y + dy);
                    r += qRed(c); g += qGreen(c); b += qBlue(c);
                }
            return QColor(r / 4, g / 4, b / 4);
        };
        const QColor inPicture = hairIn(picture, 66, 37);
        int nearest = 0, best = 1 << 30;
        for (int s = 1; s <= 7; ++s) {
            const QImage icon = QImage(QString(":/pictures/speaker%1.png").arg(s)).convertToFormat(QImage::Format_RGB32);
            QVERIFY(!icon.isNull());
            const QColor c = hairIn(icon, 11, 10);
            const int d = qAbs(c.red() - inPicture.red()) + qAbs(c.green() - inPicture.green()) + qAbs(c.blue() - inPicture.blue());
            if (d < best) { best = d; nearest = s; }
        }
        QCOMPARE(nearest, heroine);
        QVERIFY2(best < 60, qPrintable(QString("hair colours differ by %1").arg(best)));
    }

    void heroinesAreDrawnDifferently()
    {
        QSet<QByteArray> digests;
        for (int h = 1; h <= 7; ++h) {
            const QImage image = ReadByContent(QString("S4%1.vlq").arg(h));
            QVERIFY(!image.isNull());
            digests.insert(QCryptographicHash::hash(QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes())), QCryptographicHash::Sha1));
        }
        QCOMPARE(digests.size(), 7);
    }

    void paintingTwiceGivesIdenticalFiles_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("data pictures") << "data";
        QTest::newRow("resource pictures") << "resources";
    }
    void paintingTwiceGivesIdenticalFiles()
    {
        QFETCH(QString, mode);
        const QString tool = qEnvironmentVariable("VELMORA_PAINT");
        QVERIFY2(!tool.isEmpty(), "VELMORA_PAINT must name the picture generator (CTest sets it)");
        QTemporaryDir first, second;
        for (const QTemporaryDir* dir : {&first, &second})
            QCOMPARE(QProcess::execute(tool, {mode, dir->path()}), 0);
        const QByteArray a = DigestOfFolder(first.path());
        QVERIFY(!a.isEmpty());
        QCOMPARE(a, DigestOfFolder(second.path()));
        if (mode != "data") return;
        // The data directory holds what the generator draws today, not a stale copy.
        for (const QString& name : QDir(first.path()).entryList(QDir::Files)) {
            QFile fresh(first.path() + "/" + name), built(name);
            QVERIFY(fresh.open(QIODevice::ReadOnly));
            QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(name + " is missing from the data directory"));
            QVERIFY2(fresh.readAll() == built.readAll(), qPrintable(name + " in the data directory is out of date"));
        }
    }
};

QTEST_MAIN(ContentPicturesTest)
#include "ContentPicturesTest.moc"
