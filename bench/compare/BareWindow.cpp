// The floor the game is measured against: a plain Qt Widgets window that shows one line of text,
// shows the next one when clicked, and otherwise blocks in its event loop. It links nothing of
// the game, so its figures are what Qt itself costs on this machine.
#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

class LineWindow : public QWidget {
public:
    LineWindow()
    {
        setWindowTitle(QStringLiteral("Bare"));
        resize(400, 300);
    }

protected:
    void mousePressEvent(QMouseEvent* /*event*/) override
    {
        ++m_line;
        update();
    }
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignLeft | Qt::AlignBottom,
                         QStringLiteral("Line %1 of the story.").arg(m_line));
    }

private:
    int m_line = 1;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    LineWindow window;
    window.show();
    return QApplication::exec();
}
