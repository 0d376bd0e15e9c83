#pragma once

#include "core/Form.h"
#include "ui/ControlClick.h"
#include "ui/PictureFrame.h"
#include "ui/TextLabel.h"

#include <QPushButton>
#include <QTimer>

#include <array>

namespace velmora {

class Game;

// mainForm: the window in which the story, the quiz, the ending and the staff roll are shown.
// Its controls keep the names they have in the game's layout; every load puts them back in
// their design state.
class GameWindow : public Form {
    // Declared first so that the controls' set-up below may already use it.
    Game& m_game;

public:
    explicit GameWindow(Game& game);

    void Form_Load() override;
    void Form_QueryUnload(UnloadMode mode) override;
    void Form_Click();
    void Form_KeyPress();
    void Image1_Click();
    void Label2_Click();
    void Command1_Click(int index);
    void Timer1_Timer();
    void Timer2_Timer();

    // Controls, bottom of the stacking order first.
    QWidget* Shape1;
    PictureFrame* Image1;
    PictureFrame* Image3;
    PictureFrame* Image4;
    PictureFrame* Image2;
    TextLabel* Label1;
    TextLabel* Label2;
    std::array<PictureFrame*, 10> icons{};
    TextLabel* Sroll1;
    TextLabel* Sroll2;
    std::array<QPushButton*, 3> Command1{};
    QTimer* Timer1;
    QTimer* Timer2;

    static constexpr int kClientWidthTwips = 5415;
    static constexpr int kClientHeightTwips = 5130;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ClickFilter m_click;
};

// The fonts of the speaker's name (Label1) and of the line (Label2).
QFont SpeakerFont();
QFont LineFont();

// Whether a key press is one that produces a character (letters, digits, space, Enter, Escape,
// Backspace…), the only keys that read on; arrows, function keys and modifiers alone do not.
bool ProducesCharacter(const QKeyEvent& event);

} // namespace velmora
