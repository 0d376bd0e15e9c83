#include "core/CenterWindow.h"
#include "core/FatalError.h"
#include "core/GameState.h"

#include <QTest>

using namespace velmora;

class GameStateTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a reset that clears slot 0 (the count of points given to nobody) or misses a
    // heroine, which would carry the last game's points into the next.
    void aNewGameClearsTheHeroinesPointsButNotSlotZero()
    {
        GameState state;
        state.Affection = {7, 3, 4, 5, 6, 7, 8};
        InitNewGame(state);
        const std::array<std::int16_t, kAffectionSlots> expected = {7, 0, 0, 0, 0, 0, 0};
        QCOMPARE(state.Affection, expected);
    }

    void theCastTableHoldsTheDisplayNames_data()
    {
        QTest::addColumn<int>("speaker");
        QTest::addColumn<QString>("name");
        QTest::newRow("the player, a U+3000 between each letter") << 0 << QStringLiteral("あ\u3000な\u3000た");
        QTest::newRow("heroine 1, U+3000 between family and given name") << 1 << QStringLiteral("天野\u3000佐智");
        QTest::newRow("heroine 4") << 4 << QStringLiteral("早瀬\u3000ちさと");
        QTest::newRow("heroine 7") << 7 << QStringLiteral("時田\u3000奈菜子");
        QTest::newRow("the student, ASCII digits, no blank") << 8 << QStringLiteral("ぬるが7721");
        QTest::newRow("the maiko") << 9 << QStringLiteral("舞妓さん");
        QTest::newRow("the player's thoughts have no name") << 10 << QString();
    }
    void theCastTableHoldsTheDisplayNames()
    {
        QFETCH(int, speaker);
        QFETCH(QString, name);
        GameState state;
        InitNewGame(state);
        QCOMPARE(state.CastName[static_cast<std::size_t>(speaker)], name);
    }

    // Slot 0 gains points in every game and is never reset; a long run must not overflow it.
    void pointsForNobodySaturateInsteadOfOverflowing()
    {
        GameState state;
        state.Affection[0] = 32760;
        AddAffection(state, 0, 20);
        QCOMPARE(state.Affection[0], std::int16_t{32767});
    }

    void pointsForAHeroineOutsideTheCastAreAFatalError()
    {
        GameState state;
        QVERIFY_THROWS_EXCEPTION(FatalError, AddAffection(state, 7, 1));
        QVERIFY_THROWS_EXCEPTION(FatalError, AddAffection(state, -1, 1));
    }

    void centringRoundsHalvesToEvenAndTruncatesTowardZero_data()
    {
        QTest::addColumn<float>("screen");
        QTest::addColumn<float>("window");
        QTest::addColumn<int>("edge");
        QTest::newRow("fits: plain half") << 15360.0F << 5535.0F << 4912;
        QTest::newRow("3 twips too large gives -1, not -2") << 1000.0F << 1003.0F << -1;
        QTest::newRow("1 twip too large gives 0") << 1000.0F << 1001.0F << 0;
        QTest::newRow("difference 2.5 rounds to 2") << 1002.5F << 1000.0F << 1;
        QTest::newRow("difference 3.5 rounds to 4") << 1003.5F << 1000.0F << 2;
        QTest::newRow("difference -2.5 rounds to -2") << 1000.0F << 1002.5F << -1;
        QTest::newRow("exact fit") << 5415.0F << 5415.0F << 0;
    }
    void centringRoundsHalvesToEvenAndTruncatesTowardZero()
    {
        QFETCH(float, screen);
        QFETCH(float, window);
        QFETCH(int, edge);
        QCOMPARE(CenteredEdge(screen, window), edge);
    }

    // Catches a window placed by its client area, so that its title bar and borders hang off
    // centre (11 px low under a 20 px title bar), and a frame counted on the wrong side.
    void theOuterFrameIsCentredAndTheClientSitsInsideIt_data()
    {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QMargins>("frame");
        QTest::addColumn<QPoint>("clientTopLeft");
        QTest::newRow("no frame: the client itself is centred") << QRect(0, 0, 1024, 768) << QSize(398, 296) << QMargins() << QPoint(313, 236);
        QTest::newRow("title bar and borders: the frame at 312,225") << QRect(0, 0, 1024, 768) << QSize(398, 296) << QMargins(1, 20, 1, 1) << QPoint(313, 245);
        QTest::newRow("uneven frame, odd sizes") << QRect(0, 0, 1024, 768) << QSize(361, 342) << QMargins(4, 27, 6, 5) << QPoint(326 + 4, 197 + 27);
        QTest::newRow("a second screen to the right") << QRect(1024, 0, 800, 600) << QSize(361, 342) << QMargins(1, 20, 1, 1) << QPoint(1024 + 218 + 1, 118 + 20);
        QTest::newRow("frame larger than the screen") << QRect(0, 0, 300, 200) << QSize(361, 342) << QMargins(1, 20, 1, 1) << QPoint(-31 + 1, -81 + 20);
    }
    void theOuterFrameIsCentredAndTheClientSitsInsideIt()
    {
        QFETCH(QRect, screen);
        QFETCH(QSize, client);
        QFETCH(QMargins, frame);
        QFETCH(QPoint, clientTopLeft);
        QCOMPARE(CenteredClientTopLeft(screen, client, frame), clientTopLeft);
    }
};

QTEST_GUILESS_MAIN(GameStateTest)
#include "test_game_state.moc"
