#pragma once

#include <QMouseEvent>
#include <QWidget>

#include <functional>

namespace velmora {

// The game window's controls keep every click from the window below them. A left click released
// over the control reaches `onClick` when the control has one, and is dropped otherwise.
inline void TakeClick(const QWidget& control, QMouseEvent& release, const std::function<void()>& onClick)
{
    release.accept();
    if (onClick && release.button() == Qt::LeftButton && control.rect().contains(release.position().toPoint())) {
        onClick();
    }
}

} // namespace velmora
