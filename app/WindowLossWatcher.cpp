#include "app/WindowLossWatcher.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <xcb/xcb.h>

namespace velmora {

namespace {

// Qt ends the process with exit(1) when its X connection breaks; while the application still
// stands, that exit can only be Qt's, so it is turned into the clean end of an outside close.
// (The program's own exits all come after the application is gone.)
void EndCleanlyWhenTheDisplayWentAway()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (application == nullptr) {
        return;
    }
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && x11->connection() != nullptr && xcb_connection_has_error(x11->connection()) != 0) {
        std::fflush(nullptr);
        ::_exit(0);
    }
}

} // namespace

WindowLossWatcher::WindowLossWatcher(std::function<void()> onWindowLost)
    : m_onWindowLost(std::move(onWindowLost))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
    std::atexit(EndCleanlyWhenTheDisplayWentAway);
}

WindowLossWatcher::~WindowLossWatcher()
{
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool WindowLossWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) {
        return false;
    }
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    // A window the game destroys itself (the driver's unload) is gone from Qt before the server's
    // notice arrives; one still standing here was destroyed by someone else.
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window->handle() != nullptr && window->winId() == destroyed->window) {
            m_onWindowLost();
            break;
        }
    }
    return false;
}

} // namespace velmora
