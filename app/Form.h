#pragma once

#include <QWidget>

namespace velmora {

class Game;

// Why a window is about to close. Only the driver's own unload is a close by code; everything
// else (the close box, the window manager, the session ending) comes from outside.
enum class UnloadMode { ControlMenu, Code, AppWindows, TaskManager };

// The common ground of the game's three windows: a load step after the controls reach their
// design state, and a close-request handler that every close passes through.
class Form : public QWidget {
public:
    explicit Form(Game& game, Qt::WindowFlags flags = {});

    virtual void Form_Load() {}
    virtual void Form_QueryUnload(UnloadMode /*mode*/) {}

protected:
    void closeEvent(QCloseEvent* event) override;

    Game& m_game;
};

// The close handling the title screen and the game window share: the music stops for every
// reason, and a close from outside ends the program.
void QueryUnloadEndsProgram(Game& game, const QString& window, UnloadMode mode);

} // namespace velmora
