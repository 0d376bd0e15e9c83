// The nine scene pictures, 300 × 200. Light comes from the upper left everywhere; daylight
// scenes share one sky, interiors share the warm lamp colour.
#include "tools/content/Paint.h"

#include <cmath>
#include <numbers>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;
const QColor SkyTop(118, 176, 232), SkyLow(214, 236, 248);
const QColor Wood(150, 98, 62), WoodDark(104, 66, 44), Plaster(242, 232, 214);
const QColor Leaf(96, 150, 86);

void Sky(QPainter& p, double horizon, Dice& dice)
{
    p.fillRect(QRectF(0, 0, 300, horizon), Vertical(0, horizon, SkyTop, SkyLow));
    for (int i = 0; i < 4; ++i) {
        const QPointF c(dice.Range(10, 290), dice.Range(14, horizon * 0.5));
        for (int k = 0; k < 4; ++k)
            Ellipse(p, c + QPointF(k * 9 - 14, (k % 2) * -4), 12 - k % 2 * 2, 6 + (k % 2) * 2, QColor(255, 255, 255, 190));
    }
}

void Hills(QPainter& p, double base, const QColor& colour, double height, double phase)
{
    QPainterPath h;
    h.moveTo(0, base);
    for (int x = 0; x <= 300; x += 10)
        h.lineTo(x, base - height * (0.6 + 0.25 * std::sin(x * 0.021 + phase) + 0.15 * std::sin(x * 0.057 + phase * 2)));
    h.lineTo(300, base + 1);
    h.lineTo(0, base + 1);
    Fill(p, h, Vertical(base - height, base, Shade(colour, 0.08), Shade(colour, -0.1)));
}

void Person(QPainter& p, QPointF feet, double h, const QColor& clothes, const QColor& hair)
{
    // A passer-by in silhouette colours, small and simple so the heroines stand out.
    Poly(p, {feet + QPointF(-h * 0.1, -h * 0.72), feet + QPointF(h * 0.1, -h * 0.72), feet + QPointF(h * 0.13, -h * 0.3),
             feet + QPointF(-h * 0.13, -h * 0.3)}, clothes);
    Poly(p, {feet + QPointF(-h * 0.08, -h * 0.3), feet + QPointF(-h * 0.01, -h * 0.3), feet + QPointF(-h * 0.03, 0), feet + QPointF(-h * 0.08, 0)}, Shade(clothes, -0.3));
    Poly(p, {feet + QPointF(h * 0.01, -h * 0.3), feet + QPointF(h * 0.08, -h * 0.3), feet + QPointF(h * 0.08, 0), feet + QPointF(h * 0.03, 0)}, Shade(clothes, -0.35));
    Ellipse(p, feet + QPointF(0, -h * 0.84), h * 0.1, h * 0.12, QColor(246, 216, 196));
    Ellipse(p, feet + QPointF(0, -h * 0.89), h * 0.11, h * 0.08, hair);
}

// ---- Hotel lobby ----

void Lobby(QPainter& p)
{
    Dice dice(11);
    // Back wall with warm panels, the reception counter, a big window on the left.
    p.fillRect(QRectF(0, 0, 300, 130), Vertical(0, 130, QColor(236, 214, 184), QColor(218, 190, 158)));
    for (int i = 0; i < 6; ++i) p.fillRect(QRectF(100 + i * 34, 20, 26, 74), QColor(226, 200, 168));
    p.fillRect(QRectF(0, 0, 300, 14), QColor(200, 170, 138));
    // Window with a garden.
    p.fillRect(QRectF(10, 22, 74, 100), QColor(180, 150, 118));
    p.fillRect(QRectF(14, 26, 66, 92), Vertical(26, 118, SkyTop, SkyLow));
    Tree(p, QPointF(30, 118), 46, Leaf, dice);
    Tree(p, QPointF(64, 118), 56, Shade(Leaf, -0.1), dice);
    p.fillRect(QRectF(46, 26, 3, 92), QColor(180, 150, 118));
    p.fillRect(QRectF(14, 70, 66, 3), QColor(180, 150, 118));
    // Light falling from the window across the floor.
    Poly(p, {QPointF(14, 118), QPointF(80, 118), QPointF(150, 200), QPointF(20, 200)}, QColor(255, 248, 220, 60));
    // Floor: polished tiles in perspective.
    p.fillRect(QRectF(0, 122, 300, 78), Vertical(122, 200, QColor(214, 196, 176), QColor(180, 150, 124)));
    for (int i = -6; i <= 12; ++i) {
        QPainterPath l;
        l.moveTo(150 + i * 22, 122);
        l.lineTo(150 + i * 70 - 200, 200);
        Stroke(p, l, QColor(160, 130, 106, 90), 0.8);
    }
    for (double y : {130.0, 142.0, 158.0, 180.0}) p.fillRect(QRectF(0, y, 300, 0.8), QColor(160, 130, 106, 90));
    // Reception counter with a bell and a plant, two lamps above.
    SoftShadow(p, QPointF(210, 124), 80, 6);
    p.fillRect(QRectF(140, 84, 140, 40), Vertical(84, 124, QColor(132, 84, 56), QColor(98, 60, 40)));
    p.fillRect(QRectF(136, 80, 148, 6), QColor(70, 44, 32));
    for (int i = 0; i < 4; ++i) p.fillRect(QRectF(146 + i * 34, 92, 26, 26), QColor(120, 76, 50));
    Ellipse(p, QPointF(250, 78), 5, 3.5, QColor(220, 180, 80));
    for (double x : {170.0, 250.0}) {
        p.fillRect(QRectF(x - 0.5, 0, 1, 30), QColor(90, 70, 50));
        Ellipse(p, QPointF(x, 34), 10, 7, QColor(255, 236, 190));
        QRadialGradient glow(QPointF(x, 36), 40);
        glow.setColorAt(0, QColor(255, 240, 200, 110));
        glow.setColorAt(1, QColor(255, 240, 200, 0));
        Ellipse(p, QPointF(x, 36), 40, 40, glow);
    }
    // A patterned rug in front of the counter, and two round columns.
    QPainterPath rug;
    rug.moveTo(150, 132); rug.lineTo(280, 132); rug.lineTo(300, 160); rug.lineTo(130, 160); rug.closeSubpath();
    Fill(p, rug, QColor(150, 60, 62));
    QPainterPath border;
    border.moveTo(154, 135); border.lineTo(277, 135); border.lineTo(293, 157); border.lineTo(137, 157); border.closeSubpath();
    Stroke(p, border, QColor(230, 190, 110), 1.2);
    for (double x : {96.0, 296.0}) {
        QLinearGradient column(x - 7, 0, x + 7, 0);
        column.setColorAt(0, QColor(250, 240, 226));
        column.setColorAt(1, QColor(200, 180, 156));
        p.fillRect(QRectF(x - 7, 14, 14, 112), column);
        p.fillRect(QRectF(x - 9, 122, 18, 6), QColor(190, 168, 140));
    }
    // A potted plant and a sofa in the foreground.
    Poly(p, {QPointF(104, 126), QPointF(124, 126), QPointF(120, 148), QPointF(108, 148)}, QColor(170, 110, 80));
    for (int i = 0; i < 7; ++i) {
        QPainterPath leaf;
        const double a = -Pi / 2 + (i - 3) * 0.35;
        leaf.moveTo(114, 126);
        leaf.quadTo(114 + std::cos(a) * 20 - 6, 126 + std::sin(a) * 30, 114 + std::cos(a) * 26, 126 + std::sin(a) * 34);
        leaf.quadTo(114 + std::cos(a) * 10 + 6, 126 + std::sin(a) * 20, 114, 126);
        Fill(p, leaf, i % 2 ? Leaf : Shade(Leaf, -0.2));
    }
    SoftShadow(p, QPointF(210, 190), 90, 8);
    QPainterPath sofa;
    sofa.addRoundedRect(QRectF(140, 150, 150, 40), 8, 8);
    Fill(p, sofa, Vertical(150, 190, QColor(128, 58, 64), QColor(96, 40, 48)));
    QPainterPath seat;
    seat.addRoundedRect(QRectF(150, 138, 130, 24), 8, 8);
    Fill(p, seat, Vertical(138, 162, QColor(150, 72, 78), QColor(120, 52, 60)));
}

void LobbyGroup(QPainter& p, bool close)
{
    Lobby(p);
    // The girls of the neighbouring class, waiting together by the sofa.
    struct Spot { int who; double x, y, scale; };
    const Spot far[] = {{5, 8, 104, 0.5}, {2, 54, 100, 0.5}, {3, 100, 104, 0.5}, {1, 146, 100, 0.5}, {6, 192, 104, 0.5}, {4, 238, 100, 0.5}};
    const Spot near[] = {{6, -40, 40, 0.95}, {1, 70, 30, 1.0}, {3, 180, 40, 0.95}};
    if (close) {
        // A closer shot: the lobby blurred into soft colour behind three of them.
        p.fillRect(QRectF(0, 0, 300, 200), QColor(236, 214, 184, 150));
    }
    for (const Spot& s : close ? std::vector<Spot>(std::begin(near), std::end(near)) : std::vector<Spot>(std::begin(far), std::end(far))) {
        p.save();
        p.translate(s.x, s.y);
        p.scale(s.scale, s.scale);
        SoftShadow(p, QPointF(80, 200), 60, 8, 0.2);
        DrawBust(p, CastLook(s.who));
        p.restore();
    }
}

// ---- Covered souvenir street ----

void Arcade(QPainter& p)
{
    Dice dice(21);
    const QPointF vp(150, 96);
    p.fillRect(QRectF(0, 0, 300, 200), QColor(240, 232, 220));
    // Glass roof: arched ribs converging on the far end.
    p.fillRect(QRectF(0, 0, 300, 96), Vertical(0, 96, QColor(200, 226, 240), QColor(240, 244, 246)));
    for (int i = 0; i < 9; ++i) {
        const double t = std::pow(0.72, i);
        QPainterPath arch;
        arch.moveTo(vp.x() - 170 * t, vp.y() - 10 * t);
        arch.quadTo(vp.x(), vp.y() - 190 * t, vp.x() + 170 * t, vp.y() - 10 * t);
        Stroke(p, arch, QColor(120, 120, 130), 3.5 * t + 0.5);
    }
    for (double x : {-200.0, -80.0, 80.0, 200.0}) {
        QPainterPath rib;
        rib.moveTo(vp.x() + x, 0);
        rib.lineTo(vp);
        Stroke(p, rib, QColor(150, 150, 160, 160), 1);
    }
    // Shop fronts along both sides, each with a coloured awning and a noren curtain.
    const QColor signs[] = {QColor(200, 70, 60), QColor(60, 110, 160), QColor(230, 170, 60), QColor(80, 140, 100), QColor(160, 80, 130)};
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 6; ++i) {
            const double t0 = std::pow(0.7, i), t1 = std::pow(0.7, i + 1);
            const double x0 = vp.x() + side * 160 * t0, x1 = vp.x() + side * 160 * t1;
            const double top0 = vp.y() - 70 * t0, top1 = vp.y() - 70 * t1;
            const double bot0 = vp.y() + 110 * t0, bot1 = vp.y() + 110 * t1;
            const QColor c = signs[(i * 2 + (side > 0 ? 1 : 0)) % 5];
            Poly(p, {QPointF(x0, top0), QPointF(x1, top1), QPointF(x1, bot1), QPointF(x0, bot0)}, Shade(QColor(226, 210, 190), side > 0 ? -0.12 : 0));
            Poly(p, {QPointF(x0, top0), QPointF(x1, top1), QPointF(x1, top1 + 22 * t1), QPointF(x0, top0 + 22 * t0)}, c);
            Poly(p, {QPointF(x0, top0 + 30 * t0), QPointF(x1, top1 + 30 * t1), QPointF(x1, top1 + 52 * t1), QPointF(x0, top0 + 52 * t0)}, Shade(c, -0.2));
            // A warmly lit shop window with goods stacked in it, and the post between shops.
            const QColor glow(255, 236, 190);
            Poly(p, {QPointF(x0, top0 + 58 * t0), QPointF(x1, top1 + 58 * t1), QPointF(x1, bot1 - 28 * t1), QPointF(x0, bot0 - 28 * t0)},
                side > 0 ? Shade(glow, -0.08) : glow);
            for (int k = 0; k < 3; ++k) {
                const double u0 = 0.12 + k * 0.28, u1 = u0 + 0.2;
                const double xa = x0 + (x1 - x0) * u0, xb = x0 + (x1 - x0) * u1;
                const double ta = t0 + (t1 - t0) * u0, tb = t0 + (t1 - t0) * u1;
                const QColor item = signs[(i + k + 2) % 5];
                Poly(p, {QPointF(xa, vp.y() + 42 * ta), QPointF(xb, vp.y() + 42 * tb), QPointF(xb, vp.y() + 82 * tb), QPointF(xa, vp.y() + 82 * ta)}, item);
                Poly(p, {QPointF(xa, vp.y() + 42 * ta), QPointF(xb, vp.y() + 42 * tb), QPointF(xb, vp.y() + 48 * tb), QPointF(xa, vp.y() + 48 * ta)}, Shade(item, 0.25));
            }
            Poly(p, {QPointF(x0 - side * 2 * t0, top0), QPointF(x0 + side * 3 * t0, top0), QPointF(x0 + side * 3 * t0, bot0), QPointF(x0 - side * 2 * t0, bot0)}, QColor(110, 84, 66));
            // A paper lantern at the shop's edge.
            Ellipse(p, QPointF(x0 - side * 8 * t0, top0 + 64 * t0), 6 * t0, 8 * t0, QColor(250, 120, 80));
        }
    }
    // Floor in perspective.
    Poly(p, {QPointF(0, 200), QPointF(300, 200), vp + QPointF(20, 10), vp + QPointF(-20, 10)}, Vertical(100, 200, QColor(210, 200, 188), QColor(176, 162, 150)));
    for (int i = 1; i < 8; ++i) {
        const double t = std::pow(0.7, i);
        p.fillRect(QRectF(vp.x() - 160 * t, vp.y() + 110 * t, 320 * t, 0.8), QColor(150, 136, 124, 120));
    }
    // Shoppers.
    const QColor coats[] = {QColor(80, 90, 120), QColor(170, 80, 70), QColor(90, 120, 90), QColor(200, 170, 110)};
    for (int i = 0; i < 7; ++i) {
        const double t = 0.3 + 0.6 * dice.Next();
        Person(p, QPointF(vp.x() + dice.Range(-120, 120) * t, vp.y() + 110 * t), 70 * t, coats[i % 4], QColor(40, 34, 36));
    }
    // Banners hanging from the roof, near and large.
    for (double x : {40.0, 262.0}) {
        Poly(p, {QPointF(x - 10, 0), QPointF(x + 10, 0), QPointF(x + 10, 50), QPointF(x, 44), QPointF(x - 10, 50)}, QColor(180, 40, 50));
        Ellipse(p, QPointF(x, 20), 6, 6, QColor(255, 220, 120));
    }
}

// ---- Inside a souvenir shop ----

void Shop(QPainter& p)
{
    Dice dice(31);
    p.fillRect(QRectF(0, 0, 300, 200), Vertical(0, 200, QColor(246, 232, 206), QColor(224, 198, 164)));
    // Wooden shelves full of colourful goods.
    const QColor goods[] = {QColor(210, 70, 70), QColor(70, 130, 180), QColor(240, 190, 70), QColor(110, 170, 110), QColor(220, 130, 170), QColor(140, 100, 170)};
    for (int row = 0; row < 4; ++row) {
        const double y = 30 + row * 34;
        p.fillRect(QRectF(10, y + 24, 200, 5), Wood);
        p.fillRect(QRectF(10, y + 29, 200, 2), WoodDark);
        double x = 16;
        int k = row;
        while (x < 200) {
            const QColor c = goods[k++ % 6];
            const int kind = int(dice.Next() * 3);
            if (kind == 0) {        // a gift box with a paper band
                p.fillRect(QRectF(x, y + 8, 18, 16), c);
                p.fillRect(QRectF(x + 7, y + 8, 4, 16), QColor(250, 244, 230));
                p.fillRect(QRectF(x, y + 8, 18, 2.5), Shade(c, 0.2));
                x += 22;
            } else if (kind == 1) { // a little doll
                Poly(p, {QPointF(x + 2, y + 24), QPointF(x + 12, y + 24), QPointF(x + 10, y + 12), QPointF(x + 4, y + 12)}, c);
                Ellipse(p, QPointF(x + 7, y + 9), 4.5, 4.5, QColor(250, 228, 210));
                Ellipse(p, QPointF(x + 7, y + 7), 4.8, 3, QColor(30, 28, 36));
                x += 16;
            } else {                // a folding fan
                QPainterPath fan;
                fan.moveTo(x + 11, y + 24);
                fan.arcTo(QRectF(x - 2, y + 4, 26, 40), 30, 120);
                fan.closeSubpath();
                Fill(p, fan, c);
                for (int r = 0; r < 5; ++r) {
                    QPainterPath rib;
                    const double a = (30 + r * 30) * Pi / 180;
                    rib.moveTo(x + 11, y + 24);
                    rib.lineTo(x + 11 + std::cos(a) * 13, y + 24 - std::sin(a) * 20);
                    Stroke(p, rib, Shade(c, -0.25), 0.6);
                }
                x += 26;
            }
        }
    }
    p.fillRect(QRectF(6, 20, 6, 160), WoodDark);
    p.fillRect(QRectF(208, 20, 6, 160), WoodDark);
    // A noren doorway on the right with daylight beyond.
    p.fillRect(QRectF(226, 20, 66, 150), Vertical(20, 170, SkyLow, QColor(250, 246, 236)));
    Person(p, QPointF(250, 168), 60, QColor(90, 110, 150), QColor(50, 40, 40));
    for (int i = 0; i < 3; ++i) {
        Poly(p, {QPointF(226 + i * 22, 20), QPointF(247 + i * 22, 20), QPointF(247 + i * 22, 70), QPointF(226 + i * 22, 70)}, QColor(40, 60, 110));
        Ellipse(p, QPointF(237 + i * 22, 44), 6, 6, QColor(240, 240, 250, 120));
    }
    p.fillRect(QRectF(220, 16, 78, 6), WoodDark);
    // Counter in front with a cash tray and a lucky cat.
    SoftShadow(p, QPointF(110, 196), 110, 6);
    p.fillRect(QRectF(0, 168, 230, 32), Vertical(168, 200, Wood, WoodDark));
    p.fillRect(QRectF(0, 164, 232, 6), Shade(Wood, 0.15));
    Ellipse(p, QPointF(180, 152), 10, 12, QColor(252, 250, 246));
    Ellipse(p, QPointF(180, 140), 9, 8, QColor(252, 250, 246));
    Poly(p, {QPointF(172, 136), QPointF(174, 128), QPointF(178, 134)}, QColor(252, 250, 246));
    Poly(p, {QPointF(188, 136), QPointF(186, 128), QPointF(182, 134)}, QColor(252, 250, 246));
    Ellipse(p, QPointF(189, 130), 3, 4.5, QColor(252, 250, 246));
    Ellipse(p, QPointF(180, 150), 4, 4, QColor(240, 200, 70));
    p.fillRect(QRectF(171, 147, 18, 2), QColor(210, 50, 60));
    Ellipse(p, QPointF(176, 140), 1, 1.2, QColor(40, 30, 30));
    Ellipse(p, QPointF(184, 140), 1, 1.2, QColor(40, 30, 30));
    // Hanging lanterns and their warm light.
    for (double x : {60.0, 150.0}) {
        QRadialGradient glow(QPointF(x, 14), 50);
        glow.setColorAt(0, QColor(255, 230, 170, 110));
        glow.setColorAt(1, QColor(255, 230, 170, 0));
        Ellipse(p, QPointF(x, 14), 50, 50, glow);
        Ellipse(p, QPointF(x, 12), 9, 11, QColor(246, 120, 70));
        p.fillRect(QRectF(x - 6, 1, 12, 2), QColor(50, 40, 40));
    }
}

// ---- Suburban station ----

void Station(QPainter& p)
{
    Dice dice(41);
    Sky(p, 120, dice);
    Hills(p, 120, QColor(110, 150, 110), 50, 0.5);
    Hills(p, 124, QColor(90, 130, 92), 28, 2.0);
    // Grassy embankment beyond the line, with a low hedge.
    p.fillRect(QRectF(0, 122, 300, 30), Vertical(122, 152, QColor(128, 168, 104), QColor(108, 146, 90)));
    for (int x = 0; x < 300; x += 9) Ellipse(p, QPointF(x + 4, 140), 6, 4, x % 18 ? QColor(84, 128, 80) : QColor(96, 140, 88));
    // Overhead wire poles.
    for (double x : {30.0, 150.0, 270.0}) {
        p.fillRect(QRectF(x, 40, 3, 84), QColor(120, 120, 126));
        p.fillRect(QRectF(x - 12, 46, 30, 2.5), QColor(120, 120, 126));
    }
    p.fillRect(QRectF(0, 52, 300, 1), QColor(70, 70, 80));
    // Track bed.
    p.fillRect(QRectF(0, 150, 300, 14), QColor(150, 140, 130));
    for (int x = 0; x < 300; x += 8) p.fillRect(QRectF(x, 152, 5, 11), QColor(120, 96, 80));
    p.fillRect(QRectF(0, 154, 300, 2), QColor(180, 180, 186));
    p.fillRect(QRectF(0, 160, 300, 2), QColor(180, 180, 186));
    // The two-car train: cream body with a green stripe, rounded cab at the front.
    for (int car = 0; car < 2; ++car) {
        const double x0 = 10 + car * 122;
        SoftShadow(p, QPointF(x0 + 58, 152), 60, 4);
        QPainterPath body;
        if (car == 1) {
            body.moveTo(x0, 92);
            body.lineTo(x0 + 106, 92);
            body.quadTo(x0 + 120, 94, x0 + 120, 110);
            body.lineTo(x0 + 120, 148);
            body.lineTo(x0, 148);
            body.closeSubpath();
        } else {
            body.addRect(QRectF(x0, 92, 118, 56));
        }
        Fill(p, body, Vertical(92, 148, QColor(250, 244, 226), QColor(222, 214, 196)));
        p.fillRect(QRectF(x0, 128, car == 1 ? 120 : 118, 8), QColor(44, 130, 96));
        p.fillRect(QRectF(x0, 90, car == 1 ? 108 : 118, 4), QColor(160, 164, 170));
        for (int w = 0; w < 5; ++w) {
            p.fillRect(QRectF(x0 + 6 + w * 20, 100, 14, 16), QColor(90, 120, 150));
            p.fillRect(QRectF(x0 + 6 + w * 20, 100, 14, 5), QColor(150, 180, 206));
        }
        if (car == 1) {
            p.fillRect(QRectF(x0 + 108, 100, 10, 18), QColor(90, 120, 150));
            Ellipse(p, QPointF(x0 + 116, 140), 2.5, 2.5, QColor(255, 240, 160));
        }
        p.fillRect(QRectF(x0 + 46, 98, 14, 48), QColor(200, 194, 178));
        for (double wx : {16.0, 34.0, 84.0, 102.0}) Ellipse(p, QPointF(x0 + wx, 150), 6, 6, QColor(50, 50, 56));
    }
    p.fillRect(QRectF(128, 96, 4, 50), QColor(70, 70, 76));
    // The pantograph on the front car.
    QPainterPath panto;
    panto.moveTo(170, 90); panto.lineTo(182, 74); panto.lineTo(194, 90);
    panto.moveTo(176, 74); panto.lineTo(190, 74);
    Stroke(p, panto, QColor(60, 60, 66), 1.5);
    // Platform in the foreground with a small roof, a bench and a name board.
    p.fillRect(QRectF(0, 162, 300, 38), Vertical(162, 200, QColor(200, 196, 188), QColor(170, 164, 156)));
    p.fillRect(QRectF(0, 162, 300, 4), QColor(240, 210, 80));
    p.fillRect(QRectF(196, 60, 100, 6), QColor(120, 70, 56));
    Poly(p, {QPointF(190, 60), QPointF(300, 60), QPointF(300, 52), QPointF(200, 52)}, QColor(150, 90, 70));
    for (double x : {206.0, 286.0}) p.fillRect(QRectF(x, 66, 4, 100), QColor(110, 70, 56));
    p.fillRect(QRectF(222, 150, 40, 4), WoodDark);
    p.fillRect(QRectF(226, 154, 3, 10), QColor(80, 80, 86));
    p.fillRect(QRectF(255, 154, 3, 10), QColor(80, 80, 86));
    p.fillRect(QRectF(224, 80, 50, 16), QColor(250, 250, 246));
    p.fillRect(QRectF(224, 92, 50, 4), QColor(44, 130, 96));
    p.fillRect(QRectF(234, 84, 30, 3), QColor(70, 70, 80));
    p.fillRect(QRectF(236, 96, 2, 14), QColor(110, 70, 56));
    p.fillRect(QRectF(260, 96, 2, 14), QColor(110, 70, 56));
    // Flowers along the fence.
    for (int i = 0; i < 14; ++i) Ellipse(p, QPointF(8 + i * 14, 170 + (i % 3)), 3, 3, i % 2 ? QColor(250, 170, 190) : QColor(255, 230, 120));
}

// ---- University campus ----

void Campus(QPainter& p)
{
    Dice dice(51);
    Sky(p, 140, dice);
    // The clock tower in the middle, a long two-storey hall on either side.
    const QColor brick(196, 128, 96), stone(232, 220, 200);
    p.fillRect(QRectF(30, 84, 240, 60), Vertical(84, 144, brick, Shade(brick, -0.15)));
    p.fillRect(QRectF(26, 80, 248, 6), stone);
    for (int i = 0; i < 11; ++i) {
        if (i == 5) continue;
        for (int f = 0; f < 2; ++f) {
            p.fillRect(QRectF(38 + i * 21, 92 + f * 24, 11, 16), QColor(100, 120, 140));
            p.fillRect(QRectF(38 + i * 21, 92 + f * 24, 11, 4), QColor(160, 186, 206));
            p.fillRect(QRectF(37 + i * 21, 108 + f * 24, 13, 2), stone);
        }
    }
    p.fillRect(QRectF(126, 36, 48, 108), Vertical(36, 144, Shade(brick, 0.05), Shade(brick, -0.12)));
    p.fillRect(QRectF(172, 36, 2, 108), Shade(brick, -0.3));
    p.fillRect(QRectF(122, 32, 56, 6), stone);
    Poly(p, {QPointF(124, 32), QPointF(176, 32), QPointF(150, 8)}, QColor(70, 100, 96));
    Poly(p, {QPointF(150, 8), QPointF(176, 32), QPointF(156, 32)}, QColor(56, 82, 80));
    // The clock face.
    Ellipse(p, QPointF(150, 56), 14, 14, stone);
    Ellipse(p, QPointF(150, 56), 11.5, 11.5, QColor(252, 250, 244));
    for (int h = 0; h < 12; ++h) {
        const double a = h * Pi / 6;
        p.fillRect(QRectF(150 + std::cos(a) * 9.5 - 0.6, 56 + std::sin(a) * 9.5 - 0.6, 1.2, 1.2), QColor(60, 50, 50));
    }
    p.setPen(QPen(QColor(40, 36, 40), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(150, 56), QPointF(150, 49));
    p.drawLine(QPointF(150, 56), QPointF(155, 58));
    // Entrance arch.
    QPainterPath door;
    door.moveTo(140, 144); door.lineTo(140, 118); door.quadTo(150, 106, 160, 118); door.lineTo(160, 144);
    Fill(p, door, QColor(90, 70, 60));
    // Lawn, path and the big camphor trees.
    p.fillRect(QRectF(0, 144, 300, 56), Vertical(144, 200, QColor(140, 190, 110), QColor(110, 160, 90)));
    Poly(p, {QPointF(136, 144), QPointF(164, 144), QPointF(220, 200), QPointF(80, 200)}, QColor(226, 214, 190));
    Tree(p, QPointF(32, 160), 110, Leaf, dice);
    Tree(p, QPointF(268, 164), 120, Shade(Leaf, -0.05), dice);
    Tree(p, QPointF(96, 150), 60, Shade(Leaf, 0.05), dice);
    Tree(p, QPointF(212, 150), 64, Leaf, dice);
    Person(p, QPointF(180, 180), 36, QColor(70, 80, 110), QColor(40, 36, 36));
    Person(p, QPointF(120, 170), 28, QColor(170, 120, 80), QColor(40, 36, 36));
}

// ---- From the truck's cargo bed ----

void Truck(QPainter& p)
{
    Dice dice(61);
    Sky(p, 110, dice);
    Hills(p, 110, QColor(130, 160, 130), 40, 1.2);
    p.fillRect(QRectF(0, 110, 300, 90), Vertical(110, 200, QColor(190, 186, 178), QColor(150, 146, 140)));
    // The city rolling by: buildings on both sides, blurred into streaks at the edges.
    const QColor walls[] = {QColor(236, 226, 210), QColor(200, 190, 180), QColor(170, 150, 130), QColor(220, 200, 170)};
    for (int side = -1; side <= 1; side += 2) {
        for (int i = 0; i < 7; ++i) {
            const double t = std::pow(0.72, i);
            const double x = 150 + side * (40 + 150 * t);
            const double w = 40 * t + 8, h = 90 * t + 20;
            const QColor c = walls[(i + (side > 0)) % 4];
            p.fillRect(QRectF(side < 0 ? x - w : x, 128 - h, w, h + 20 * t), Shade(c, side > 0 ? -0.1 : 0));
            p.fillRect(QRectF(side < 0 ? x - w : x, 128 - h, w, 4 * t + 2), QColor(90, 80, 90));
            for (int r = 0; r < 3; ++r)
                p.fillRect(QRectF((side < 0 ? x - w : x) + w * 0.2, 128 - h + 12 * t + r * h / 3.5, w * 0.6, h / 8), QColor(120, 150, 180, 200));
        }
    }
    // The road running away behind the truck.
    Poly(p, {QPointF(60, 200), QPointF(240, 200), QPointF(156, 116), QPointF(144, 116)}, Vertical(116, 200, QColor(150, 150, 156), QColor(100, 100, 108)));
    for (int i = 0; i < 5; ++i) {
        const double t0 = std::pow(0.6, i), t1 = t0 * 0.8;
        Poly(p, {QPointF(150 - 3 * t0, 116 + 84 * t0), QPointF(150 + 3 * t0, 116 + 84 * t0), QPointF(150 + 3 * t1, 116 + 84 * t1), QPointF(150 - 3 * t1, 116 + 84 * t1)}, QColor(250, 250, 250));
    }
    // Speed streaks.
    for (int i = 0; i < 18; ++i) {
        const double y = dice.Range(40, 170);
        const double x = dice.Next() < 0.5 ? dice.Range(0, 70) : dice.Range(230, 300);
        p.fillRect(QRectF(x, y, dice.Range(14, 34), 1), QColor(255, 255, 255, 150));
    }
    // The cargo bed: side rails and the tailgate, and two of the girls seen from behind.
    const QColor metal(80, 110, 150);
    Poly(p, {QPointF(0, 130), QPointF(40, 150), QPointF(40, 200), QPointF(0, 200)}, Shade(metal, -0.1));
    Poly(p, {QPointF(300, 130), QPointF(260, 150), QPointF(260, 200), QPointF(300, 200)}, Shade(metal, -0.25));
    p.fillRect(QRectF(30, 160, 240, 40), Vertical(160, 200, metal, Shade(metal, -0.2)));
    for (int i = 0; i < 6; ++i) p.fillRect(QRectF(40 + i * 40, 164, 3, 36), Shade(metal, -0.3));
    p.fillRect(QRectF(26, 156, 248, 6), Shade(metal, 0.3));
    auto girlFromBehind = [&](double x, const QColor& hair, bool longHair) {
        QPainterPath body;
        body.moveTo(x - 32, 200);
        body.cubicTo(x - 31, 176, x - 24, 164, x, 163);
        body.cubicTo(x + 24, 164, x + 31, 176, x + 32, 200);
        body.closeSubpath();
        Fill(p, body, Vertical(163, 200, QColor(246, 246, 250), QColor(214, 214, 224)));
        // The square back of the sailor collar with its stripes.
        Poly(p, {QPointF(x - 21, 164), QPointF(x + 21, 164), QPointF(x + 20, 190), QPointF(x - 20, 190)}, QColor(38, 48, 92));
        p.setPen(QPen(QColor(235, 235, 245), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x - 17, 167, 34, 19));
        Poly(p, {QPointF(x - 5, 150), QPointF(x + 5, 150), QPointF(x + 6, 166), QPointF(x - 6, 166)}, QColor(240, 210, 192));
        Ellipse(p, QPointF(x, 145), 15, 17, hair);
        if (longHair) {
            QPainterPath fall;
            fall.moveTo(x - 15, 145);
            fall.lineTo(x + 15, 145);
            fall.cubicTo(x + 16, 165, x + 14, 180, x + 11, 192);
            fall.lineTo(x - 11, 192);
            fall.cubicTo(x - 14, 180, x - 16, 165, x - 15, 145);
            Fill(p, fall, hair);
        } else {
            QPainterPath tail;
            tail.moveTo(x, 136);
            tail.cubicTo(x + 30, 132, x + 40, 146, x + 46, 162);
            tail.cubicTo(x + 30, 146, x + 20, 144, x, 142);
            Fill(p, tail, hair);
            Ellipse(p, QPointF(x + 2, 136), 5, 4, QColor(70, 170, 120));
        }
        QPainterPath sheen;
        sheen.moveTo(x - 8, 135);
        sheen.quadTo(x, 131, x + 8, 135);
        Stroke(p, sheen, QColor(255, 255, 255, 60), 2);
    };
    girlFromBehind(96, QColor(32, 30, 44), true);
    girlFromBehind(196, QColor(150, 62, 44), false);
}

// ---- Tea house ----

void TeaHouseBackground(QPainter& p)
{
    Dice dice(71);
    // The window onto the river, on the left: hills, the long wooden bridge, the water.
    const QRectF view(12, 18, 128, 132);
    p.save();
    p.setClipRect(view);
    p.fillRect(view, Vertical(18, 150, QColor(150, 196, 232), QColor(230, 240, 240)));
    Hills(p, 96, QColor(96, 140, 96), 56, 0.3);
    Hills(p, 104, QColor(76, 120, 80), 30, 2.2);
    // Wooded slopes: many small crowns, a few already turning red and gold.
    for (int i = 0; i < 220; ++i) {
        const QPointF c(dice.Range(8, 144), dice.Range(44, 102));
        const double ridge = 96 - 56 * (0.6 + 0.25 * std::sin(c.x() * 0.021 + 0.3) + 0.15 * std::sin(c.x() * 0.057 + 0.6));
        const double pick = dice.Next();
        if (c.y() < ridge + 3) continue;
        const QColor crown = pick < 0.07 ? QColor(206, 96, 64) : pick < 0.12 ? QColor(220, 170, 80)
            : Mix(QColor(70, 116, 72), QColor(120, 160, 100), dice.Next());
        Ellipse(p, c, 2.6, 2.2, crown);
        Ellipse(p, c + QPointF(-0.7, -0.7), 1.2, 1.0, Shade(crown, 0.2));
    }
    p.fillRect(QRectF(0, 104, 150, 50), Vertical(104, 150, QColor(110, 160, 180), QColor(150, 196, 206)));
    for (int i = 0; i < 14; ++i) p.fillRect(QRectF(dice.Range(12, 130), dice.Range(112, 148), dice.Range(6, 16), 1), QColor(255, 255, 255, 140));
    // The bridge: a long deck on many wooden piers, crossing the whole view.
    const QColor bridge(140, 100, 72);
    p.fillRect(QRectF(0, 96, 150, 5), bridge);
    p.fillRect(QRectF(0, 92, 150, 2), Shade(bridge, -0.2));
    for (int x = 2; x < 150; x += 9) {
        p.fillRect(QRectF(x, 101, 2.4, 8), Shade(bridge, -0.25));
        p.fillRect(QRectF(x, 94, 1, 2), Shade(bridge, -0.3));
        p.fillRect(QRectF(x, 109, 2.4, 3), QColor(255, 255, 255, 60));
    }
    for (int i = 0; i < 4; ++i) Person(p, QPointF(30 + i * 24, 92), 9, QColor(100 + i * 30, 80, 90), QColor(40, 30, 30));
    p.restore();
    // The wall, the window frame and the paper screen slid back.
    QPainterPath wall;
    wall.addRect(QRectF(0, 0, 300, 170));
    QPainterPath hole;
    hole.addRect(view);
    Fill(p, wall.subtracted(hole), Vertical(0, 170, Plaster, Shade(Plaster, -0.1)));
    p.fillRect(QRectF(view.left() - 4, view.top() - 4, view.width() + 8, 4), WoodDark);
    p.fillRect(QRectF(view.left() - 4, view.bottom(), view.width() + 8, 5), WoodDark);
    p.fillRect(QRectF(view.left() - 4, view.top(), 4, view.height()), WoodDark);
    p.fillRect(QRectF(view.right(), view.top(), 4, view.height()), WoodDark);
    // The shoji, pushed to the right of the window.
    const QRectF shoji(146, 18, 60, 132);
    p.fillRect(shoji, QColor(252, 248, 236));
    for (int i = 1; i < 4; ++i) p.fillRect(QRectF(shoji.left() + i * 15 - 0.6, shoji.top(), 1.2, shoji.height()), Wood);
    for (int i = 1; i < 6; ++i) p.fillRect(QRectF(shoji.left(), shoji.top() + i * 22 - 0.6, shoji.width(), 1.2), Wood);
    p.fillRect(QRectF(shoji.left() - 2, shoji.top(), 3, shoji.height()), WoodDark);
    p.fillRect(QRectF(shoji.right() - 1, shoji.top(), 3, shoji.height()), WoodDark);
    // A pillar, a lintel, and a hanging scroll of misty hills on the right wall.
    p.fillRect(QRectF(0, 6, 300, 8), Wood);
    p.fillRect(QRectF(0, 13, 300, 2), WoodDark);
    p.fillRect(QRectF(222, 0, 10, 170), Vertical(0, 170, Wood, WoodDark));
    p.fillRect(QRectF(246, 22, 36, 96), QColor(150, 140, 110));
    p.fillRect(QRectF(250, 28, 28, 84), QColor(246, 240, 222));
    QPainterPath ink;
    ink.moveTo(250, 104); ink.quadTo(258, 84, 264, 96); ink.quadTo(270, 80, 278, 98); ink.lineTo(278, 112); ink.lineTo(250, 112);
    Fill(p, ink, QColor(90, 96, 100, 110));
    Ellipse(p, QPointF(270, 72), 3.5, 3.5, QColor(214, 90, 70, 200));
    p.fillRect(QRectF(244, 18, 40, 4), WoodDark);
    p.fillRect(QRectF(244, 116, 40, 4), WoodDark);
    // Warm light from a paper lamp.
    QRadialGradient glow(QPointF(190, 40), 120);
    glow.setColorAt(0, QColor(255, 236, 190, 60));
    glow.setColorAt(1, QColor(255, 236, 190, 0));
    Ellipse(p, QPointF(190, 40), 120, 120, glow);
    // Tatami floor.
    p.fillRect(QRectF(0, 150, 300, 50), Vertical(150, 200, QColor(214, 206, 150), QColor(184, 176, 120)));
    p.fillRect(QRectF(0, 150, 300, 3), QColor(90, 110, 80));
}

} // namespace

void DrawTeaHouseForeground(QPainter& p)
{
    // A low lacquered table across the bottom with a cup of matcha and a parfait glass.
    SoftShadow(p, QPointF(150, 178), 150, 8, 0.3);
    p.fillRect(QRectF(0, 174, 300, 26), Vertical(174, 200, QColor(120, 60, 44), QColor(80, 38, 30)));
    p.fillRect(QRectF(0, 172, 300, 4), QColor(150, 80, 60));
    Ellipse(p, QPointF(60, 176), 12, 3, QColor(60, 40, 30, 120));
    QPainterPath cup;
    cup.moveTo(48, 160); cup.lineTo(72, 160); cup.quadTo(72, 176, 60, 176); cup.quadTo(48, 176, 48, 160);
    Fill(p, cup, Vertical(160, 176, QColor(80, 70, 90), QColor(50, 44, 60)));
    Ellipse(p, QPointF(60, 160), 12, 2.5, QColor(140, 180, 80));
}

void DrawScene(QPainter& p, const QString& code)
{
    if (code == "S01") Lobby(p);
    else if (code == "S02") LobbyGroup(p, false);
    else if (code == "S03") LobbyGroup(p, true);
    else if (code == "S11") Arcade(p);
    else if (code == "S12") Shop(p);
    else if (code == "S21") Station(p);
    else if (code == "S31") Campus(p);
    else if (code == "S32") Truck(p);
    else if (code == "S40") { TeaHouseBackground(p); DrawTeaHouseForeground(p); }
    else if (code == "S40-background") TeaHouseBackground(p);
}

} // namespace velmora::art
