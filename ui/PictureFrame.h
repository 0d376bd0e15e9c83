#pragma once

#include "ui/ControlClick.h"

#include <QFrame>
#include <QPixmap>

#include <functional>

namespace velmora {

// A picture frame: shows its picture at the picture's own size from its top-left corner and
// takes that size (plus its border). The size is the logical one: a twice-size drawing marked
// with a pixel ratio of 2 takes its design size and shows every one of its pixels on a screen
// of that ratio. Mouse clicks never pass through it to the window below;
// they reach `onClick` when one is set, and are dropped otherwise.
class PictureFrame : public QFrame {
public:
    explicit PictureFrame(QWidget* parent);

    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return m_picture; }

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickFilter m_click;
    QPixmap m_picture;
};

} // namespace velmora
