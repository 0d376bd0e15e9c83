#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>

namespace velmora {

// Turns a window of the game taken away from outside into an ordinary close request: another X
// client destroying one of its top-level windows (which sends no close request at all), or the
// game's whole connection to the X server cut (`xdotool windowkill`, the server's own kill), which
// Qt answers by ending the process with status 1. Either is the player's (or the system's) doing,
// so the game ends the way it does when its window is closed, with status 0.
class WindowLossWatcher : public QAbstractNativeEventFilter {
public:
    explicit WindowLossWatcher(std::function<void()> onWindowLost);
    ~WindowLossWatcher() override;
    WindowLossWatcher(const WindowLossWatcher&) = delete;
    WindowLossWatcher& operator=(const WindowLossWatcher&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    std::function<void()> m_onWindowLost;
};

} // namespace velmora
