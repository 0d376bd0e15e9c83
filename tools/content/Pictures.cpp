// The pictures built from the scenes and the cast: heroines in the tea house, speaker icons, and
// the program's own title, icons and staff-roll picture.
#include "tools/content/Paint.h"

#include <QFont>

#include <cmath>
#include <numbers>
#include <utility>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;

QPainterPath MapleLeaf(QPointF c, double r, double turn)
{
    // Five pointed lobes (the lower pair short), deep notches between them, a short stem.
    const double tips[][2] = {{-90, 1.0}, {-30, 0.92}, {35, 0.6}, {145, 0.6}, {210, 0.92}};
    QPainterPath leaf;
    auto at = [&](double deg, double rr) {
        const double a = turn + deg * Pi / 180;
        return c + QPointF(std::cos(a) * rr * r, std::sin(a) * rr * r);
    };
    leaf.moveTo(at(90, 0.15));
    for (int i = 0; i < 5; ++i) {
        const double a = tips[(i + 2) % 5][0], len = tips[(i + 2) % 5][1];
        leaf.lineTo(at(a - 24, 0.3));
        leaf.lineTo(at(a - 10, len * 0.7));
        leaf.lineTo(at(a - 14, len * 0.62));
        leaf.lineTo(at(a, len));
        leaf.lineTo(at(a + 14, len * 0.62));
        leaf.lineTo(at(a + 10, len * 0.7));
        leaf.lineTo(at(a + 24, 0.3));
    }
    leaf.closeSubpath();
    QPainterPath stem;
    stem.moveTo(at(90, 0.1));
    stem.lineTo(at(90, 0.55));
    stem.lineTo(at(95, 0.55));
    stem.lineTo(at(100, 0.1));
    return leaf.united(stem);
}

const QColor IconGround[] = {QColor(0, 0, 0), QColor(250, 214, 226), QColor(255, 226, 170), QColor(250, 206, 214),
    QColor(200, 220, 246), QColor(200, 236, 206), QColor(226, 206, 240), QColor(255, 200, 190), QColor(214, 220, 200), QColor(246, 220, 230)};

} // namespace

void DrawHeroine(QPainter& p, int heroine)
{
    // She sits at the table in front of the right-hand part of the tea house, so the picture
    // carries that part of the room behind her and the table in front of her.
    p.save();
    p.translate(-140, 0);
    DrawScene(p, "S40-background");
    p.restore();
    Look look = CastLook(heroine);
    p.save();
    p.translate(6, -14);
    p.scale(0.94, 0.94);
    SoftShadow(p, QPointF(80, 190), 70, 10, 0.25);
    DrawBust(p, look);
    p.restore();
    p.save();
    p.translate(-140, 0);
    DrawTeaHouseForeground(p);
    p.restore();
}

void DrawSpeakerIcon(QPainter& p, int speaker)
{
    QRadialGradient ground(QPointF(12, 10), 30);
    ground.setColorAt(0, Shade(IconGround[speaker], 0.4));
    ground.setColorAt(1, IconGround[speaker]);
    p.fillRect(QRectF(0, 0, 32, 32), ground);
    p.save();
    p.scale(0.29, 0.29);
    p.translate(-25, -20);
    Look look = CastLook(speaker);
    look.pose = Pose::Rest; // a raised hand would only poke into the frame's edge
    DrawBust(p, look);
    p.restore();
}

void DrawTitle(QPainter& p)
{
    Dice dice(81);
    // Dusk over the river: rose sky, layered hills, a pagoda, the long bridge.
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(70, 70, 140));
    sky.setColorAt(0.55, QColor(226, 140, 150));
    sky.setColorAt(1, QColor(255, 210, 160));
    p.fillRect(QRectF(0, 0, 400, 300), sky);
    QRadialGradient sun(QPointF(290, 170), 90);
    sun.setColorAt(0, QColor(255, 246, 210, 255));
    sun.setColorAt(0.15, QColor(255, 230, 180, 220));
    sun.setColorAt(1, QColor(255, 200, 160, 0));
    Ellipse(p, QPointF(290, 170), 90, 90, sun);
    for (int i = 0; i < 40; ++i) Ellipse(p, QPointF(dice.Range(0, 400), dice.Range(0, 70)), 0.7, 0.7, QColor(255, 255, 255, 160));
    auto hills = [&](double base, double height, const QColor& c, double phase) {
        QPainterPath h;
        h.moveTo(0, base);
        for (int x = 0; x <= 400; x += 8)
            h.lineTo(x, base - height * (0.6 + 0.25 * std::sin(x * 0.017 + phase) + 0.15 * std::sin(x * 0.05 + phase * 3)));
        h.lineTo(400, 300);
        h.lineTo(0, 300);
        Fill(p, h, c);
    };
    hills(190, 70, QColor(150, 110, 150), 0.4);
    hills(200, 50, QColor(116, 84, 126), 2.1);
    // The pagoda on the near hill.
    const QColor pagoda(70, 50, 80);
    for (int i = 0; i < 5; ++i) {
        const double y = 204 - i * 12, w = 24 - i * 3.4, x = 338;
        Poly(p, {QPointF(x - w, y), QPointF(x + w, y), QPointF(x + w * 0.6, y - 4.5), QPointF(x - w * 0.6, y - 4.5)}, pagoda);
        p.fillRect(QRectF(x - w * 0.45, y - 12 + 4.5, w * 0.9, 7.5), Shade(pagoda, 0.1));
    }
    p.fillRect(QRectF(337, 134, 2, 14), pagoda);
    hills(214, 30, QColor(86, 64, 100), 4.0);
    // The river and its long bridge.
    p.fillRect(QRectF(0, 214, 400, 86), Vertical(214, 300, QColor(230, 170, 160), QColor(120, 100, 150)));
    for (int i = 0; i < 30; ++i) p.fillRect(QRectF(dice.Range(0, 400), dice.Range(222, 296), dice.Range(8, 30), 1.2), QColor(255, 236, 210, 120));
    const QColor deck(60, 44, 60);
    p.fillRect(QRectF(0, 222, 400, 6), deck);
    p.fillRect(QRectF(0, 216, 400, 2), deck);
    for (int x = 4; x < 400; x += 14) {
        p.fillRect(QRectF(x, 228, 3, 14), deck);
        p.fillRect(QRectF(x, 216, 1.4, 6), deck);
        p.fillRect(QRectF(x, 244, 3, 10), QColor(60, 44, 60, 70));
    }
    // Maple branches framing the top corners, and leaves drifting down.
    for (int corner = 0; corner < 2; ++corner) {
        const double sx = corner ? 400 : 0, dir = corner ? -1 : 1;
        QPainterPath b;
        b.moveTo(sx, 20);
        b.quadTo(sx + dir * 60, 30, sx + dir * 110, 16);
        Stroke(p, b, QColor(60, 40, 40), 3);
        for (int i = 0; i < 9; ++i) {
            const QPointF c(sx + dir * (14 + i * 11), 24 + (i % 3) * 7 - i * 0.8);
            const QColor leaf = Mix(QColor(220, 60, 50), QColor(250, 160, 60), dice.Next());
            Fill(p, MapleLeaf(c, 8 + dice.Range(0, 3), dice.Range(-0.5, 0.5)), leaf);
        }
    }
    for (int i = 0; i < 10; ++i) {
        const QColor leaf = Mix(QColor(230, 80, 60), QColor(250, 180, 80), dice.Next());
        Fill(p, MapleLeaf(QPointF(dice.Range(20, 380), dice.Range(110, 290)), dice.Range(3, 5), dice.Range(0, 6)), leaf);
    }
    // The title: a light serif word with a warm glow behind it.
    QFont font("DejaVu Serif", 10);
    font.setPixelSize(62);
    font.setItalic(true);
    font.setBold(true);
    QPainterPath title;
    title.addText(0, 0, font, "Velmora");
    const QRectF box = title.boundingRect();
    title.translate(200 - box.center().x(), 98 - box.center().y());
    for (int r = 6; r >= 1; --r) {
        p.setPen(QPen(QColor(255, 220, 200, 18), r * 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(title);
    }
    p.save();
    p.translate(2.5, 3);
    Fill(p, title, QColor(50, 30, 70, 120));
    p.restore();
    QLinearGradient gold(0, 70, 0, 124);
    gold.setColorAt(0, QColor(255, 255, 250));
    gold.setColorAt(0.55, QColor(255, 236, 200));
    gold.setColorAt(1, QColor(246, 184, 150));
    p.setPen(QPen(QColor(120, 60, 90), 1.6));
    p.setBrush(gold);
    p.drawPath(title);
    // A thin rule with a leaf under the title.
    p.fillRect(QRectF(120, 136, 160, 1.2), QColor(255, 240, 230, 200));
    Fill(p, MapleLeaf(QPointF(200, 136.5), 6, 0), QColor(230, 80, 60));
}

void DrawTitleIcon(QPainter& p)
{
    QPainterPath r;
    r.addRoundedRect(QRectF(1, 1, 30, 30), 7, 7);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, QColor(90, 80, 160));
    g.setColorAt(1, QColor(226, 140, 150));
    Fill(p, r, g);
    const QPointF centre(16, 16.5);
    constexpr double Radius = 12;
    // The stem leaves the leaf at its base; the veins run from the base towards each lobe's tip
    // and stop short of it.
    QPainterPath stem;
    stem.moveTo(16, 19);
    stem.quadTo(16.2, 24, 17.4, 28);
    Stroke(p, stem, QColor(170, 60, 40), 1.3);
    Fill(p, MapleLeaf(centre, Radius, 0), QColor(240, 90, 60));
    QPainterPath veins;
    const QPointF base = centre + QPointF(0, 2);
    for (const auto& [degrees, length] : {std::pair{-90.0, 1.0}, {-30.0, 0.92}, {210.0, 0.92}, {35.0, 0.6}, {145.0, 0.6}}) {
        const double a = degrees * Pi / 180;
        veins.moveTo(base);
        veins.lineTo(centre + QPointF(std::cos(a), std::sin(a)) * (Radius * length * 0.72));
    }
    Stroke(p, veins, QColor(255, 200, 150), 0.8);
}

void DrawGameIcon(QPainter& p)
{
    // The tea house's matcha parfait in its tall glass.
    Ellipse(p, QPointF(16, 16), 15, 15, QColor(250, 236, 220));
    QPainterPath glass;
    glass.moveTo(8, 9); glass.lineTo(24, 9); glass.lineTo(20, 24); glass.lineTo(12, 24); glass.closeSubpath();
    Fill(p, glass, QColor(220, 236, 240, 200));
    Poly(p, {QPointF(10.6, 18), QPointF(21.4, 18), QPointF(20, 24), QPointF(12, 24)}, QColor(110, 150, 60));
    Poly(p, {QPointF(9.7, 14), QPointF(22.3, 14), QPointF(21.4, 18), QPointF(10.6, 18)}, QColor(250, 246, 236));
    Poly(p, {QPointF(9, 11), QPointF(23, 11), QPointF(22.3, 14), QPointF(9.7, 14)}, QColor(130, 90, 60));
    Ellipse(p, QPointF(16, 8), 6, 4, QColor(150, 190, 90));
    Ellipse(p, QPointF(14.5, 7), 2, 1.3, QColor(200, 230, 150));
    Ellipse(p, QPointF(19, 4.5), 2, 2, QColor(220, 50, 60));
    p.fillRect(QRectF(13, 24, 6, 2), QColor(200, 216, 220));
    p.fillRect(QRectF(10, 26, 12, 2), QColor(200, 216, 220));
}

void DrawStaffRoll(QPainter& p)
{
    // A hanging scroll: brocade mount, a painting of the bridge in ink and a red seal.
    p.fillRect(QRectF(0, 0, 90, 200), Vertical(0, 200, QColor(120, 70, 60), QColor(90, 50, 46)));
    for (int i = 0; i < 12; ++i)
        for (int k = 0; k < 5; ++k) Ellipse(p, QPointF(9 + k * 18, 8 + i * 17 + (k % 2) * 8), 1.5, 1.5, QColor(220, 180, 110, 120));
    p.fillRect(QRectF(8, 18, 74, 164), QColor(236, 222, 186));
    p.fillRect(QRectF(12, 26, 66, 148), Vertical(26, 174, QColor(252, 248, 236), QColor(240, 232, 212)));
    p.save();
    p.setClipRect(QRectF(12, 26, 66, 148));
    auto ink = [](int a) { return QColor(60, 60, 70, a); };
    QPainterPath far;
    far.moveTo(12, 110); far.quadTo(30, 70, 46, 96); far.quadTo(60, 60, 78, 92); far.lineTo(78, 120); far.lineTo(12, 120);
    Fill(p, far, ink(50));
    QPainterPath near;
    near.moveTo(12, 126); near.quadTo(28, 100, 44, 124); near.quadTo(60, 110, 78, 126); near.lineTo(78, 140); near.lineTo(12, 140);
    Fill(p, near, ink(100));
    p.fillRect(QRectF(12, 136, 66, 2.2), ink(170));
    for (int x = 14; x < 78; x += 6) p.fillRect(QRectF(x, 138, 1.2, 6), ink(150));
    for (int i = 0; i < 5; ++i) p.fillRect(QRectF(18 + i * 12, 150 + (i % 2) * 6, 10, 0.8), ink(70));
    Ellipse(p, QPointF(60, 48), 8, 8, QColor(230, 120, 90, 170));
    for (int i = 0; i < 4; ++i) Fill(p, MapleLeaf(QPointF(22 + i * 7, 36 + (i % 2) * 6), 4, i), QColor(214, 70, 50, 200));
    p.restore();
    p.fillRect(QRectF(64, 158, 8, 8), QColor(200, 40, 40));
    p.fillRect(QRectF(66, 160, 4, 4), QColor(250, 220, 210));
    p.fillRect(QRectF(0, 0, 90, 6), QColor(70, 46, 36));
    p.fillRect(QRectF(0, 194, 90, 6), QColor(70, 46, 36));
}

} // namespace velmora::art
