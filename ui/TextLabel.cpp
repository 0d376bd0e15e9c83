#include "ui/TextLabel.h"

#include "ui/ControlClick.h"
#include "ui/LineBreaking.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>

#include <cmath>
#include <utility>

namespace velmora {

namespace {

// What a screen reader reads of a TextLabel: a static text whose name is the label's text, so
// that it is spoken (a description is rarely read), with the text interface over the same text.
class TextLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TextLabelAccessible(TextLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    using QAccessibleWidget::text;
    QString text(QAccessible::Text kind) const override
    {
        switch (kind) {
        case QAccessible::Name:
            return Label().text();
        case QAccessible::Description:
            return Label().accessibleName();
        default:
            return QAccessibleWidget::text(kind);
        }
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // The text interface: read-only, without a caret or a selection.
    QString text(int startOffset, int endOffset) const override
    {
        return Label().text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Label().text().size()); }
    void selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    QString attributes(int /*offset*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    const TextLabel& Label() const { return *static_cast<const TextLabel*>(widget()); }
};

QAccessibleInterface* MakeTextLabelAccessible(const QString& /*className*/, QObject* object)
{
    if (auto* label = qobject_cast<TextLabel*>(object)) {
        return new TextLabelAccessible(label);
    }
    return nullptr;
}

} // namespace

TextLabel::TextLabel(QWidget* parent) : QFrame(parent)
{
    // Qt keeps each factory once, however many labels install it.
    QAccessible::installFactory(&MakeTextLabelAccessible);
}

void TextLabel::setText(const QString& text)
{
    if (text == m_text) {
        return;
    }
    const QString previous = m_text;
    m_text = text;
    // Only the inside: the border stays as it was drawn.
    update(contentsRect());
    // Over AT-SPI these become object:text-changed (delete, insert) and
    // object:property-change:accessible-name, which a screen reader speaks for a label in the
    // focused window.
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, previous, m_text);
        QAccessible::updateAccessibility(&changed);
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    }
}

QStringList TextLabel::Lines() const
{
    const int width = contentsRect().width();
    if (!m_current.Fits(m_text, font(), width)) {
        if (m_next.Fits(m_text, font(), width)) {
            m_current = m_next;
        } else {
            m_current = Broken{m_text, font(), width, BreakLines(m_text, QFontMetricsF(font()), width)};
        }
    }
    return m_current.lines;
}

void TextLabel::Prepare(const QString& text)
{
    const int width = contentsRect().width();
    if (!m_next.Fits(text, font(), width)) {
        m_next = Broken{text, font(), width, BreakLines(text, QFontMetricsF(font()), width)};
    }
    const Inside next = InsideFor(text);
    if (CanDrawAhead(next) && next != m_drawnNext.inside && next != m_drawn.inside) {
        m_drawnNext = Draw(next, m_next.lines);
    }
}

TextLabel::Inside TextLabel::InsideFor(const QString& text) const
{
    return Inside{text, font(), contentsRect().size(), devicePixelRatioF(), palette().color(foregroundRole()),
                  palette().color(backgroundRole())};
}

bool TextLabel::CanDrawAhead(const Inside& inside) const
{
    // Copied pixel for pixel only where the label paints its own opaque background and its inside
    // lies on whole device pixels; elsewhere the text is drawn in place.
    return autoFillBackground() && inside.paper.alpha() == 255 && !inside.size.isEmpty() &&
           inside.pixelRatio == std::floor(inside.pixelRatio);
}

TextLabel::Drawn TextLabel::Draw(const Inside& inside, const QStringList& lines) const
{
    QImage image(inside.size * static_cast<int>(inside.pixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(inside.pixelRatio);
    image.fill(inside.paper);
    QPainter painter(&image);
    DrawLines(painter, lines, QPoint(0, 0));
    painter.end();
    return Drawn{inside, std::move(image)};
}

void TextLabel::DrawLines(QPainter& painter, const QStringList& lines, QPoint origin) const
{
    painter.setFont(font());
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF metrics(font());
    qreal baseline = origin.y() + metrics.ascent();
    for (const QString& line : lines) {
        painter.drawText(QPointF(origin.x(), baseline), line);
        baseline += LinePitch();
    }
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
    // The sunken border costs more to draw than the text: it is drawn only when some of it is to
    // be painted, not for every new line.
    if (!contentsRect().contains(event->rect())) {
        QFrame::paintEvent(event);
    }
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setClipRect(area);
    const Inside inside = InsideFor(m_text);
    if (!CanDrawAhead(inside)) {
        DrawLines(painter, Lines(), area.topLeft());
        return;
    }
    if (inside != m_drawn.inside) {
        m_drawn = inside == m_drawnNext.inside ? std::exchange(m_drawnNext, Drawn{}) : Draw(inside, Lines());
    }
    painter.drawImage(area.topLeft(), m_drawn.image);
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

// The label draws no focus mark, but Qt's default repaints it, border and all, whenever the
// focus comes or goes, and a click on the scene takes the focus from the line until the next
// line gives it back.
void TextLabel::focusInEvent(QFocusEvent* /*event*/) {}

void TextLabel::focusOutEvent(QFocusEvent* /*event*/) {}

} // namespace velmora
