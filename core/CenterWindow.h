#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>

class QWidget;

namespace velmora {

inline constexpr int kTwipsPerPixel = 15;

// The left (or top) edge, in twips, that centres a window of `windowTwips` on a screen of
// `screenTwips`: the difference rounded to the nearest integer with halves to even, then halved
// truncating toward zero, so a window 3 twips too large for the screen gets -1, not -2.
std::int32_t CenteredEdge(float screenTwips, float windowTwips);

// Where the client area of a window of `client` pixels goes so that its outer frame (the client
// grown by `frame`) is centred on `screen`.
QPoint CenteredClientTopLeft(const QRect& screen, QSize client, const QMargins& frame);

// Centres the window's outer frame, title bar and borders included, on its screen before it is
// first shown; its size is left alone.
void CenterWindow(QWidget& window);

} // namespace velmora
