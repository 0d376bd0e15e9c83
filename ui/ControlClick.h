#pragma once

#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <utility>

namespace velmora {

// A click is one press and release of the left button over a control. The second press of a
// double-click arrives as a double-click event, which Qt's widgets would otherwise treat as one
// more press: neither it nor its release is another click, so a double-click reads one line.
class ClickFilter {
public:
    void Pressed() { m_doubled = false; }
    void DoubleClicked() { m_doubled = true; }
    // Whether the press this release ends was a double-click's second one (asked once per release).
    bool ReleaseEndsDoubleClick() { return std::exchange(m_doubled, false); }
    // Whether this release ends a click of the left button over `control`.
    bool Released(const QWidget& control, const QMouseEvent& release)
    {
        return !ReleaseEndsDoubleClick() && release.button() == Qt::LeftButton &&
               control.rect().contains(release.position().toPoint());
    }

private:
    bool m_doubled = false;
};

// The game window's controls keep every click from the window below them. A left click released
// over the control reaches `onClick` when the control has one, and is dropped otherwise.
inline void TakeClick(const QWidget& control, ClickFilter& filter, QMouseEvent& release,
                      const std::function<void()>& onClick)
{
    release.accept();
    if (filter.Released(control, release) && onClick) {
        onClick();
    }
}

// A push button that a double-click presses once: the second press is swallowed together with
// its release, which therefore reaches neither the button nor the window below it.
class SingleClickButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        m_filter.Pressed();
        QPushButton::mousePressEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        m_filter.DoubleClicked();
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_filter.ReleaseEndsDoubleClick()) {
            event->accept();
            return;
        }
        QPushButton::mouseReleaseEvent(event);
    }

private:
    ClickFilter m_filter;
};

} // namespace velmora
