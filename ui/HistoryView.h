#pragma once

#include <QPointer>
#include <QWidget>

class QMouseEvent;
class QPushButton;
class QTextBrowser;

namespace velmora {

class History;

// The read-back of the game's lines, laid over the game window's whole client area. While the
// game waits for a click or an answer, the wheel turned up, Page Up or Up on the game window
// opens it, scrolled to the newest line. Escape, Enter, a click on it, its close button, and
// the wheel or Page Down past the end close it. While it is open every click, key and wheel
// turn stops here: none reaches the game window, so the wait goes on untouched. Closing the
// game window itself is not held up.
class HistoryView : public QWidget {
    Q_OBJECT

public:
    HistoryView(History& history, QWidget& gameWindow);

    bool IsOpen() const { return isVisible(); }
    void Open();
    void Close();

    QTextBrowser* Text() const { return m_text; }
    QPushButton* CloseButton() const { return m_close; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool OpensHistory(const QEvent& event) const;
    bool ClosesHistory(const QEvent& event) const;
    bool AtEnd() const;
    // A click that closes the history may be the first of a double-click: the second press and
    // its release belong to the history too, though they land on the game window.
    void CloseByClick(const QMouseEvent& release);
    bool SwallowsSecondClick(const QObject& watched, const QEvent& event);

    History& m_history;
    QWidget& m_gameWindow;
    QTextBrowser* m_text;
    QPushButton* m_close;
    QPointer<QWidget> m_focusBefore;
    bool m_afterClosingClick = false;
    bool m_swallowingRelease = false;
    quint64 m_closingClickTime = 0;
};

} // namespace velmora
