#include "app/AfterFirstFrame.h"

#include <QTest>
#include <QWidget>

using velmora::AfterFirstFrame;

namespace {

class CountingWindow : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* /*event*/) override { ++paints; }
};

} // namespace

class AfterFirstFrameTest : public QObject {
    Q_OBJECT

private slots:
    // Catches deferred start-up work that runs before any window (it would hold up the logo),
    // inside the first window's exposure before it has painted, or again for later windows.
    void theWorkRunsOnceAfterTheFirstWindowHasBeenDrawn()
    {
        int runs = 0;
        int paintsSeen = -1;
        CountingWindow first;
        AfterFirstFrame after([&] {
            ++runs;
            paintsSeen = first.paints;
        });
        QTest::qWait(30);
        QCOMPARE(runs, 0);

        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QTRY_COMPARE(runs, 1);
        QVERIFY(paintsSeen >= 1);
        QVERIFY(after.Done());

        CountingWindow second;
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        QTest::qWait(30);
        QCOMPARE(runs, 1);
    }
};

QTEST_MAIN(AfterFirstFrameTest)
#include "test_after_first_frame.moc"
