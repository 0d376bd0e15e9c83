#include "app/AfterFirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

namespace velmora {

AfterFirstFrame::AfterFirstFrame(std::function<void()> then) : m_then(std::move(then))
{
    QCoreApplication::instance()->installEventFilter(this);
}

AfterFirstFrame::~AfterFirstFrame()
{
    if (m_armed) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

bool AfterFirstFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (m_armed && event->type() == QEvent::Expose) {
        auto* window = qobject_cast<QWindow*>(watched);
        if (window != nullptr && window->isExposed()) {
            m_armed = false;
            QCoreApplication::instance()->removeEventFilter(this);
            // The window paints in its own handling of this event; the work starts once that
            // frame is out.
            QTimer::singleShot(0, this, [this] {
                m_done = true;
                m_then();
            });
        }
    }
    return false;
}

} // namespace velmora
