#pragma once

#include "app/Form.h"

#include <QTimer>

namespace velmora {

// mainForm: the window in which the story, the quiz, the ending and the staff roll are shown.
class GameWindow : public Form {
public:
    explicit GameWindow(Game& game);

    void Form_Load() override;
    void Form_QueryUnload(UnloadMode mode) override;
    void Timer1_Timer();

    QTimer* Timer1;
    QTimer* Timer2;
};

} // namespace velmora
