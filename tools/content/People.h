#pragma once

// What the portrait, its arms and the demo's little figures share: the uniform's colours and the
// limb drawing. Internal to the picture generator.

#include "tools/content/Paint.h"

namespace velmora::art {

inline const QColor Navy(38, 48, 92);
inline const QColor Blouse(246, 246, 250);
inline const QColor Scarf(214, 52, 68);
inline const QColor Outline(60, 40, 50);

// The colour of a figure's sleeves for its clothes.
QColor SleeveColour(const Look& look);

// The upper arms, drawn over the torso but under the collar so that the collar lies on the
// shoulders; the forearms and hands, drawn last, in front of everything.
void UpperArms(QPainter& p, const Look& look);
void Forearms(QPainter& p, const Look& look);

// A plain rounded limb of even width, for the demo's small figures.
void Tube(QPainter& p, QPointF from, QPointF to, double width, const QColor& colour);

} // namespace velmora::art
