// Writes every picture of the game: the scene and heroine files into the data directory (PNG
// under the game's ".vlq" names), the program's own pictures into the resource folder, and on
// request a contact sheet of all of them at twice their size. Each picture is written twice: at
// its design size under its own name, and drawn at twice that size for high-density screens
// under the same name with "@2x" before the extension ("S01@2x.vlq", "title@2x.png").
#include "tools/content/Icons.h"
#include "tools/content/Paint.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

using velmora::art::Render;

struct Picture {
    QString file;
    QSize size;
    std::function<void(QPainter&)> draw;
    QImage::Format format = QImage::Format_RGB32;
};

std::vector<Picture> DataPictures()
{
    std::vector<Picture> list;
    for (const char* code : {"S01", "S02", "S03", "S11", "S12", "S21", "S31", "S32", "S40"}) {
        const QString c = QString::fromLatin1(code);
        list.push_back({c + ".vlq", QSize(300, 200), [c](QPainter& p) { velmora::art::DrawScene(p, c); }});
    }
    for (int h = 1; h <= 7; ++h)
        list.push_back({QString("S4%1.vlq").arg(h), QSize(160, 200), [h](QPainter& p) { velmora::art::DrawHeroine(p, h); }});
    return list;
}

void DemoGround(QPainter& p, QSize s) { p.fillRect(QRectF(QPointF(0, 0), QSizeF(s)), Qt::black); }

std::vector<Picture> ResourcePictures()
{
    std::vector<Picture> list;
    for (int s = 1; s <= 9; ++s)
        list.push_back({QString("speaker%1.png").arg(s), QSize(32, 32), [s](QPainter& p) { velmora::art::DrawSpeakerIcon(p, s); }});
    list.push_back({"title.png", QSize(400, 300), velmora::art::DrawTitle});
    list.push_back({"title-icon.png", QSize(32, 32), velmora::art::DrawTitleIcon, QImage::Format_ARGB32});
    list.push_back({"game-icon.png", QSize(32, 32), velmora::art::DrawGameIcon, QImage::Format_ARGB32});
    list.push_back({"staffroll.png", QSize(90, 200), velmora::art::DrawStaffRoll});
    list.push_back({"demo-a.png", QSize(37, 37), [](QPainter& p) { DemoGround(p, {37, 37}); velmora::art::DrawCreature(p, QRectF(0, 0, 37, 37), false); }});
    list.push_back({"demo-b.png", QSize(43, 37), [](QPainter& p) { DemoGround(p, {43, 37}); velmora::art::DrawCreature(p, QRectF(0, 0, 43, 37), true); }});
    list.push_back({"demo-c.png", QSize(42, 89), [](QPainter& p) { DemoGround(p, {42, 89}); velmora::art::DrawTinyGirl(p, QRectF(0, 0, 42, 89), false); }});
    list.push_back({"demo-d.png", QSize(58, 88), [](QPainter& p) { DemoGround(p, {58, 88}); velmora::art::DrawTinyGirl(p, QRectF(0, 0, 58, 88), true); }});
    return list;
}

QString TwiceSizeName(const QString& file)
{
    const qsizetype dot = file.lastIndexOf(QLatin1Char('.'));
    return file.left(dot) + QStringLiteral("@2x") + file.mid(dot);
}

bool Save(const QImage& image, const QString& path)
{
    QImageWriter writer(path, "png");
    if (writer.write(image)) return true;
    std::fprintf(stderr, "velmora_paint: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

QImage ContactSheet(const std::vector<std::pair<QString, QImage>>& images)
{
    constexpr int Width = 1880, Gap = 16, Label = 18;
    // Lay the twice-size drawings out in rows, each with its file name underneath.
    std::vector<QRect> places;
    int x = Gap, y = Gap, rowHeight = 0;
    for (const auto& [name, image] : images) {
        const QSize s = image.size();
        if (x + s.width() > Width - Gap) { x = Gap; y += rowHeight + Label + Gap; rowHeight = 0; }
        places.push_back(QRect(QPoint(x, y), s));
        x += std::max(s.width(), 96) + Gap;
        rowHeight = std::max(rowHeight, s.height());
    }
    QImage sheet(Width, y + rowHeight + Label + Gap, QImage::Format_RGB32);
    sheet.fill(QColor(64, 60, 72));
    QPainter p(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    p.setFont(font);
    for (size_t i = 0; i < images.size(); ++i) {
        p.drawImage(places[i], images[i].second);
        p.setPen(QColor(236, 232, 240));
        p.drawText(QRect(places[i].left(), places[i].bottom() + 2, std::max(places[i].width(), 96), Label), Qt::AlignLeft | Qt::AlignTop, images[i].first);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (args.size() == 3 && mode == "icons") return velmora::art::WriteDesktopIcons(args[2]) ? 0 : 1;
    if (args.size() != 3 || (mode != "data" && mode != "resources" && mode != "sheet")) {
        std::fprintf(stderr, "usage: velmora_paint data DIR | resources DIR | icons DIR | sheet FILE.png\n");
        return 2;
    }
    // The data files and the resource pictures are separate runs so that the build can give each
    // set of outputs to exactly one target.
    std::vector<std::pair<QString, std::vector<Picture>>> sets;
    if (mode != "resources") sets.emplace_back(args[2], DataPictures());
    if (mode != "data") sets.emplace_back(args[2], ResourcePictures());
    // The station's name board is lettered in Japanese; without the face it would come out as
    // empty boxes, so refuse rather than draw a wrong picture.
    if (!QFontDatabase::families().contains(QStringLiteral("IPAGothic"))) {
        std::fprintf(stderr, "velmora_paint: the Japanese font IPAGothic is not installed (Debian: fonts-ipafont-gothic)\n");
        return 1;
    }
    std::vector<std::pair<QString, QImage>> all;
    bool ok = true;
    for (const auto& [dir, list] : sets) {
        if (mode != "sheet") QDir().mkpath(dir);
        for (const Picture& pic : list) {
            const QImage twice = Render(pic.size, pic.draw, 3, pic.format, 2);
            if (mode != "sheet") {
                ok = Save(Render(pic.size, pic.draw, 3, pic.format), dir + "/" + pic.file) && ok;
                ok = Save(twice, dir + "/" + TwiceSizeName(pic.file)) && ok;
            }
            all.emplace_back(pic.file, twice);
        }
    }
    if (mode == "sheet") ok = Save(ContactSheet(all), args[2]);
    return ok ? 0 : 1;
}
