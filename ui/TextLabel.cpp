#include "ui/TextLabel.h"

#include "ui/LineBreaking.h"

#include <QPainter>

#include <cmath>

namespace velmora {

TextLabel::TextLabel(QWidget* parent) : QFrame(parent) {}

void TextLabel::setText(const QString& text)
{
    m_text = text;
    setAccessibleDescription(text);
    update();
}

QStringList TextLabel::Lines() const
{
    return BreakLines(m_text, QFontMetricsF(font()), contentsRect().width());
}

int TextLabel::LinePitch() const
{
    return static_cast<int>(std::ceil(QFontMetricsF(font()).lineSpacing()));
}

int TextLabel::VisibleLineCount() const
{
    return contentsRect().height() / LinePitch();
}

void TextLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF metrics(font());
    const QRect area = contentsRect();
    qreal baseline = area.top() + metrics.ascent();
    for (const QString& line : Lines()) {
        painter.drawText(QPointF(area.left(), baseline), line);
        baseline += LinePitch();
    }
}

void TextLabel::mousePressEvent(QMouseEvent* event)
{
    m_click.Pressed();
    event->accept();
}

void TextLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_click.DoubleClicked();
    event->accept();
}

void TextLabel::mouseReleaseEvent(QMouseEvent* event)
{
    TakeClick(*this, m_click, *event, onClick);
}

} // namespace velmora
