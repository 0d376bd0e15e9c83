#pragma once

#include "ui/ControlClick.h"

#include <QFont>
#include <QFrame>
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
    // How many whole lines the label shows.
    int VisibleLineCount() const;
    int LinePitch() const;

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ClickFilter m_click;
    QString m_text;
    // The last lines worked out and what they were worked out for: a label is painted more often
    // than its text, width or font change, and breaking a line shapes its text several times.
    mutable QStringList m_lines;
    mutable QString m_linesText;
    mutable QFont m_linesFont;
    mutable int m_linesWidth = -1;
};

} // namespace velmora
