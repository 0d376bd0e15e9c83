#include "core/EventPump.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

namespace velmora {

EventPump::EventPump() = default;

EventPump::~EventPump()
{
    if (m_swallowing && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void EventPump::Yield()
{
    ThrowIfEnded();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ThrowIfEnded();
}

void EventPump::WaitForEvents()
{
    // Blocks until at least one event or timer is due, then runs what is pending. A bare
    // processEvents() here would spin a core while the player reads.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    ThrowIfEnded();
}

void EventPump::WakeFromAnyThread()
{
    // A queued call is an event on this thread's loop, and any event ends the wait.
    QMetaObject::invokeMethod(this, [] {}, Qt::QueuedConnection);
}

void EventPump::EndProgram()
{
    if (m_ended) {
        return;
    }
    m_ended = true;
    if (!m_swallowing && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
        m_swallowing = true;
    }
    CloseModalDialogs();
}

void EventPump::Fail(const FatalError& error)
{
    if (!m_failure) {
        m_failure = error;
    }
    EndProgram();
}

void EventPump::ThrowIfEnded() const
{
    if (m_failure) {
        throw *m_failure;
    }
    if (m_ended) {
        throw ProgramEnded{};
    }
}

void EventPump::ReopenForMessages()
{
    if (m_swallowing) {
        QCoreApplication::instance()->removeEventFilter(this);
        m_swallowing = false;
    }
}

bool EventPump::eventFilter(QObject* /*watched*/, QEvent* /*event*/)
{
    return m_swallowing;
}

void EventPump::CloseModalDialogs()
{
    // A message box open when the game ends has its own nested event loop; end it, or the
    // program would hang inside it with every event swallowed.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->done(QDialog::Rejected);
        if (dialog->isVisible()) {
            dialog->hide();
        }
        if (QApplication::activeModalWidget() == dialog) {
            break;
        }
    }
}

} // namespace velmora
