#pragma once

#include "core/Form.h"

#include <QPixmap>
#include <QPushButton>

#include <array>

namespace velmora {

class Game;

// openForm: the title screen between games. A click on the picture reveals the start buttons;
// a start button sets the play's choices and hides the window, which ends the driver's wait.
class TitleWindow : public Form {
    // Declared first so that the controls' set-up below may already use it.
    Game& m_game;

public:
    explicit TitleWindow(Game& game);

    void Form_Load() override;
    void Form_Click();
    void Command1_Click(int index);
    void Form_QueryUnload(UnloadMode mode) override;

    std::array<QPushButton*, 5> Command1{};

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_picture;
};

} // namespace velmora
