// The people of the game. Every portrait shares one construction (head, hair in two layers,
// uniform, arms by pose) so the seven heroines differ by the things a player remembers them by:
// hair, colour, accessories, expression and pose.
#include "tools/content/People.h"

#include <cmath>
#include <numbers>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;

QPainterPath FaceShape()
{
    QPainterPath f;
    f.moveTo(49, 66);
    f.cubicTo(48, 40, 112, 40, 111, 66);
    f.cubicTo(111, 88, 104, 100, 92, 109);
    f.quadTo(80, 117, 68, 109);
    f.cubicTo(56, 100, 49, 88, 49, 66);
    return f;
}

QRadialGradient HairBrush(const QColor& hair, QPointF light, double radius)
{
    QRadialGradient g(light, radius);
    g.setColorAt(0, Shade(hair, 0.18));
    g.setColorAt(0.6, hair);
    g.setColorAt(1, Shade(hair, -0.3));
    return g;
}

// Long hair falling behind the shoulders; `wave` > 0 ripples its edges.
QPainterPath LongBack(double bottom, double width, double wave)
{
    QPainterPath h;
    h.moveTo(80, 28);
    h.cubicTo(34, 28, 36, 70, 38, 100);
    const int steps = 8;
    for (int i = 1; i <= steps; ++i) {
        const double y = 100 + (bottom - 100) * i / steps;
        const double x = 80 - width - 4 * double(i) / steps + wave * std::sin(i * 1.7);
        h.lineTo(x, y);
    }
    h.lineTo(80 + width + 4 + wave * std::sin(steps * 1.7 + 1), bottom);
    for (int i = steps - 1; i >= 0; --i) {
        const double y = 100 + (bottom - 100) * i / steps;
        const double x = 80 + width + 4 * double(i) / steps + wave * std::sin(i * 1.7 + 1);
        h.lineTo(x, y);
    }
    h.cubicTo(124, 70, 126, 28, 80, 28);
    return h;
}

// A lock of hair hanging in front of a shoulder, from the temple down to `bottom`.
QPainterPath SideLock(double x, double bottom, double side, double wave)
{
    QPainterPath s;
    s.moveTo(x, 58);
    s.cubicTo(x - side * 6, 90, x - side * (4 + wave), bottom - 30, x + side * (2 + wave), bottom);
    s.cubicTo(x + side * (8 - wave), bottom - 34, x + side * 10, 90, x + side * 12, 62);
    s.closeSubpath();
    return s;
}

QPainterPath Bangs(HairStyle style)
{
    QPainterPath b;
    b.moveTo(44, 78);
    b.cubicTo(40, 36, 120, 36, 116, 78);
    if (style == HairStyle::LongSweep) {
        // Swept to one side, leaving the forehead open on the right.
        b.cubicTo(112, 64, 104, 52, 96, 50);
        b.cubicTo(84, 58, 70, 66, 58, 76);
        b.lineTo(54, 70);
        b.lineTo(48, 82);
    } else if (style == HairStyle::Messy) {
        const double tips[][2] = {{108, 70}, {100, 58}, {94, 68}, {86, 56}, {78, 67}, {70, 56}, {62, 68}, {54, 58}, {48, 74}};
        for (const auto& t : tips) b.lineTo(t[0], t[1]);
    } else if (style == HairStyle::Maiko) {
        b.cubicTo(104, 54, 92, 50, 80, 50);
        b.cubicTo(68, 50, 56, 54, 44, 78);
    } else {
        // Pointed locks across the forehead, the middle ones shortest, parted slightly left.
        const double tips[][2] = {{111, 84}, {106, 70}, {100, 76}, {93, 62}, {86, 73}, {78, 60}, {71, 72}, {64, 62}, {58, 75}, {52, 68}, {49, 84}};
        for (int i = 0; i < 11; ++i) {
            const double* t = tips[i];
            if (i % 2 == 0) b.lineTo(t[0], t[1]);
            else b.quadTo(t[0] + 2, t[1] - 6, t[0], t[1]);
        }
    }
    b.closeSubpath();
    return b;
}

void Eye(QPainter& p, QPointF c, const Look& look, bool closed, double side)
{
    if (closed) {
        QPainterPath w;
        w.moveTo(c + QPointF(-8, 1));
        w.quadTo(c + QPointF(0, 7), c + QPointF(8, 1));
        Stroke(p, w, Outline, 2.2);
        return;
    }
    const double w = look.male ? 7.5 : 8.5;
    const double h = look.male ? 8.5 : 11;
    // The white, then the iris (dark at the top where the lid shades it), then the highlights.
    QPainterPath white;
    white.addEllipse(c + QPointF(0, 1), w, h * 0.9);
    Fill(p, white, QColor(255, 255, 255));
    QLinearGradient iris(0, c.y() - h, 0, c.y() + h);
    iris.setColorAt(0, Shade(look.eyes, -0.55));
    iris.setColorAt(0.55, look.eyes);
    iris.setColorAt(1, Shade(look.eyes, 0.35));
    p.save();
    p.setClipPath(white);
    Ellipse(p, c + QPointF(side * 0.8, 2), w * 0.78, h * 0.86, iris);
    Ellipse(p, c + QPointF(side * 0.8, 2.5), w * 0.36, h * 0.42, Shade(look.eyes, -0.7));
    p.restore();
    Ellipse(p, c + QPointF(side * 0.8 - 3, -2.5), 2.6, 3.0, QColor(255, 255, 255, 235));
    Ellipse(p, c + QPointF(side * 0.8 + 2.5, 5), 1.3, 1.3, QColor(255, 255, 255, 200));
    // Upper lid: a thick lash line, flicked out at the outer corner.
    QPainterPath lid;
    lid.moveTo(c + QPointF(-w - 1, -h * 0.35 + side * 1.5));
    lid.quadTo(c + QPointF(0, -h * 1.25), c + QPointF(w + 1, -h * 0.35 - side * 1.5));
    Stroke(p, lid, Outline, look.male ? 2.0 : 2.8);
    if (!look.male) {
        QPainterPath flick;
        const QPointF outer = c + QPointF(side * (w + 1), -h * 0.35 - 1.5);
        flick.moveTo(outer);
        flick.lineTo(outer + QPointF(side * 3, -2));
        Stroke(p, flick, Outline, 2.0);
    }
    QPainterPath lower;
    lower.moveTo(c + QPointF(-w * 0.5, h * 0.95));
    lower.quadTo(c + QPointF(0, h * 1.05), c + QPointF(w * 0.5, h * 0.95));
    Stroke(p, lower, Shade(Outline, 0.4), 0.9);
}

void Glasses(QPainter& p)
{
    p.setPen(QPen(QColor(120, 60, 70), 1.6));
    p.setBrush(QColor(220, 235, 255, 50));
    p.drawRoundedRect(QRectF(54, 75, 24, 19), 6, 6);
    p.drawRoundedRect(QRectF(82, 75, 24, 19), 6, 6);
    p.drawLine(QPointF(78, 82), QPointF(82, 82));
    p.drawLine(QPointF(54, 81), QPointF(49, 79));
    p.drawLine(QPointF(106, 81), QPointF(111, 79));
    // A glint across each lens.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.4));
    p.drawLine(QPointF(58, 90), QPointF(64, 78));
    p.drawLine(QPointF(86, 90), QPointF(92, 78));
}

void Mouth_(QPainter& p, Mouth mouth)
{
    const QPointF m(80, 103);
    QPainterPath path;
    switch (mouth) {
    case Mouth::Grin:
    case Mouth::Open: {
        const double h = mouth == Mouth::Grin ? 7 : 5;
        path.moveTo(m + QPointF(-7, -1));
        path.quadTo(m + QPointF(0, 1), m + QPointF(7, -1));
        path.quadTo(m + QPointF(0, h + 3), m + QPointF(-7, -1));
        Fill(p, path, QColor(170, 60, 70));
        Ellipse(p, m + QPointF(0, h - 1), 3.5, 2, QColor(240, 130, 140));
        break;
    }
    case Mouth::Smile:
        path.moveTo(m + QPointF(-6, -1));
        path.quadTo(m + QPointF(0, 5), m + QPointF(6, -1));
        Stroke(p, path, Outline, 1.6);
        break;
    case Mouth::Small:
        Ellipse(p, m + QPointF(0, 1), 2.2, 1.6, QColor(190, 90, 100));
        break;
    case Mouth::Determined:
        path.moveTo(m + QPointF(-5, 1));
        path.quadTo(m + QPointF(0, -1.5), m + QPointF(5, 1));
        Stroke(p, path, Outline, 1.6);
        break;
    case Mouth::Calm:
        path.moveTo(m + QPointF(-4, 0));
        path.quadTo(m + QPointF(0, 2), m + QPointF(4, 0));
        Stroke(p, path, QColor(200, 40, 60), 2.2);
        break;
    case Mouth::Gentle:
        path.moveTo(m + QPointF(-4.5, 0));
        path.quadTo(m + QPointF(0, 3), m + QPointF(4.5, 0));
        Stroke(p, path, Outline, 1.4);
        break;
    }
}

void Bow(QPainter& p, QPointF c, double size, const QColor& colour)
{
    QPainterPath left, right;
    left.moveTo(c);
    left.cubicTo(c + QPointF(-size, -size * 0.9), c + QPointF(-size * 1.2, size * 0.7), c);
    right.moveTo(c);
    right.cubicTo(c + QPointF(size, -size * 0.9), c + QPointF(size * 1.2, size * 0.7), c);
    Fill(p, left, colour);
    Fill(p, right, Shade(colour, -0.15));
    Poly(p, {c + QPointF(-2, 0), c + QPointF(-size * 0.5, size * 1.1), c + QPointF(-size * 0.2, size * 1.0)}, Shade(colour, -0.1));
    Poly(p, {c + QPointF(2, 0), c + QPointF(size * 0.5, size * 1.1), c + QPointF(size * 0.2, size * 1.0)}, Shade(colour, -0.25));
    Ellipse(p, c, size * 0.22, size * 0.22, Shade(colour, -0.3));
}

void Flower(QPainter& p, QPointF c, double r, const QColor& colour)
{
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * Pi / 5 - Pi / 2;
        Ellipse(p, c + QPointF(std::cos(a) * r * 0.6, std::sin(a) * r * 0.6), r * 0.5, r * 0.5, i % 2 ? colour : Shade(colour, 0.15));
    }
    Ellipse(p, c, r * 0.3, r * 0.3, QColor(250, 210, 90));
}

void Body(QPainter& p, const Look& look)
{
    const QColor shirt = look.clothes == Clothes::Kimono ? QColor(200, 60, 90)
        : look.clothes == Clothes::Jacket ? QColor(96, 112, 86) : Blouse;
    // The chest only: the shoulders and arms are the arms' own shapes, outside it.
    QPainterPath torso;
    torso.moveTo(32, 200);
    torso.cubicTo(31, 168, 36, 144, 56, 134);
    torso.lineTo(104, 134);
    torso.cubicTo(124, 144, 129, 168, 128, 200);
    torso.closeSubpath();
    QLinearGradient lit(20, 0, 150, 0);
    lit.setColorAt(0, Shade(shirt, 0.1));
    lit.setColorAt(1, Shade(shirt, -0.18));
    // Neck with a soft shadow under the chin.
    Poly(p, {QPointF(71, 104), QPointF(89, 104), QPointF(91, 138), QPointF(69, 138)}, look.skin);
    Poly(p, {QPointF(71, 106), QPointF(89, 106), QPointF(89, 116), QPointF(71, 120)}, Shade(look.skin, -0.12));
    Fill(p, torso, lit);
    UpperArms(p, look);

    if (look.clothes == Clothes::Sailor) {
        // The sailor collar: broad over the shoulders, a deep V in front, two white stripes.
        QPainterPath collar;
        collar.moveTo(30, 146);
        collar.cubicTo(40, 136, 52, 132, 66, 130);
        collar.lineTo(80, 172);
        collar.lineTo(94, 130);
        collar.cubicTo(108, 132, 120, 136, 130, 146);
        collar.lineTo(124, 160);
        collar.lineTo(100, 150);
        collar.lineTo(80, 190);
        collar.lineTo(60, 150);
        collar.lineTo(36, 160);
        collar.closeSubpath();
        Fill(p, collar, Navy);
        QPainterPath stripes;
        stripes.moveTo(35, 152); stripes.lineTo(60, 144); stripes.lineTo(80, 183); stripes.lineTo(100, 144); stripes.lineTo(125, 152);
        Stroke(p, stripes, QColor(235, 235, 245), 1.4);
        Poly(p, {QPointF(72, 150), QPointF(88, 150), QPointF(80, 168)}, Shade(Blouse, -0.05));
        // The scarf knot and its two ends.
        Poly(p, {QPointF(80, 176), QPointF(64, 170), QPointF(60, 182)}, Scarf);
        Poly(p, {QPointF(80, 176), QPointF(96, 170), QPointF(100, 182)}, Shade(Scarf, -0.15));
        Poly(p, {QPointF(76, 178), QPointF(84, 178), QPointF(90, 200), QPointF(70, 200)}, Shade(Scarf, -0.08));
        Ellipse(p, QPointF(80, 177), 5, 4.5, Shade(Scarf, -0.25));
    } else if (look.clothes == Clothes::Jacket) {
        Poly(p, {QPointF(66, 134), QPointF(94, 134), QPointF(92, 200), QPointF(68, 200)}, QColor(232, 228, 215));
        Poly(p, {QPointF(66, 134), QPointF(80, 170), QPointF(60, 200), QPointF(50, 140)}, Shade(shirt, -0.05));
        Poly(p, {QPointF(94, 134), QPointF(80, 170), QPointF(100, 200), QPointF(110, 140)}, Shade(shirt, -0.2));
    } else {
        // Kimono: white under-collar crossed left over right, a patterned robe and the sash.
        Poly(p, {QPointF(64, 132), QPointF(80, 170), QPointF(96, 132), QPointF(90, 132), QPointF(80, 156), QPointF(70, 132)}, QColor(250, 250, 250));
        Poly(p, {QPointF(58, 134), QPointF(80, 176), QPointF(64, 200), QPointF(40, 150)}, Shade(shirt, 0.05));
        for (int i = 0; i < 6; ++i) Flower(p, QPointF(28 + 22 * i, 160 + 12 * (i % 2)), 5, QColor(250, 220, 120));
        Poly(p, {QPointF(20, 188), QPointF(140, 188), QPointF(142, 200), QPointF(18, 200)}, QColor(230, 180, 60));
    }
}

void HairBack(QPainter& p, const Look& look)
{
    const auto brush = HairBrush(look.hair, QPointF(64, 46), 110);
    switch (look.hairStyle) {
    case HairStyle::LongStraight: Fill(p, LongBack(196, 46, 0), brush); break;
    case HairStyle::LongSweep: Fill(p, LongBack(188, 48, 2), brush); break;
    case HairStyle::Wavy: Fill(p, LongBack(182, 48, 5), brush); break;
    case HairStyle::Bob: {
        QPainterPath b;
        b.moveTo(80, 28);
        b.cubicTo(30, 28, 36, 90, 40, 116);
        b.quadTo(60, 124, 80, 118);
        b.quadTo(100, 124, 120, 116);
        b.cubicTo(124, 90, 130, 28, 80, 28);
        Fill(p, b, brush);
        break;
    }
    case HairStyle::Ponytail: {
        QPainterPath tail;
        tail.moveTo(104, 38);
        tail.cubicTo(150, 40, 150, 110, 136, 150);
        tail.cubicTo(142, 110, 126, 70, 100, 56);
        tail.closeSubpath();
        Fill(p, tail, HairBrush(look.hair, QPointF(130, 60), 90));
        QPainterPath b;
        b.moveTo(80, 28);
        b.cubicTo(36, 28, 40, 80, 44, 100);
        b.lineTo(116, 100);
        b.cubicTo(120, 80, 124, 28, 80, 28);
        Fill(p, b, brush);
        break;
    }
    case HairStyle::TwinTails:
        for (double side : {-1.0, 1.0}) {
            QPainterPath t;
            const double x = 80 + side * 40;
            t.moveTo(x, 46);
            t.cubicTo(x + side * 34, 56, x + side * 30, 140, x + side * 14, 186);
            t.cubicTo(x + side * 12, 140, x + side * 2, 90, x - side * 8, 64);
            t.closeSubpath();
            Fill(p, t, HairBrush(look.hair, QPointF(x, 70), 100));
        }
        [[fallthrough]];
    case HairStyle::Short:
    case HairStyle::Messy: {
        QPainterPath b;
        b.moveTo(80, 28);
        b.cubicTo(34, 28, 40, 84, 46, look.hairStyle == HairStyle::Short ? 106 : 98);
        b.lineTo(114, look.hairStyle == HairStyle::Short ? 106 : 98);
        b.cubicTo(120, 84, 126, 28, 80, 28);
        Fill(p, b, brush);
        break;
    }
    case HairStyle::Maiko: {
        // The rounded maiko updo with a red band, and its two side wings.
        Ellipse(p, QPointF(80, 30), 42, 26, brush);
        Ellipse(p, QPointF(44, 70), 14, 22, brush);
        Ellipse(p, QPointF(116, 70), 14, 22, brush);
        Poly(p, {QPointF(66, 14), QPointF(94, 14), QPointF(92, 20), QPointF(68, 20)}, QColor(220, 40, 60));
        break;
    }
    }
}

void HairFront(QPainter& p, const Look& look)
{
    const auto brush = HairBrush(look.hair, QPointF(62, 44), 80);
    Fill(p, Bangs(look.hairStyle), brush);
    // A soft highlight band across the crown, where the light from the upper left falls.
    QPainterPath sheen;
    sheen.moveTo(54, 50);
    sheen.quadTo(80, 36, 104, 48);
    p.setPen(QPen(QColor(255, 255, 255, look.hair.lightness() > 100 ? 70 : 45), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(sheen);
    switch (look.hairStyle) {
    case HairStyle::LongStraight:
        Fill(p, SideLock(46, 170, 1, 0), brush);
        Fill(p, SideLock(114, 170, -1, 0), brush);
        break;
    case HairStyle::LongSweep:
        Fill(p, SideLock(46, 160, 1, 2), brush);
        Fill(p, SideLock(114, 150, -1, 2), brush);
        break;
    case HairStyle::Wavy:
        Fill(p, SideLock(46, 150, 1, 5), brush);
        Fill(p, SideLock(114, 150, -1, 5), brush);
        break;
    case HairStyle::Bob:
        Fill(p, SideLock(46, 114, 1, 0), brush);
        Fill(p, SideLock(114, 114, -1, 0), brush);
        break;
    case HairStyle::Short:
    case HairStyle::Ponytail:
    case HairStyle::TwinTails:
        Fill(p, SideLock(46, 104, 1, 1), brush);
        Fill(p, SideLock(114, 104, -1, 1), brush);
        break;
    case HairStyle::Messy:
    case HairStyle::Maiko:
        break;
    }
    if (look.ribbon) Bow(p, QPointF(110, 38), 22, look.accent);
    if (look.clip) {
        Poly(p, {QPointF(98, 54), QPointF(112, 48), QPointF(113, 52), QPointF(99, 58)}, look.accent);
        Poly(p, {QPointF(100, 60), QPointF(113, 55), QPointF(114, 58), QPointF(101, 63)}, Shade(look.accent, -0.2));
        // A little star at its end.
        QPainterPath star;
        const QPointF c(114, 50);
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 3.4 : 8.0, a = i * Pi / 5 - Pi / 2;
            const QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
            if (i == 0) star.moveTo(pt); else star.lineTo(pt);
        }
        star.closeSubpath();
        Fill(p, star, QColor(255, 214, 70));
    }
    if (look.hairStyle == HairStyle::Ponytail) {
        Ellipse(p, QPointF(104, 40), 5, 4, look.accent);
    }
    if (look.hairStyle == HairStyle::TwinTails) {
        for (double side : {-1.0, 1.0}) {
            Ellipse(p, QPointF(80 + side * 41, 48), 6, 5, look.accent);
            Ellipse(p, QPointF(80 + side * 41 - 1.5, 46.5), 2, 1.5, Shade(look.accent, 0.5));
        }
    }
    if (look.flower) Flower(p, QPointF(108, 46), 9, look.accent);
    if (look.hairStyle == HairStyle::Maiko) {
        // Kanzashi: a cluster of flowers with hanging strands of little blossoms.
        for (int i = 0; i < 4; ++i) Flower(p, QPointF(44 + 8 * i, 40 - 4 * (i % 2)), 6, i % 2 ? QColor(255, 170, 190) : QColor(255, 120, 150));
        for (int s = 0; s < 3; ++s)
            for (int k = 0; k < 4; ++k) Flower(p, QPointF(40 + 8 * s, 52 + 8 * k), 3, k % 2 ? QColor(255, 200, 210) : QColor(250, 250, 250));
        Ellipse(p, QPointF(108, 34), 5, 5, QColor(230, 200, 120));
    }
}

} // namespace

Look CastLook(int speaker)
{
    Look l;
    switch (speaker) {
    case 1: // gentle admired beauty, long black hair
        l.hair = QColor(32, 30, 44); l.eyes = QColor(120, 80, 60); l.accent = QColor(255, 255, 255);
        l.hairStyle = HairStyle::LongStraight; l.mouth = Mouth::Gentle; l.pose = Pose::Clasp; l.brows = 1;
        break;
    case 2: // energetic, short hair with a star clip
        l.hair = QColor(196, 110, 52); l.eyes = QColor(200, 120, 40); l.accent = QColor(250, 190, 40);
        l.hairStyle = HairStyle::Short; l.mouth = Mouth::Grin; l.pose = Pose::Wave; l.clip = true;
        break;
    case 3: // refined young lady, wavy hair with a ribbon
        l.hair = QColor(214, 168, 98); l.eyes = QColor(70, 130, 90); l.accent = QColor(232, 90, 120);
        l.hairStyle = HairStyle::Wavy; l.mouth = Mouth::Smile; l.pose = Pose::Hold; l.ribbon = true; l.brows = 0.5;
        break;
    case 4: // quiet, bob and glasses
        l.hair = QColor(74, 50, 40); l.eyes = QColor(90, 70, 110); l.accent = QColor(110, 150, 200);
        l.hairStyle = HairStyle::Bob; l.mouth = Mouth::Small; l.pose = Pose::Book; l.glasses = true; l.brows = 0.8;
        break;
    case 5: // frank and cheerful, ponytail
        l.hair = QColor(150, 62, 44); l.eyes = QColor(150, 80, 40); l.accent = QColor(70, 170, 120);
        l.hairStyle = HairStyle::Ponytail; l.mouth = Mouth::Grin; l.pose = Pose::Fist; l.wink = true;
        break;
    case 6: // theatrical future actress, elegant
        l.hair = QColor(78, 40, 76); l.eyes = QColor(150, 60, 120); l.accent = QColor(240, 120, 150);
        l.hairStyle = HairStyle::LongSweep; l.mouth = Mouth::Smile; l.pose = Pose::Chest; l.flower = true; l.brows = -0.3;
        break;
    case 7: // strong-willed, twin tails
        l.hair = QColor(108, 62, 36); l.eyes = QColor(170, 60, 50); l.accent = QColor(220, 50, 60);
        l.hairStyle = HairStyle::TwinTails; l.mouth = Mouth::Determined; l.pose = Pose::Crossed; l.brows = -1;
        break;
    case 8: // the university student
        l.hair = QColor(58, 52, 50); l.eyes = QColor(80, 60, 50); l.accent = QColor(0, 0, 0);
        l.hairStyle = HairStyle::Messy; l.mouth = Mouth::Smile; l.clothes = Clothes::Jacket; l.male = true;
        l.glasses = true; l.skin = QColor(246, 214, 190);
        break;
    default: // the maiko
        l.hair = QColor(24, 22, 30); l.eyes = QColor(60, 40, 40); l.accent = QColor(255, 120, 150);
        l.hairStyle = HairStyle::Maiko; l.mouth = Mouth::Calm; l.clothes = Clothes::Kimono; l.skin = QColor(252, 248, 246);
        l.brows = 0.6;
        break;
    }
    return l;
}

void DrawBust(QPainter& p, const Look& look)
{
    p.save();
    HairBack(p, look);
    Body(p, look);
    p.save();
    p.translate(80, 110);
    p.rotate(look.headTilt);
    p.translate(-80, -110);
    // Ears, face and its shading: the far cheek and jaw a touch darker.
    Ellipse(p, QPointF(49, 84), 5, 8, Shade(look.skin, -0.06));
    Ellipse(p, QPointF(111, 84), 5, 8, Shade(look.skin, -0.1));
    QLinearGradient face(50, 0, 112, 0);
    face.setColorAt(0, look.skin);
    face.setColorAt(1, Shade(look.skin, -0.07));
    Fill(p, FaceShape(), face);
    const QColor blush = look.hairStyle == HairStyle::Maiko ? QColor(255, 140, 160, 70) : QColor(255, 130, 140, 90);
    Ellipse(p, QPointF(62, 97), 7, 3.5, blush);
    Ellipse(p, QPointF(98, 97), 7, 3.5, blush);
    HairFront(p, look);
    // Brows: the tilt tells gentle from determined.
    for (double side : {-1.0, 1.0}) {
        QPainterPath brow;
        const QPointF inner(80 + side * 6, 68 - look.brows * 1.5);
        const QPointF outer(80 + side * 21, 67 + look.brows * 0.5);
        brow.moveTo(inner);
        brow.quadTo((inner + outer) / 2 + QPointF(0, -2.5), outer);
        Stroke(p, brow, Mix(look.hair, Outline, 0.4), look.male ? 2.2 : 1.5);
    }
    Eye(p, QPointF(66, 84), look, false, -1);
    Eye(p, QPointF(94, 84), look, look.wink, 1);
    QPainterPath nose;
    nose.moveTo(81, 93);
    nose.lineTo(79.5, 96);
    Stroke(p, nose, Shade(look.skin, -0.3), 1.2);
    Mouth_(p, look.mouth);
    if (look.glasses) Glasses(p);
    p.restore();
    Forearms(p, look);
    p.restore();
}

} // namespace velmora::art
