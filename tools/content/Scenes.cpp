// The indoor and town scene pictures, 300 × 200, and the table of which picture is which. Light
// comes from the upper left everywhere; daylight scenes share one sky, interiors share the warm
// lamp colour.
#include "tools/content/Scenery.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;

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
    const QRectF glass(14, 26, 66, 92);
    p.fillRect(glass, Vertical(26, 118, SkyTop, SkyLow));
    // The garden is seen through the glass: nothing of it may cover the frame.
    p.save();
    p.setClipRect(glass);
    Tree(p, QPointF(30, 118), 46, Leaf, dice);
    Tree(p, QPointF(64, 118), 56, Shade(Leaf, -0.1), dice);
    p.restore();
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
    struct Spot { int who; double x, y, scale; };
    // By the sofa: the three who wait in the lobby while the others are still away.
    const std::vector<Spot> waiting = {{6, 132, 102, 0.5}, {1, 178, 98, 0.5}, {4, 224, 102, 0.5}};
    // A closer shot of the four who come back and talk to him, back row first.
    const std::vector<Spot> returned = {{4, -16, 62, 0.72}, {5, 122, 60, 0.72}, {2, 186, 56, 0.72}, {3, 50, 50, 0.78}};
    if (close) {
        // The lobby blurred into soft colour behind them.
        p.fillRect(QRectF(0, 0, 300, 200), QColor(236, 214, 184, 150));
    }
    // Only the tea house has the bowl of matcha that one of them holds there.
    for (const Spot& s : close ? returned : waiting) {
        p.save();
        p.translate(s.x, s.y);
        p.scale(s.scale, s.scale);
        SoftShadow(p, QPointF(80, 200), 60, 8, 0.2);
        Look look = CastLook(s.who);
        if (look.pose == Pose::Hold) look.pose = Pose::Rest;
        DrawBust(p, look);
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
        for (;;) {
            const QColor c = goods[k++ % 6];
            const int kind = int(dice.Next() * 3);
            // Goods stay on their shelf: nothing reaches the post at its end.
            const double width = kind == 0 ? 18 : kind == 1 ? 14 : 25;
            if (x + width > 206) break;
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
    Person(p, QPointF(276, 168), 60, QColor(90, 110, 150), QColor(50, 40, 40));
    for (int i = 0; i < 3; ++i) {
        Poly(p, {QPointF(226 + i * 22, 20), QPointF(247 + i * 22, 20), QPointF(247 + i * 22, 70), QPointF(226 + i * 22, 70)}, QColor(40, 60, 110));
        Ellipse(p, QPointF(237 + i * 22, 44), 6, 6, QColor(240, 240, 250, 120));
    }
    p.fillRect(QRectF(220, 16, 78, 6), WoodDark);
    // Counter in front with a cash tray and a lucky cat.
    SoftShadow(p, QPointF(110, 196), 110, 6);
    p.fillRect(QRectF(0, 168, 230, 32), Vertical(168, 200, Wood, WoodDark));
    p.fillRect(QRectF(0, 164, 232, 6), Shade(Wood, 0.15));
    // The shop's lucky cat on the counter.
    Ellipse(p, QPointF(40, 152), 10, 12, QColor(252, 250, 246));
    Ellipse(p, QPointF(40, 140), 9, 8, QColor(252, 250, 246));
    Poly(p, {QPointF(32, 136), QPointF(34, 128), QPointF(38, 134)}, QColor(252, 250, 246));
    Poly(p, {QPointF(48, 136), QPointF(46, 128), QPointF(42, 134)}, QColor(252, 250, 246));
    Ellipse(p, QPointF(49, 130), 3, 4.5, QColor(252, 250, 246));
    Ellipse(p, QPointF(40, 150), 4, 4, QColor(240, 200, 70));
    p.fillRect(QRectF(31, 147, 18, 2), QColor(210, 50, 60));
    Ellipse(p, QPointF(36, 140), 1, 1.2, QColor(40, 30, 30));
    Ellipse(p, QPointF(44, 140), 1, 1.2, QColor(40, 30, 30));
    // Hanging lanterns and their warm light.
    for (double x : {60.0, 150.0}) {
        QRadialGradient glow(QPointF(x, 14), 50);
        glow.setColorAt(0, QColor(255, 230, 170, 110));
        glow.setColorAt(1, QColor(255, 230, 170, 0));
        Ellipse(p, QPointF(x, 14), 50, 50, glow);
        Ellipse(p, QPointF(x, 12), 9, 11, QColor(246, 120, 70));
        p.fillRect(QRectF(x - 6, 1, 12, 2), QColor(50, 40, 40));
    }
    // The maiko he asks the way, in front of the counter: the same drawing as her speaker icon.
    p.save();
    p.translate(150, 40);
    p.scale(0.82, 0.82);
    SoftShadow(p, QPointF(80, 200), 60, 8, 0.2);
    DrawBust(p, CastLook(9));
    p.restore();
}

} // namespace

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
    Poly(p, {feet + QPointF(-h * 0.1, -h * 0.72), feet + QPointF(h * 0.1, -h * 0.72), feet + QPointF(h * 0.13, -h * 0.3),
             feet + QPointF(-h * 0.13, -h * 0.3)}, clothes);
    Poly(p, {feet + QPointF(-h * 0.08, -h * 0.3), feet + QPointF(-h * 0.01, -h * 0.3), feet + QPointF(-h * 0.03, 0), feet + QPointF(-h * 0.08, 0)}, Shade(clothes, -0.3));
    Poly(p, {feet + QPointF(h * 0.01, -h * 0.3), feet + QPointF(h * 0.08, -h * 0.3), feet + QPointF(h * 0.08, 0), feet + QPointF(h * 0.03, 0)}, Shade(clothes, -0.35));
    Ellipse(p, feet + QPointF(0, -h * 0.84), h * 0.1, h * 0.12, QColor(246, 216, 196));
    Ellipse(p, feet + QPointF(0, -h * 0.89), h * 0.11, h * 0.08, hair);
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
