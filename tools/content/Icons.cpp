// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/content/Icons.h"

#include "tools/content/Paint.h"

#include <QDir>
#include <QImageWriter>
#include <QSvgGenerator>

#include <cstdio>

namespace velmora::art {

namespace {

// The window icon is drawn on a 32-unit square.
constexpr double DrawingSize = 32;

bool WritePng(const QString& root, int size)
{
    const QString folder = QStringLiteral("%1/hicolor/%2x%2/apps").arg(root).arg(size);
    QDir().mkpath(folder);
    const QImage image = Render(
        QSize(size, size),
        [size](QPainter& p) {
            p.scale(size / DrawingSize, size / DrawingSize);
            DrawTitleIcon(p);
        },
        3, QImage::Format_ARGB32);
    QImageWriter writer(folder + QStringLiteral("/velmora.png"), "png");
    if (writer.write(image)) return true;
    std::fprintf(stderr, "velmora_paint: cannot write %s: %s\n", qPrintable(writer.fileName()), qPrintable(writer.errorString()));
    return false;
}

bool WriteSvg(const QString& root)
{
    const QString folder = root + QStringLiteral("/hicolor/scalable/apps");
    QDir().mkpath(folder);
    const QString file = folder + QStringLiteral("/velmora.svg");
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRectF(0, 0, DrawingSize, DrawingSize));
    svg.setTitle(QStringLiteral("Velmora"));
    svg.setDescription(QStringLiteral("A maple leaf, the icon of the game Velmora"));
    QPainter p;
    if (!p.begin(&svg)) {
        std::fprintf(stderr, "velmora_paint: cannot write %s\n", qPrintable(file));
        return false;
    }
    p.setRenderHint(QPainter::Antialiasing);
    DrawTitleIcon(p);
    return p.end();
}

} // namespace

bool WriteDesktopIcons(const QString& root)
{
    bool ok = true;
    for (const int size : {16, 32, 48, 64, 128, 256}) ok = WritePng(root, size) && ok;
    return WriteSvg(root) && ok;
}

} // namespace velmora::art
