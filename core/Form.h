#pragma once

#include <QWidget>

namespace velmora {

class EventPump;

// Why a window is about to close. Only the driver's own unload is a close by code; everything
// else (the close box, the window manager, the session ending) comes from outside.
enum class UnloadMode { ControlMenu, Code, AppWindows, TaskManager };

// The common ground of the game's three windows: a load step after the controls reach their
// design state, and a close-request handler that every close passes through.
class Form : public QWidget {
public:
    explicit Form(EventPump& pump, Qt::WindowFlags flags = {});

    virtual void Form_Load() {}
    virtual void Form_QueryUnload(UnloadMode /*mode*/) {}

protected:
    void closeEvent(QCloseEvent* event) override;

    EventPump& m_pump;
};

} // namespace velmora
