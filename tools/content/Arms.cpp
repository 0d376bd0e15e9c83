// Arms and hands of the portraits. An arm is a shoulder, an upper arm and a forearm bent at the
// elbow, ending in a hand shaped for what it does; each pose places the joints and the hands.
// The arm is outlined as one contour around the elbow and the hand has fingers and a thumb, so
// both still read as an arm and a hand when the portrait is shown at its small design size.
#include "tools/content/People.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace velmora::art {

namespace {

constexpr double Pi = std::numbers::pi;
// Widths at the shoulder, the elbow and the wrist, in the 160 × 200 portrait box.
constexpr double ShoulderWidth = 24, ElbowWidth = 19, WristWidth = 14;
// Hands are drawn in a frame of about 12 × 17 and enlarged to fit the wrist.
constexpr double HandScale = 1.25;

enum class Grip { Hold, Open, Fist };

struct ArmPose {
    QPointF shoulder, elbow, wrist;
    Grip grip = Grip::Hold;
    double handTurn = 90; // the direction the fingers point, in degrees: 0 right, 90 down
    QPointF thumbToward;  // the side of the hand the thumb lies on, as a direction on the page
};

const QPointF LeftShoulder(38, 148), RightShoulder(122, 148);

QPointF Normal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    const double len = std::hypot(d.x(), d.y());
    return len < 1e-6 ? QPointF(0, 0) : QPointF(-d.y() / len, d.x() / len);
}

// A limb segment that tapers from `wa` to `wb`, with round ends.
QPainterPath Segment(QPointF a, QPointF b, double wa, double wb)
{
    const QPointF n = Normal(a, b);
    QPainterPath side, start, end;
    side.moveTo(a + n * (wa / 2));
    side.lineTo(b + n * (wb / 2));
    side.lineTo(b - n * (wb / 2));
    side.lineTo(a - n * (wa / 2));
    side.closeSubpath();
    start.addEllipse(a, wa / 2, wa / 2);
    end.addEllipse(b, wb / 2, wb / 2);
    // United, not added: overlapping parts drawn in opposite directions would cancel out.
    return side.united(start).united(end);
}

// Lit from the upper left across the limb's width.
QLinearGradient AcrossLimb(QPointF a, QPointF b, double width, const QColor& c)
{
    QPointF n = Normal(a, b);
    if (n.x() + n.y() > 0) n = -n;
    const QPointF mid = (a + b) / 2;
    QLinearGradient g(mid + n * (width / 2), mid - n * (width / 2));
    g.setColorAt(0, Shade(c, 0.12));
    g.setColorAt(0.55, c);
    g.setColorAt(1, Shade(c, -0.16));
    return g;
}

QColor LineFor(const QColor& c) { return Mix(c, Outline, 0.5); }

void DrawUpperArm(QPainter& p, const ArmPose& arm, const QColor& sleeve)
{
    const QPainterPath upper = Segment(arm.shoulder, arm.elbow, ShoulderWidth, ElbowWidth);
    Fill(p, upper, AcrossLimb(arm.shoulder, arm.elbow, ShoulderWidth, sleeve));
    // Only the two long sides are outlined: the shoulder's top runs into the torso.
    const QPointF n = Normal(arm.shoulder, arm.elbow);
    QPainterPath sides;
    sides.moveTo(arm.shoulder + n * (ShoulderWidth / 2));
    sides.lineTo(arm.elbow + n * (ElbowWidth / 2));
    sides.moveTo(arm.shoulder - n * (ShoulderWidth / 2));
    sides.lineTo(arm.elbow - n * (ElbowWidth / 2));
    Stroke(p, sides, LineFor(sleeve), 1.0);
}

void DrawForearm(QPainter& p, const ArmPose& arm, const QColor& sleeve, const QColor& cuff)
{
    const QPainterPath upper = Segment(arm.shoulder, arm.elbow, ShoulderWidth, ElbowWidth);
    const QPainterPath fore = Segment(arm.elbow, arm.wrist, ElbowWidth, WristWidth);
    Fill(p, fore, AcrossLimb(arm.elbow, arm.wrist, ElbowWidth, sleeve));
    // The outline of the whole arm where it runs round the forearm: one contour bends at the
    // elbow instead of two tubes meeting.
    p.save();
    QPainterPathStroker grow;
    grow.setWidth(3);
    p.setClipPath(fore.united(grow.createStroke(fore)));
    Stroke(p, upper.united(fore), LineFor(sleeve), 1.0);
    p.restore();
    if (cuff.isValid()) {
        // A cuff band just short of the wrist, with the uniform's white stripe.
        const QPointF d = arm.wrist - arm.elbow;
        const QPointF n = Normal(arm.elbow, arm.wrist);
        const QPointF c0 = arm.elbow + d * 0.78, c1 = arm.wrist + d * 0.02;
        p.save();
        p.setClipPath(fore);
        Poly(p, {c0 + n * 12, c1 + n * 12, c1 - n * 12, c0 - n * 12}, cuff);
        QPainterPath stripe;
        stripe.moveTo(arm.elbow + d * 0.86 + n * 12);
        stripe.lineTo(arm.elbow + d * 0.86 - n * 12);
        Stroke(p, stripe, QColor(235, 235, 245), 0.9);
        p.restore();
    }
}

// A hand at the wrist, its fingers along `handTurn`; drawn in a frame where the fingers point
// down (+y) and the thumb lies on the side `thumb` (+1 or -1 along x).
void DrawHand(QPainter& p, const ArmPose& arm, const QColor& skin)
{
    const double turn = arm.handTurn;
    const QPointF localX(std::sin(turn * Pi / 180), -std::cos(turn * Pi / 180));
    const double thumb = localX.x() * arm.thumbToward.x() + localX.y() * arm.thumbToward.y() < 0 ? -1 : 1;
    p.save();
    p.translate(arm.wrist);
    p.rotate(turn - 90);
    p.scale(HandScale, HandScale);
    const QColor line = Shade(skin, -0.42);
    QLinearGradient lit(-6, 0, 6, 0);
    lit.setColorAt(0, Shade(skin, thumb > 0 ? -0.1 : 0.06));
    lit.setColorAt(1, Shade(skin, thumb > 0 ? 0.06 : -0.1));
    auto shape = [&](const QPainterPath& path) {
        Fill(p, path, lit);
        Stroke(p, path, line, 0.8);
    };
    QPainterPath palm;
    switch (arm.grip) {
    case Grip::Hold: {
        // Fingers together and a little curled, as round a cup or a book's edge.
        palm.moveTo(-4.6, -1);
        palm.cubicTo(-5.6, 5, -6.0, 10, -4.6, 14);
        palm.quadTo(0, 17.5, 4.6, 14);
        palm.cubicTo(6.0, 10, 5.6, 5, 4.6, -1);
        palm.closeSubpath();
        shape(palm);
        QPainterPath gaps;
        for (double x : {-1.9, 0.6, 3.0}) {
            gaps.moveTo(x * thumb, 9.5);
            gaps.lineTo(x * thumb * 1.08, 15.4);
        }
        Stroke(p, gaps, line, 0.6);
        shape(Segment(QPointF(4.2 * thumb, 2.5), QPointF(6.2 * thumb, 9.5), 4.2, 3.2));
        break;
    }
    case Grip::Open: {
        // Fingers straight and a little apart, the thumb out to the side.
        palm.addRoundedRect(QRectF(-5.2, -1, 10.4, 17.5), 4.6, 4.6);
        shape(palm);
        QPainterPath gaps;
        for (double x : {-2.6, 0.0, 2.6}) {
            gaps.moveTo(x * 0.9, 10.5);
            gaps.lineTo(x * 1.1, 16.4);
        }
        Stroke(p, gaps, line, 0.7);
        shape(Segment(QPointF(4.4 * thumb, 3.5), QPointF(9.4 * thumb, 9.2), 4.0, 3.2));
        break;
    }
    case Grip::Fist: {
        palm.addRoundedRect(QRectF(-5.8, -0.5, 11.6, 11.5), 4.2, 4.2);
        shape(palm);
        QPainterPath knuckles;
        for (double x : {-2.8, 0.0, 2.8}) {
            knuckles.moveTo(x, 6);
            knuckles.lineTo(x, 10.6);
        }
        Stroke(p, knuckles, line, 0.6);
        shape(Segment(QPointF(5.4 * thumb, 2.5), QPointF(-0.5 * thumb, 5.2), 4.0, 3.4));
        break;
    }
    }
    p.restore();
}

std::vector<ArmPose> PoseArms(Pose pose)
{
    const QPointF up(0, -1), left(-1, 0), right(1, 0);
    // Arms hanging at her sides, the forearms out of the picture.
    const ArmPose restLeft{LeftShoulder, QPointF(31, 200), QPointF(34, 246), Grip::Hold, 90, left};
    const ArmPose restRight{RightShoulder, QPointF(129, 200), QPointF(126, 246), Grip::Hold, 90, right};
    switch (pose) {
    case Pose::Rest:
        return {restLeft, restRight};
    case Pose::Wave:
        return {restLeft, {RightShoulder, QPointF(147, 178), QPointF(143, 128), Grip::Open, -96, left}};
    case Pose::Clasp:
        return {{LeftShoulder, QPointF(31, 193), QPointF(64, 181), Grip::Hold, -6, up},
                {RightShoulder, QPointF(129, 193), QPointF(96, 182), Grip::Hold, 184, up}};
    case Pose::Book:
        return {{LeftShoulder, QPointF(30, 196), QPointF(49, 185), Grip::Hold, -24, up},
                {RightShoulder, QPointF(130, 196), QPointF(111, 185), Grip::Hold, 204, up}};
    case Pose::Crossed:
        return {{LeftShoulder, QPointF(29, 191), QPointF(104, 177), Grip::Hold, -30, up},
                {RightShoulder, QPointF(131, 190), QPointF(56, 181), Grip::Hold, 206, up}};
    case Pose::Chest:
        // One hand on her heart, the other opened out to an audience.
        return {{LeftShoulder, QPointF(13, 170), QPointF(8, 134), Grip::Open, -98, right},
                {RightShoulder, QPointF(131, 194), QPointF(101, 167), Grip::Hold, 208, up}};
    case Pose::Fist:
        return {restLeft, {RightShoulder, QPointF(137, 192), QPointF(118, 152), Grip::Fist, -112, left}};
    case Pose::Hold:
        return {{LeftShoulder, QPointF(30, 194), QPointF(57, 180), Grip::Hold, -14, up},
                {RightShoulder, QPointF(130, 194), QPointF(103, 180), Grip::Hold, 194, up}};
    }
    return {restLeft, restRight};
}

void Props(QPainter& p, Pose pose)
{
    if (pose == Pose::Book) {
        QPainterPath book;
        book.addRoundedRect(QRectF(56, 160, 48, 40), 2, 2);
        Fill(p, book, QColor(70, 120, 110));
        Poly(p, {QPointF(60, 163), QPointF(101, 163), QPointF(101, 167), QPointF(60, 167)}, QColor(240, 230, 200));
    } else if (pose == Pose::Hold) {
        // A tea bowl of matcha.
        Poly(p, {QPointF(66, 160), QPointF(94, 160), QPointF(90, 186), QPointF(70, 186)}, QColor(240, 240, 236));
        Ellipse(p, QPointF(80, 160), 14, 3, QColor(130, 170, 80));
    }
}

} // namespace

QColor SleeveColour(const Look& look)
{
    return look.clothes == Clothes::Kimono ? QColor(190, 55, 85)
        : look.clothes == Clothes::Jacket ? QColor(90, 104, 80) : Shade(Blouse, -0.03);
}

void UpperArms(QPainter& p, const Look& look)
{
    for (const ArmPose& arm : PoseArms(look.pose)) DrawUpperArm(p, arm, SleeveColour(look));
}

void Forearms(QPainter& p, const Look& look)
{
    const QColor sleeve = SleeveColour(look);
    const QColor cuff = look.clothes == Clothes::Sailor ? Navy : QColor();
    const std::vector<ArmPose> arms = PoseArms(look.pose);
    for (const ArmPose& arm : arms) DrawForearm(p, arm, sleeve, cuff);
    Props(p, look.pose);
    for (const ArmPose& arm : arms) DrawHand(p, arm, look.skin);
}

void Tube(QPainter& p, QPointF from, QPointF to, double width, const QColor& colour)
{
    const QPainterPath limb = Segment(from, to, width, width * 0.8);
    Fill(p, limb.translated(0.5, 0.7), QColor(60, 50, 80, 45));
    Fill(p, limb, colour);
}

} // namespace velmora::art
