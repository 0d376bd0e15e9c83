// The logo demo's two little figures: the schoolgirl with her wand and the round creature.
// Drawn in their own small design boxes and scaled to the box the sprite asks for.
#include "tools/content/People.h"

#include <cmath>
#include <numbers>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;

// The demo's wand, carried by both the creature and the schoolgirl: a thin rod from the hand
// with a five-pointed star at its tip.
void Wand(QPainter& p, QPointF hand, QPointF tip, const QColor& rod, double innerRadius, double outerRadius)
{
    p.setPen(QPen(rod, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(hand, tip);
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? innerRadius : outerRadius, a = i * Pi / 5 - Pi / 2;
        const QPointF pt = tip + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0) star.moveTo(pt); else star.lineTo(pt);
    }
    star.closeSubpath();
    Fill(p, star, QColor(255, 226, 80));
}

} // namespace

void DrawTinyGirl(QPainter& p, QRectF box, bool wandRaised)
{
    // Full length, about five heads tall; drawn in a 42 × 89 design box and scaled to `box`.
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / (wandRaised ? 58.0 : 42.0), box.height() / (wandRaised ? 88.0 : 89.0));
    const double x = wandRaised ? 24 : 21; // body centre
    const QColor skin(255, 226, 208), hair(40, 36, 56);
    // Long hair behind.
    Poly(p, {QPointF(x - 9, 8), QPointF(x + 9, 8), QPointF(x + 11, 34), QPointF(x - 11, 34)}, hair);
    // Legs, socks, shoes.
    Poly(p, {QPointF(x - 6, 56), QPointF(x - 2, 56), QPointF(x - 2, 80), QPointF(x - 6, 80)}, skin);
    Poly(p, {QPointF(x + 2, 56), QPointF(x + 6, 56), QPointF(x + 6, 80), QPointF(x + 2, 80)}, Shade(skin, -0.06));
    Poly(p, {QPointF(x - 6, 72), QPointF(x - 2, 72), QPointF(x - 2, 84), QPointF(x - 6, 84)}, QColor(245, 245, 250));
    Poly(p, {QPointF(x + 2, 72), QPointF(x + 6, 72), QPointF(x + 6, 84), QPointF(x + 2, 84)}, QColor(230, 230, 240));
    Ellipse(p, QPointF(x - 5, 86), 4, 2.4, QColor(90, 50, 40));
    Ellipse(p, QPointF(x + 5, 86), 4, 2.4, QColor(90, 50, 40));
    // Pleated navy skirt.
    Poly(p, {QPointF(x - 8, 42), QPointF(x + 8, 42), QPointF(x + 12, 60), QPointF(x - 12, 60)}, Navy);
    for (int i = -2; i <= 2; ++i) {
        QPainterPath pleat;
        pleat.moveTo(x + i * 3, 44);
        pleat.lineTo(x + i * 4.6, 60);
        Stroke(p, pleat, Shade(Navy, -0.3), 0.6);
    }
    // Blouse, collar and scarf.
    Poly(p, {QPointF(x - 8, 22), QPointF(x + 8, 22), QPointF(x + 9, 44), QPointF(x - 9, 44)}, Blouse);
    Poly(p, {QPointF(x - 9, 22), QPointF(x + 9, 22), QPointF(x + 5, 28), QPointF(x, 33), QPointF(x - 5, 28)}, Navy);
    Poly(p, {QPointF(x - 3, 31), QPointF(x + 3, 31), QPointF(x, 36)}, Scarf);
    // Arms: one holding the wand out or up.
    const QPointF shoulder(x + 8, 24);
    const QPointF hand = wandRaised ? QPointF(x + 20, 8) : QPointF(x + 13, 40);
    Tube(p, shoulder, hand, 4, Blouse);
    Tube(p, QPointF(x - 8, 24), QPointF(x - 11, 40), 4, Blouse);
    Ellipse(p, hand, 2.2, 2.2, skin);
    Ellipse(p, QPointF(x - 11, 41), 2, 2, skin);
    // The wand: a thin rod with a star.
    const QPointF tip = wandRaised ? hand + QPointF(8, -6) : hand + QPointF(6, -12);
    Wand(p, hand, tip, QColor(250, 200, 220), 1.8, 4.2);
    if (wandRaised)
        for (int i = 0; i < 5; ++i) Ellipse(p, tip + QPointF(std::cos(i * 1.3) * 9, std::sin(i * 1.3) * 7 + 2), 0.9, 0.9, QColor(255, 250, 200));
    // Head, hair, face.
    Ellipse(p, QPointF(x, 13), 8, 9, skin);
    QPainterPath bangs;
    bangs.moveTo(x - 9, 15);
    bangs.cubicTo(x - 10, 1, x + 10, 1, x + 9, 15);
    bangs.lineTo(x + 5, 9);
    bangs.lineTo(x, 11);
    bangs.lineTo(x - 5, 9);
    bangs.closeSubpath();
    Fill(p, bangs, hair);
    Ellipse(p, QPointF(x - 3, 14), 1.2, 1.7, QColor(60, 40, 50));
    Ellipse(p, QPointF(x + 3, 14), 1.2, 1.7, QColor(60, 40, 50));
    Ellipse(p, QPointF(x, 18), 1.2, 0.7, QColor(210, 90, 100));
    Ellipse(p, QPointF(x + 7, 6), 2.5, 2, Scarf);
    p.restore();
}

void DrawCreature(QPainter& p, QRectF box, bool armsRaised)
{
    // A round, fluffy pink-and-white mascot with long ears; designed in a 37 × 37 box.
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / (armsRaised ? 43.0 : 37.0), box.height() / 37.0);
    const double cx = armsRaised ? 21.5 : 17;
    const QColor fur(255, 240, 246), ear(255, 170, 200);
    for (double side : {-1.0, 1.0}) {
        QPainterPath e;
        e.moveTo(cx + side * 4, 12);
        e.cubicTo(cx + side * 4, 0, cx + side * 12, -1, cx + side * 11, 12);
        e.closeSubpath();
        Fill(p, e, fur);
        Ellipse(p, QPointF(cx + side * 8, 7), 1.8, 4, ear);
    }
    QRadialGradient body(QPointF(cx - 4, 16), 18);
    body.setColorAt(0, QColor(255, 255, 255));
    body.setColorAt(1, QColor(240, 210, 226));
    Ellipse(p, QPointF(cx, 22), 12, 12, body);
    Ellipse(p, QPointF(cx - 6, 34), 4, 2.2, ear);
    Ellipse(p, QPointF(cx + 6, 34), 4, 2.2, ear);
    Ellipse(p, QPointF(cx - 4, 20), 1.6, 2.1, QColor(60, 40, 60));
    Ellipse(p, QPointF(cx + 4, 20), 1.6, 2.1, QColor(60, 40, 60));
    Ellipse(p, QPointF(cx - 4.4, 19.2), 0.6, 0.6, Qt::white);
    Ellipse(p, QPointF(cx + 3.6, 19.2), 0.6, 0.6, Qt::white);
    Ellipse(p, QPointF(cx - 7, 24), 2, 1.2, QColor(255, 150, 180, 150));
    Ellipse(p, QPointF(cx + 7, 24), 2, 1.2, QColor(255, 150, 180, 150));
    QPainterPath mouth;
    mouth.moveTo(cx - 1.5, 24);
    mouth.quadTo(cx, 25.5, cx + 1.5, 24);
    Stroke(p, mouth, QColor(120, 60, 80), 0.8);
    // Arms and the wand.
    QPointF left, right;
    if (armsRaised) { left = QPointF(cx - 17, 8); right = QPointF(cx + 17, 8); }
    else { left = QPointF(cx - 14, 26); right = QPointF(cx + 13, 22); }
    Tube(p, QPointF(cx - 9, 22), left, 4, fur);
    Tube(p, QPointF(cx + 9, 22), right, 4, fur);
    const QPointF tip = armsRaised ? right + QPointF(2, -6) : right + QPointF(4, -12);
    Wand(p, right, tip, QColor(250, 200, 120), 1.6, 3.8);
    p.restore();
}

} // namespace velmora::art
