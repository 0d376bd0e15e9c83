#include "ui/PictureFrame.h"

#include <QPainter>

namespace velmora {

PictureFrame::PictureFrame(QWidget* parent) : QFrame(parent) {}

void PictureFrame::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    if (!picture.isNull()) {
        const int border = 2 * frameWidth();
        const QSize logical = picture.deviceIndependentSize().toSize();
        resize(logical.width() + border, logical.height() + border);
    }
    update();
}

void PictureFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull()) {
        return;
    }
    QPainter painter(this);
    // Where the picture's pixel ratio differs from the screen's (a design-size picture at 200 %,
    // a twice-size one at 150 %), it is scaled: smooth it rather than show blocky pixels.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(contentsRect().topLeft(), m_picture.deviceIndependentSize()), m_picture,
                       QRectF(m_picture.rect()));
}

void PictureFrame::mousePressEvent(QMouseEvent* event)
{
    m_click.Pressed();
    event->accept();
}

void PictureFrame::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_click.DoubleClicked();
    event->accept();
}

void PictureFrame::mouseReleaseEvent(QMouseEvent* event)
{
    TakeClick(*this, m_click, *event, onClick);
}

} // namespace velmora
