// The outdoor scene pictures, 300 × 200: the station, the campus, the street seen from the
// truck's cargo bed, and the tea house with its window on the river.
#include "tools/content/Scenery.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace velmora::art {

namespace {
constexpr double Pi = std::numbers::pi;
} // namespace

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
    // The pantograph on the front car, its arm raised until the collector presses on the wire.
    const QColor steel(60, 60, 66);
    p.fillRect(QRectF(172, 88, 24, 3), steel);
    QPainterPath panto;
    panto.moveTo(176, 89); panto.lineTo(196, 70); panto.lineTo(183, 54.2);
    Stroke(p, panto, steel, 1.5);
    QPainterPath collector;
    collector.moveTo(172, 53.8); collector.lineTo(194, 53.8);
    Stroke(p, collector, steel, 1.6);
    // Platform in the foreground with a small roof, a bench and a name board.
    p.fillRect(QRectF(0, 162, 300, 38), Vertical(162, 200, QColor(200, 196, 188), QColor(170, 164, 156)));
    p.fillRect(QRectF(0, 162, 300, 4), QColor(240, 210, 80));
    p.fillRect(QRectF(196, 60, 100, 6), QColor(120, 70, 56));
    Poly(p, {QPointF(190, 60), QPointF(300, 60), QPointF(300, 52), QPointF(200, 52)}, QColor(150, 90, 70));
    for (double x : {206.0, 286.0}) p.fillRect(QRectF(x, 66, 4, 100), QColor(110, 70, 56));
    p.fillRect(QRectF(222, 150, 40, 4), WoodDark);
    p.fillRect(QRectF(226, 154, 3, 10), QColor(80, 80, 86));
    p.fillRect(QRectF(255, 154, 3, 10), QColor(80, 80, 86));
    // The station's name board, hung from the roof beam.
    p.fillRect(QRectF(228, 66, 1.6, 10), QColor(110, 70, 56));
    p.fillRect(QRectF(268, 66, 1.6, 10), QColor(110, 70, 56));
    p.fillRect(QRectF(216, 75, 66, 22), QColor(110, 110, 116));
    p.fillRect(QRectF(217, 76, 64, 20), QColor(250, 250, 246));
    p.fillRect(QRectF(217, 92, 64, 4), QColor(44, 130, 96));
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(12);
    font.setBold(true);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("出町柳"));
    const QRectF box = name.boundingRect();
    name.translate(249 - box.center().x(), 84 - box.center().y());
    Fill(p, name, QColor(40, 40, 50));
    // Flowers along the fence.
    for (int i = 0; i < 14; ++i) Ellipse(p, QPointF(8 + i * 14, 170 + (i % 3)), 3, 3, i % 2 ? QColor(250, 170, 190) : QColor(255, 230, 120));
}

// ---- University campus ----

void Campus(QPainter& p)
{
    Dice dice(51);
    Sky(p, 140, dice);
    // Far lawns and hedges meet the sky behind the halls.
    p.fillRect(QRectF(0, 134, 300, 12), Vertical(134, 146, QColor(150, 190, 130), QColor(136, 182, 112)));
    for (int x = 0; x < 300; x += 7) Ellipse(p, QPointF(x + 3, 137), 5, 3, x % 14 ? QColor(112, 160, 100) : QColor(122, 170, 106));
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
    // The street behind the truck in perspective: a point `x` across (in eye heights; the road is
    // 3.2 wide), `y` above the ground and `z` away from the eye lands on the page here.
    constexpr double Horizon = 112, Eye = 90;
    auto at = [&](double x, double y, double z) { return QPointF(150 + x * Eye / z, Horizon + (1 - y) * Eye / z); };
    Sky(p, Horizon + 2, dice);
    Hills(p, Horizon + 1, QColor(130, 160, 130), 34, 1.2);
    constexpr double Near = 0.8, Far = 80;
    // Pavements, then the road with its kerbs and the dashed centre line.
    for (double side : {-1.0, 1.0}) {
        Poly(p, {at(side * 1.6, 0, Near), at(side * 2.6, 0, Near), at(side * 2.6, 0, Far), at(side * 1.6, 0, Far)},
            Vertical(Horizon, 200, QColor(204, 196, 184), QColor(178, 168, 156)));
        for (double z = 1; z < 30; z *= 1.25) {
            QPainterPath joint;
            joint.moveTo(at(side * 1.6, 0, z));
            joint.lineTo(at(side * 2.6, 0, z));
            Stroke(p, joint, QColor(150, 140, 130, 140), 0.6);
        }
    }
    Poly(p, {at(-1.6, 0, Near), at(1.6, 0, Near), at(1.6, 0, Far), at(-1.6, 0, Far)},
        Vertical(Horizon, 200, QColor(150, 150, 158), QColor(88, 88, 96)));
    for (double side : {-1.0, 1.0}) {
        Poly(p, {at(side * 1.58, 0, Near), at(side * 1.66, 0, Near), at(side * 1.66, 0, Far), at(side * 1.58, 0, Far)}, QColor(226, 222, 214));
        Poly(p, {at(side * 1.4, 0, Near), at(side * 1.44, 0, Near), at(side * 1.44, 0, Far), at(side * 1.4, 0, Far)}, QColor(240, 240, 236, 200));
    }
    for (double z = 1.1; z < 40; z += 1.6)
        Poly(p, {at(-0.035, 0, z), at(0.035, 0, z), at(0.035, 0, z + 0.8), at(-0.035, 0, z + 0.8)}, QColor(250, 250, 246));
    // The city rolling by: buildings along both pavements, farthest first, with rows of windows.
    const QColor walls[] = {QColor(236, 226, 210), QColor(200, 190, 180), QColor(170, 150, 130), QColor(220, 200, 170)};
    for (double side : {-1.0, 1.0}) {
        std::vector<std::pair<double, double>> lots; // from, to (depth)
        for (double z = 1.0; z < 26;) {
            const double length = dice.Range(1.0, 2.2) * (1 + z * 0.15);
            lots.emplace_back(z, z + length);
            z += length + 0.25 * (1 + z * 0.15);
        }
        int i = 0;
        for (auto lot = lots.rbegin(); lot != lots.rend(); ++lot, ++i) {
            const double z0 = lot->first, z1 = lot->second, x = side * 2.7;
            const double height = dice.Range(2.6, 5.5);
            const QColor c = Shade(walls[(i + (side > 0)) % 4], side > 0 ? -0.1 : 0.02);
            Poly(p, {at(x, 0, z0), at(x, 0, z1), at(x, height, z1), at(x, height, z0)}, c);
            // Its face towards the truck, where the nearer lot leaves a gap.
            Poly(p, {at(x, 0, z0), at(x + side * 1.5, 0, z0), at(x + side * 1.5, height, z0), at(x, height, z0)}, Shade(c, -0.08));
            Poly(p, {at(x, height, z0), at(x, height, z1), at(x, height - 0.12, z1), at(x, height - 0.12, z0)}, QColor(90, 80, 90));
            const int bays = std::max(2, int((z1 - z0) * 2.2));
            for (double floor = 0.7; floor + 0.5 < height - 0.2; floor += 0.8)
                for (int k = 0; k < bays; ++k) {
                    const double w0 = z0 + (z1 - z0) * (k + 0.2) / bays, w1 = z0 + (z1 - z0) * (k + 0.8) / bays;
                    Poly(p, {at(x, floor, w0), at(x, floor, w1), at(x, floor + 0.42, w1), at(x, floor + 0.42, w0)}, QColor(120, 150, 180, 210));
                }
        }
        // Street lamps at the kerb.
        for (double z = 1.5; z < 30; z *= 1.45) {
            QPainterPath lamp;
            lamp.moveTo(at(side * 1.9, 0, z));
            lamp.lineTo(at(side * 1.9, 2.3, z));
            lamp.lineTo(at(side * 1.55, 2.4, z));
            Stroke(p, lamp, QColor(90, 96, 104), std::max(0.6, 5.0 / z));
        }
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

} // namespace velmora::art
