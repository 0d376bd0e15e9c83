#include "app/SessionEndWatcher.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace velmora {

namespace {

sigset_t SessionEndSignals()
{
    sigset_t mask;
    sigemptyset(&mask);
    sigaddset(&mask, SIGTERM);
    sigaddset(&mask, SIGHUP);
    sigaddset(&mask, SIGINT);
    return mask;
}

} // namespace

void BlockSessionEndSignals()
{
    const sigset_t mask = SessionEndSignals();
    pthread_sigmask(SIG_BLOCK, &mask, nullptr);
}

SessionEndWatcher::SessionEndWatcher(std::function<void()> onSessionEnd)
    : m_onSessionEnd(std::move(onSessionEnd))
{
    // A signalfd needs no handler and no global state: the mask queue up as readable data.
    const sigset_t mask = SessionEndSignals();
    m_fd = signalfd(-1, &mask, SFD_CLOEXEC | SFD_NONBLOCK);
    if (m_fd < 0) {
        return;
    }
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        signalfd_siginfo info{};
        while (read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        }
        m_onSessionEnd();
    });
}

SessionEndWatcher::~SessionEndWatcher()
{
    if (m_fd >= 0) {
        close(m_fd);
    }
}

} // namespace velmora
