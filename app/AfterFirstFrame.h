#pragma once

#include <QObject>

#include <functional>

namespace velmora {

// Runs `then` once, on the event loop's round after the program's first window has been drawn
// on screen: what the first window does not need waits here, so it does not hold up the window.
class AfterFirstFrame : public QObject {
public:
    explicit AfterFirstFrame(std::function<void()> then);
    ~AfterFirstFrame() override;
    AfterFirstFrame(const AfterFirstFrame&) = delete;
    AfterFirstFrame& operator=(const AfterFirstFrame&) = delete;

    bool Done() const { return m_done; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_then;
    bool m_armed = true;
    bool m_done = false;
};

} // namespace velmora
