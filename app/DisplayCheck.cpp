#include "app/DisplayCheck.h"

#include <xcb/xcb.h>

namespace velmora {

namespace {

QString Variable(const char* name) { return qEnvironmentVariable(name); }

} // namespace

std::optional<QString> DisplayProblem()
{
    const QString platform = Variable("QT_QPA_PLATFORM");
    const QString display = Variable("DISPLAY");
    const QString wayland = Variable("WAYLAND_DISPLAY");
    // Another platform (offscreen, vnc, …), or a Wayland session that Qt may pick over X: Qt
    // answers for those.
    const bool x11 = platform.isEmpty() ? wayland.isEmpty() : platform.startsWith(QStringLiteral("xcb"));
    if (!x11) {
        return std::nullopt;
    }
    if (display.isEmpty()) {
        return QStringLiteral("no graphical display (DISPLAY is not set); start the game from a desktop "
                              "session.");
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const int error = xcb_connection_has_error(connection);
    xcb_disconnect(connection);
    if (error == 0) {
        return std::nullopt;
    }
    return QStringLiteral("the graphical display %1 cannot be reached (no X server answers there, or it "
                          "refused the game); start the game from a desktop session.")
        .arg(display);
}

} // namespace velmora
