#pragma once

#include <cstdint>

class QWidget;

namespace velmora {

inline constexpr int kTwipsPerPixel = 15;

// The left (or top) edge, in twips, that centres a window of `windowTwips` on a screen of
// `screenTwips`: the difference rounded to the nearest integer with halves to even, then halved
// truncating toward zero, so a window 3 twips too large for the screen gets -1, not -2.
std::int32_t CenteredEdge(float screenTwips, float windowTwips);

// Centres the window's outer frame on its screen; its size is left alone.
void CenterWindow(QWidget& window);

} // namespace velmora
