#include "ui/PictureFrame.h"

#include <QPainter>

namespace velmora {

PictureFrame::PictureFrame(QWidget* parent) : QFrame(parent) {}

void PictureFrame::SetPicture(const QPixmap& picture)
{
    // Most lines keep the speaker of the line before, and with it the icon: the same picture
    // needs no repaint. A copy of a pixmap keeps its key; a new or changed one gets a new key.
    if (picture.cacheKey() == m_picture.cacheKey() && !picture.isNull()) {
        return;
    }
    const QSize before = m_picture.deviceIndependentSize().toSize();
    m_picture = picture;
    if (picture.isNull()) {
        update();
        return;
    }
    const QSize logical = picture.deviceIndependentSize().toSize();
    if (logical == before) {
        // The frame keeps its size and border; only the picture inside is new.
        update(contentsRect());
        return;
    }
    const int border = 2 * frameWidth();
    resize(logical.width() + border, logical.height() + border);
    update();
}

void PictureFrame::paintEvent(QPaintEvent* event)
{
    // The border is drawn only when some of it is to be painted, not for every new picture.
    if (!contentsRect().contains(event->rect())) {
        QFrame::paintEvent(event);
    }
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
