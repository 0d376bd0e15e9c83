#include "ui/HistoryView.h"

#include "ui/Fonts.h"
#include "ui/History.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyleHints>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QWheelEvent>

namespace velmora {

namespace {

constexpr int kHeaderHeight = 26;
constexpr int kMargin = 4;

bool IsKey(const QEvent& event, std::initializer_list<int> keys)
{
    if (event.type() != QEvent::KeyPress) {
        return false;
    }
    const int key = static_cast<const QKeyEvent&>(event).key();
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

int WheelTurn(const QEvent& event)
{
    return event.type() == QEvent::Wheel ? static_cast<const QWheelEvent&>(event).angleDelta().y() : 0;
}

} // namespace

HistoryView::HistoryView(History& history, QWidget& gameWindow)
    : QWidget(&gameWindow), m_history(history), m_gameWindow(gameWindow), m_text(new QTextBrowser(this)),
      m_close(new QPushButton(QStringLiteral("閉じる"), this))
{
    setAutoFillBackground(true);
    setGeometry(gameWindow.rect());

    auto* heading = new QLabel(QStringLiteral("これまでの会話"), this);
    heading->setFont(JapaneseGothic(9, true));
    heading->setGeometry(kMargin, 0, width() / 2, kHeaderHeight);

    m_close->setFont(JapaneseGothic(9));
    m_close->setFocusPolicy(Qt::NoFocus);
    m_close->adjustSize();
    m_close->move(width() - m_close->width() - kMargin, (kHeaderHeight - m_close->height()) / 2);
    connect(m_close, &QPushButton::clicked, this, &HistoryView::Close);

    m_text->setGeometry(kMargin, kHeaderHeight, width() - 2 * kMargin, height() - kHeaderHeight - kMargin);
    m_text->setFont(JapaneseGothic(11.25));
    m_text->setOpenLinks(false);
    m_text->setContextMenuPolicy(Qt::PreventContextMenu);
    m_text->setAccessibleName(QStringLiteral("History"));
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);
    m_text->verticalScrollBar()->installEventFilter(this);

    hide();
    gameWindow.installEventFilter(this);
}

void HistoryView::Open()
{
    m_text->setHtml(HistoryRichText(m_history.Entries()));
    m_focusBefore = m_gameWindow.focusWidget();
    setGeometry(m_gameWindow.rect());
    raise();
    show();
    m_text->setFocus(Qt::OtherFocusReason);
    m_text->moveCursor(QTextCursor::End);
    m_text->verticalScrollBar()->setValue(m_text->verticalScrollBar()->maximum());
}

void HistoryView::Close()
{
    hide();
    if (m_focusBefore) {
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    } else {
        m_gameWindow.setFocus(Qt::OtherFocusReason);
    }
}

bool HistoryView::AtEnd() const
{
    const QScrollBar* bar = m_text->verticalScrollBar();
    return bar->value() >= bar->maximum();
}

bool HistoryView::OpensHistory(const QEvent& event) const
{
    if (IsOpen() || !m_history.Waiting() || !m_gameWindow.isVisible()) {
        return false;
    }
    return IsKey(event, {Qt::Key_Up, Qt::Key_PageUp}) || WheelTurn(event) > 0;
}

bool HistoryView::ClosesHistory(const QEvent& event) const
{
    if (IsKey(event, {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})) {
        return true;
    }
    return AtEnd() && (IsKey(event, {Qt::Key_PageDown}) || WheelTurn(event) < 0);
}

void HistoryView::CloseByClick(const QMouseEvent& release)
{
    Close();
    m_afterClosingClick = true;
    m_swallowingRelease = false;
    m_closingClickTime = release.timestamp();
    qApp->installEventFilter(this);
}

bool HistoryView::SwallowsSecondClick(const QObject& watched, const QEvent& event)
{
    if (!m_afterClosingClick || !watched.isWidgetType() ||
        static_cast<const QWidget&>(watched).window() != &m_gameWindow) {
        return false;
    }
    const auto end = [this] {
        m_afterClosingClick = false;
        m_swallowingRelease = false;
        qApp->removeEventFilter(this);
    };
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto interval = static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (static_cast<const QMouseEvent&>(event).timestamp() - m_closingClickTime <= interval) {
            m_swallowingRelease = true;
            return true;
        }
        end();
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (m_swallowingRelease) {
            end();
            return true;
        }
        return false;
    default:
        return false;
    }
}

bool HistoryView::eventFilter(QObject* watched, QEvent* event)
{
    if (SwallowsSecondClick(*watched, *event)) {
        return true;
    }
    if (watched == &m_gameWindow) {
        // The game window's own events: only the opening ones are taken, and only at a wait.
        if (OpensHistory(*event)) {
            Open();
            return true;
        }
        return false;
    }
    if (ClosesHistory(*event)) {
        Close();
        return true;
    }
    // Tab would carry the focus out to the game window's buttons.
    if (IsKey(*event, {Qt::Key_Tab, Qt::Key_Backtab})) {
        return true;
    }
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        CloseByClick(*static_cast<QMouseEvent*>(event));
        return true;
    }
    return false;
}

// Whatever the text area leaves of the keys, the wheel and the mouse ends here, never in the
// game window below.
void HistoryView::keyPressEvent(QKeyEvent* event)
{
    if (ClosesHistory(*event)) {
        Close();
    }
    event->accept();
}

void HistoryView::wheelEvent(QWheelEvent* event)
{
    if (ClosesHistory(*event)) {
        Close();
    }
    event->accept();
}

void HistoryView::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void HistoryView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        CloseByClick(*event);
    }
}

void HistoryView::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

} // namespace velmora
