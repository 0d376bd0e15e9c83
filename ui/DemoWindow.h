#pragma once

#include "core/Form.h"

#include <QLabel>
#include <QLine>
#include <QPixmap>
#include <QTimer>

#include <array>
#include <cstdint>

namespace velmora {

class Game;

class PictureFrame;

// One stroke of the maker's name, in twips of the window's client area.
struct LogoStroke {
    QLine twips;
    QColor colour;
};

// The maker's name "Tarnel" in slanted letters, one colour per letter; strokes 1 to 19 of the
// logo are elements 0 to 18.
const std::array<LogoStroke, 19>& LogoStrokes();

// The left or top edge, in pixels, that puts a window of `windowPixels` in the middle of a
// screen of `screenPixels`, computed in twips as the demo has always done it.
int DemoCentredEdge(int screenPixels, int windowPixels);

// Demoform: the maker's logo, shown once at start in a small borderless black window that hides
// itself when its animation is over. Nothing skips it; a modifier key only silences the jingle.
class DemoWindow : public Form {
    // Declared first so that the controls' set-up below may already use it.
    Game& m_game;

public:
    enum class Pose { A, B, C, D };

    explicit DemoWindow(Game& game);

    void Form_Load() override;
    void Timer1_Timer();
    void Form_KeyDown(Qt::KeyboardModifiers modifiers);

    bool LineVisible(int stroke) const { return m_lineVisible.at(static_cast<std::size_t>(stroke - 1)); }
    // Where the sprite stands, in twips, and which pose it shows.
    QPoint Image1Twips() const { return m_image1Twips; }
    Pose Image1Pose() const { return m_pose; }
    const QPixmap& PosePicture(Pose pose) const { return m_poses.at(static_cast<std::size_t>(pose)); }

    QTimer* Timer1;
    QLabel* Label1;
    PictureFrame* Image1;
    std::int16_t DemoStep = 0;
    bool NoPlayMode = false;

    static constexpr int kLastStep = 23;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ShowStrokes(int first, int last);
    void MoveSprite(QPoint byTwips, Pose pose);

    std::array<bool, 19> m_lineVisible{};
    std::array<QPixmap, 4> m_poses;
    QPoint m_image1Twips;
    Pose m_pose = Pose::A;
};

} // namespace velmora
