#pragma once

// What the scene pictures share: one palette, one sky, the hills and the passers-by, and the
// outdoor scenes drawn in their own file. Internal to the picture generator.

#include "tools/content/Paint.h"

namespace velmora::art {

inline const QColor SkyTop(118, 176, 232), SkyLow(214, 236, 248);
inline const QColor Wood(150, 98, 62), WoodDark(104, 66, 44), Plaster(242, 232, 214);
inline const QColor Leaf(96, 150, 86);

void Sky(QPainter& p, double horizon, Dice& dice);
void Hills(QPainter& p, double base, const QColor& colour, double height, double phase);
// A passer-by in silhouette colours, small and simple so the heroines stand out.
void Person(QPainter& p, QPointF feet, double h, const QColor& clothes, const QColor& hair);

void Station(QPainter& p);            // S21
void Campus(QPainter& p);             // S31
void Truck(QPainter& p);              // S32
void TeaHouseBackground(QPainter& p); // S40 without the table

} // namespace velmora::art
