#pragma once

#include "ui/ControlClick.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// A text label that wraps Japanese text by the line-breaking rules within its width, starts at
// its top-left corner without indent and clips what does not fit. Like PictureFrame, it keeps
// mouse clicks from the window below and passes them to `onClick` when one is set.
//
// Screen readers see it as a label whose name is its text, also readable through the text
// interface; every new text is announced as a name and a text change. Its accessible name set
// by the window ("Speaker", "Line") tells what the label is, and is reported as its description.
class TextLabel : public QFrame {
    Q_OBJECT

public:
    explicit TextLabel(QWidget* parent);

    void setText(const QString& text);
    const QString& text() const { return m_text; }

    // The lines the current text takes at the label's width and font.
    QStringList Lines() const;
    // Works out now the lines of a text the label is to show next and draws them, so that
    // showing it costs no line breaking and no text drawing; the current text's are kept too.
    void Prepare(const QString& text);
    // Whether showing `text` now would need no line breaking.
    bool IsPrepared(const QString& text) const
    {
        const int width = contentsRect().width();
        return m_next.Fits(text, font(), width) || m_current.Fits(text, font(), width);
    }
    // How many whole lines the label shows.
    int VisibleLineCount() const;
    int LinePitch() const;

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    ClickFilter m_click;
    QString m_text;
    // Lines worked out, with what they were worked out for: a label is painted more often than
    // its text, width or font change, and breaking a line shapes its text several times. One
    // for the current text, one for the text prepared to come next.
    struct Broken {
        QString text;
        QFont font;
        int width = -1;
        QStringList lines;
        bool Fits(const QString& forText, const QFont& forFont, int forWidth) const
        {
            return forWidth == width && forText == text && forFont == font;
        }
    };
    mutable Broken m_current;
    Broken m_next;

    // The inside as drawn for one text: an opaque label's text is drawn once, off screen, and
    // each paint only copies it (shaping and blending the glyphs cost most of a repaint). The
    // picture holds only for what it was drawn for.
    struct Inside {
        QString text;
        QFont font;
        QSize size;
        qreal pixelRatio = 0;
        QColor ink;
        QColor paper;
        bool operator==(const Inside& other) const = default;
    };
    struct Drawn {
        Inside inside;
        QImage image;
    };
    Inside InsideFor(const QString& text) const;
    bool CanDrawAhead(const Inside& inside) const;
    Drawn Draw(const Inside& inside, const QStringList& lines) const;
    void DrawLines(QPainter& painter, const QStringList& lines, QPoint origin) const;
    mutable Drawn m_drawn;
    Drawn m_drawnNext;
};

} // namespace velmora
