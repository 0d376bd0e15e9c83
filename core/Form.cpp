#include "core/Form.h"

#include "core/EventPump.h"

#include <QCloseEvent>

namespace velmora {

Form::Form(EventPump& pump, Qt::WindowFlags flags) : QWidget(nullptr, flags), m_pump(pump)
{
    setAttribute(Qt::WA_QuitOnClose, false);
}

void Form::closeEvent(QCloseEvent* event)
{
    // The driver unloads by destroying the window, which sends no close event, so every close
    // event comes from outside: the window manager's (spontaneous) or the session's.
    const UnloadMode mode = event->spontaneous() ? UnloadMode::ControlMenu : UnloadMode::AppWindows;
    m_pump.Guard([&] { Form_QueryUnload(mode); });
    event->accept();
}

} // namespace velmora
