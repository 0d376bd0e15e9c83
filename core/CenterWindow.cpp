#include "core/CenterWindow.h"

#include "core/WindowFrame.h"

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

QPoint CenteredClientTopLeft(const QRect& screen, QSize client, const QMargins& frame)
{
    const QSize outer = client.grownBy(frame);
    const auto toTwips = [](int pixels) { return static_cast<float>(pixels * kTwipsPerPixel); };
    const auto toPixels = [](std::int32_t twips) {
        return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
    };
    const int left = toPixels(CenteredEdge(toTwips(screen.width()), toTwips(outer.width())));
    const int top = toPixels(CenteredEdge(toTwips(screen.height()), toTwips(outer.height())));
    return screen.topLeft() + QPoint(left + frame.left(), top + frame.top());
}

void CenterWindow(QWidget& window)
{
    const QMargins frame = ExpectedFrameMargins(window);
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return;
    }
    // Placed by its client area: the frame is not there yet for the window system to place by.
    window.setGeometry(QRect(CenteredClientTopLeft(screen->geometry(), window.size(), frame), window.size()));
}

} // namespace velmora
