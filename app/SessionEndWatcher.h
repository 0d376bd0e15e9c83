#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace velmora {

// Turns the desktop session's end (SIGTERM, SIGHUP) and an interrupt (SIGINT) into an ordinary
// close request on the event loop, so the game ends the way it does when its window is closed.
// Block the signals with BlockSessionEndSignals() before any thread starts, so that only this
// watcher receives them.
class SessionEndWatcher : public QObject {
public:
    explicit SessionEndWatcher(std::function<void()> onSessionEnd);
    ~SessionEndWatcher() override;
    SessionEndWatcher(const SessionEndWatcher&) = delete;
    SessionEndWatcher& operator=(const SessionEndWatcher&) = delete;

private:
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    std::function<void()> m_onSessionEnd;
};

void BlockSessionEndSignals();

} // namespace velmora
