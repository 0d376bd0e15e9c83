#include "ui/Fonts.h"
#include "ui/TextLabel.h"

#include <QApplication>
#include <QTest>

#include <functional>

using namespace velmora;

namespace {

const QString kFirst = QStringLiteral("「寝坊した……！　集合は八時だったのに、もう九時を回っている。」");
const QString kSecond = QStringLiteral("清水寺の坂道で、隣のクラスの女の子たちが手を振っていた。");

// A label as the game window makes one (framed, in the line font) inside a window of its own.
struct ShownLabel {
    explicit ShownLabel(bool opaque) : label(&parent)
    {
        parent.resize(400, 120);
        label.setGeometry(8, 8, 349, 73);
        label.setFrameShape(QFrame::Box);
        label.setFont(JapaneseGothic(11.25));
        label.setAutoFillBackground(opaque);
        QPalette palette = label.palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, Qt::black);
        label.setPalette(palette);
    }
    // Shows the window with `text` on the label, as the line on screen.
    bool Show(const QString& text)
    {
        label.setText(text);
        parent.show();
        return QTest::qWaitForWindowExposed(&parent);
    }
    QImage Shot() { return label.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    QWidget parent;
    TextLabel label;
};

// The label as drawn glyph by glyph in its own paint, which is what a copy drawn ahead must match.
QImage DrawnInPlace(const std::function<void(TextLabel&)>& setUp, const QString& text)
{
    ShownLabel shown(false);
    setUp(shown.label);
    shown.Show(text);
    return shown.Shot();
}

} // namespace

class TextLabelTest : public QObject {
    Q_OBJECT

private slots:
    // The copy is made in an off-screen picture of the label's inside: a pixel offset, a lost
    // line or a half-scaled picture on a doubled screen would show as a shifted or blurred line.
    void aTextShowsTheSameWhetherDrawnAheadOrInPlace_data()
    {
        QTest::addColumn<bool>("prepared");
        QTest::newRow("prepared while the last line was read") << true;
        QTest::newRow("shown without warning") << false;
    }
    void aTextShowsTheSameWhetherDrawnAheadOrInPlace()
    {
        QFETCH(bool, prepared);
        ShownLabel shown(true);
        QVERIFY(shown.Show(kFirst));
        if (prepared) {
            shown.label.Prepare(kSecond);
        }
        shown.label.setText(kSecond);

        const QImage shot = shown.Shot();
        QCOMPARE(shot, DrawnInPlace([](TextLabel&) {}, kSecond));
        QVERIFY(shot != DrawnInPlace([](TextLabel&) {}, kFirst));
    }

    // What was drawn ahead belongs to the font, colours and size it was drawn with; a label
    // restyled or resized between preparing and showing must not show the stale picture.
    void aLabelChangedAfterPreparingShowsTheChange_data()
    {
        QTest::addColumn<std::function<void(TextLabel&)>>("change");
        const auto recolour = [](QPalette::ColorRole role, QColor colour) {
            return [role, colour](TextLabel& label) {
                QPalette palette = label.palette();
                palette.setColor(role, colour);
                label.setPalette(palette);
            };
        };
        QTest::newRow("another font") << std::function<void(TextLabel&)>(
            [](TextLabel& label) { label.setFont(JapaneseGothic(9.75, true)); });
        QTest::newRow("another ink") << std::function<void(TextLabel&)>(recolour(QPalette::WindowText, Qt::darkRed));
        QTest::newRow("another paper") << std::function<void(TextLabel&)>(recolour(QPalette::Window, Qt::yellow));
        QTest::newRow("narrower") << std::function<void(TextLabel&)>(
            [](TextLabel& label) { label.resize(label.width() - 120, label.height()); });
    }
    void aLabelChangedAfterPreparingShowsTheChange()
    {
        QFETCH(std::function<void(TextLabel&)>, change);
        ShownLabel shown(true);
        QVERIFY(shown.Show(kFirst));
        shown.label.Prepare(kSecond);
        change(shown.label);
        shown.label.setText(kSecond);

        QCOMPARE(shown.Shot(), DrawnInPlace(change, kSecond));
    }

    // Preparing a line must not disturb the one on screen, which is repainted whenever the
    // window is uncovered while the player reads it.
    void theLineOnScreenRepaintsUnchangedAfterTheNextIsPrepared()
    {
        ShownLabel shown(true);
        QVERIFY(shown.Show(kFirst));
        const QImage before = shown.Shot();
        shown.label.Prepare(kSecond);
        QCOMPARE(shown.Shot(), before);
    }
};

QTEST_MAIN(TextLabelTest)
#include "test_text_label.moc"
