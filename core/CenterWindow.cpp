#include "core/CenterWindow.h"

#include <QScreen>
#include <QWidget>

#include <cmath>

namespace velmora {

std::int32_t CenteredEdge(float screenTwips, float windowTwips)
{
    // nearbyint honours the default rounding mode, which sends halves to the even neighbour.
    const auto difference = static_cast<std::int32_t>(std::nearbyint(screenTwips - windowTwips));
    return difference / 2;
}

void CenterWindow(QWidget& window)
{
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    const QSize screenSize = screen->size();
    const QRect frame = window.frameGeometry();
    const auto toTwips = [](int pixels) { return static_cast<float>(pixels * kTwipsPerPixel); };
    const std::int32_t left = CenteredEdge(toTwips(screenSize.width()), toTwips(frame.width()));
    const std::int32_t top = CenteredEdge(toTwips(screenSize.height()), toTwips(frame.height()));
    const auto toPixels = [](std::int32_t twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
    };
    window.move(screen->geometry().topLeft() + QPoint(toPixels(left), toPixels(top)));
}

} // namespace velmora
