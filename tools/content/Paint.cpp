#include "tools/content/Paint.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velmora::art {

QColor Mix(const QColor& a, const QColor& b, double t)
{
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(m(a.red(), b.red()), m(a.green(), b.green()), m(a.blue(), b.blue()), m(a.alpha(), b.alpha()));
}

QColor Shade(const QColor& c, double amount)
{
    return amount < 0 ? Mix(c, QColor(30, 20, 40, c.alpha()), -amount) : Mix(c, QColor(255, 250, 240, c.alpha()), amount);
}

QLinearGradient Vertical(double top, double bottom, const QColor& a, const QColor& b)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

void Fill(QPainter& p, const QPainterPath& path, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path);
}

void Ellipse(QPainter& p, QPointF centre, double rx, double ry, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(centre, rx, ry);
}

void Poly(QPainter& p, std::initializer_list<QPointF> points, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPolygon(std::data(points), int(points.size()));
}

void Stroke(QPainter& p, const QPainterPath& path, const QColor& c, double width)
{
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void SoftShadow(QPainter& p, QPointF centre, double rx, double ry, double alpha)
{
    QRadialGradient g(centre, rx);
    g.setColorAt(0, QColor(20, 10, 30, int(255 * alpha)));
    g.setColorAt(1, QColor(20, 10, 30, 0));
    p.save();
    p.translate(centre);
    p.scale(1.0, ry / rx);
    p.translate(-centre);
    Ellipse(p, centre, rx, rx, g);
    p.restore();
}

void Tree(QPainter& p, QPointF base, double size, const QColor& leaf, Dice& dice)
{
    const QColor trunk(110, 78, 58);
    Poly(p, {base + QPointF(-size * 0.07, 0), base + QPointF(size * 0.07, 0), base + QPointF(size * 0.04, -size * 0.6),
             base + QPointF(-size * 0.04, -size * 0.6)}, trunk);
    SoftShadow(p, base, size * 0.45, size * 0.08, 0.2);
    // Clusters of leaves, darker below and to the right, lit from the upper left.
    const QPointF crown = base + QPointF(0, -size * 0.75);
    for (int layer = 0; layer < 3; ++layer) {
        const QColor c = layer == 0 ? Shade(leaf, -0.25) : layer == 1 ? leaf : Shade(leaf, 0.22);
        const int n = layer == 2 ? 4 : 7;
        for (int i = 0; i < n; ++i) {
            const double a = dice.Range(0, 2 * std::numbers::pi);
            const double r = size * (layer == 2 ? 0.18 : 0.3) * dice.Next();
            QPointF c0 = crown + QPointF(std::cos(a) * r, std::sin(a) * r * 0.7);
            if (layer == 2) c0 += QPointF(-size * 0.12, -size * 0.1);
            if (layer == 0) c0 += QPointF(size * 0.05, size * 0.08);
            Ellipse(p, c0, size * (0.22 - 0.04 * layer), size * (0.2 - 0.04 * layer), c);
        }
    }
}

QImage Render(QSize size, const std::function<void(QPainter&)>& draw, int oversample, QImage::Format format, int scale)
{
    QImage big(size * (oversample * scale), QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    {
        QPainter p(&big);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.scale(oversample * scale, oversample * scale);
        draw(p);
    }
    return big.scaled(size * scale, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(format);
}

} // namespace velmora::art
