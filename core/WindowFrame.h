#pragma once

#include <QMargins>

class QWidget;

namespace velmora {

// The frame (title bar and borders) that the window system will put around a top-level window,
// known before the window is first shown, so that it can be placed by its outer edges at once
// rather than moved once the frame appears. Under an X11 window manager the manager is asked for
// the frame it is about to draw (it answers in a few milliseconds; half a second at most is
// waited); elsewhere it is whatever the platform reports, none on a bare X server. Makes the
// window's native window if it has none yet.
QMargins ExpectedFrameMargins(QWidget& window);

} // namespace velmora
