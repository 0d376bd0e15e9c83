#pragma once

// Shared drawing helpers of the picture generator: one palette, one light (from the upper left),
// one flat style for every picture the game shows.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <functional>
#include <vector>

namespace velmora::art {

// A small deterministic generator: pictures must come out the same on every run.
class Dice {
public:
    explicit Dice(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    double Next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return double(m_state >> 8) / double(1u << 24);
    }
    double Range(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    unsigned m_state;
};

QColor Mix(const QColor& a, const QColor& b, double t);
QColor Shade(const QColor& c, double amount); // < 0 darker, > 0 lighter
QLinearGradient Vertical(double top, double bottom, const QColor& a, const QColor& b);
void Fill(QPainter& p, const QPainterPath& path, const QBrush& brush);
void Ellipse(QPainter& p, QPointF centre, double rx, double ry, const QBrush& brush);
void Poly(QPainter& p, std::initializer_list<QPointF> points, const QBrush& brush);
void Stroke(QPainter& p, const QPainterPath& path, const QColor& c, double width);
void Tree(QPainter& p, QPointF base, double size, const QColor& leaf, Dice& dice);
void SoftShadow(QPainter& p, QPointF centre, double rx, double ry, double alpha = 0.25);

// Draws a picture designed at `size` at `scale` times that size: at `oversample` times more
// and scaled down smoothly, for clean edges at small sizes. Every picture is drawn from shapes,
// so the twice-size one for high-density screens is as sharp as the design-size one.
QImage Render(QSize size, const std::function<void(QPainter&)>& draw, int oversample = 3,
    QImage::Format format = QImage::Format_ARGB32, int scale = 1);

// ---- People ----

enum class HairStyle { LongStraight, Short, Wavy, Bob, Ponytail, LongSweep, TwinTails, Messy, Maiko };
enum class Mouth { Gentle, Grin, Smile, Small, Open, Determined, Calm };
enum class Pose { Rest, Wave, Clasp, Book, Crossed, Chest, Fist, Hold };
enum class Clothes { Sailor, Jacket, Kimono };

struct Look {
    QColor hair;
    QColor eyes;
    QColor accent;          // ribbon, clip, hair ties, flowers
    QColor skin{255, 226, 208};
    HairStyle hairStyle = HairStyle::LongStraight;
    Mouth mouth = Mouth::Gentle;
    Pose pose = Pose::Rest;
    Clothes clothes = Clothes::Sailor;
    bool glasses = false;
    bool clip = false;
    bool ribbon = false;
    bool flower = false;
    bool male = false;
    bool wink = false;
    double brows = 0;       // > 0 raises the inner ends (gentle), < 0 lowers them (determined)
    double headTilt = 0;    // degrees
};

// The cast: heroines 1 to 7, then the student (8) and the maiko (9).
Look CastLook(int speaker);

// A half-length portrait in a 160 × 200 box, head near the top third.
void DrawBust(QPainter& p, const Look& look);

// A small full-length schoolgirl for the logo demo, feet at the bottom of `box`.
void DrawTinyGirl(QPainter& p, QRectF box, bool wandRaised);
// The demo's small creature with its wand, filling `box`.
void DrawCreature(QPainter& p, QRectF box, bool armsRaised);

// ---- Pictures ----

void DrawScene(QPainter& p, const QString& code);       // 300 × 200
void DrawTeaHouseForeground(QPainter& p);                // the table over S40's lower edge
void DrawHeroine(QPainter& p, int heroine);              // 160 × 200, matching S40's right part
void DrawSpeakerIcon(QPainter& p, int speaker);          // 32 × 32 (drawn in a 32 × 32 box)
void DrawTitle(QPainter& p);                             // 400 × 300
void DrawTitleIcon(QPainter& p);                         // 32 × 32
void DrawGameIcon(QPainter& p);                          // 32 × 32
void DrawStaffRoll(QPainter& p);                         // 90 × 200

} // namespace velmora::art
