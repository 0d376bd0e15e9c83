#include "fakes/PictureFolder.h"
#include "fakes/TestGame.h"
#include "ui/LineDisplay.h"

#include <QAccessible>
#include <QTest>
#include <QTimer>

using namespace velmora;
using velmora::testing::PictureFolder;
using velmora::testing::TestGame;

namespace {

// Clicks a point of the game window through the window system, so that the click lands on
// whatever control lies there, as the player's would.
void ClickWindowAt(GameWindow& window, QPoint point)
{
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, point);
}

// The player, reading along: while a line waits (Clicked cleared), it clicks `point` every few
// milliseconds; it counts its clicks. Clicking on a timer rather than once keeps the tests free of
// races with the line's own first yield, where a click is dropped by design.
class Reader : public QObject {
public:
    Reader(Game& game, QPoint point) : m_game(game), m_point(point)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (m_game.state.Clicked == 0) {
                ++clicks;
                ClickWindowAt(*m_game.mainForm.Get(), m_point);
            }
        });
        m_timer.start(10);
    }
    int clicks = 0;

private:
    Game& m_game;
    QPoint m_point;
    QTimer m_timer;
};

QPoint CentreOf(const QWidget* control)
{
    return control->geometry().center();
}

struct Scene {
    Scene()
    {
        for (const char* code : {"S01", "S02", "s01", "S31"}) {
            pictures.Write(QString::fromLatin1(code) + ".vlq", QSize(300, 200));
        }
        pictures.Write("S41.vlq", QSize(160, 200));
        pictures.Write("S42.vlq", QSize(150, 190));
        InitNewGame(t.game.state);
        t.game.state.MidiName = QStringLiteral("M02S.mid");
        t.game.mainForm.Show();
        QVERIFY(QTest::qWaitForWindowExposed(t.game.mainForm.Get()));
    }
    GameWindow& Window() { return *t.game.mainForm.Get(); }

    PictureFolder pictures;
    TestGame t;
};

} // namespace

class LineDisplayTest : public QObject {
    Q_OBJECT

private slots:
    void aLineShowsItsSceneCaptionSpeakerAndText()
    {
        Scene s;
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 6, QStringLiteral("寝坊したんでしょ？"), QStringLiteral("S01"), QStringLiteral("ホテルのロビー"));
        }
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【ホテルのロビー】"));
        QCOMPARE(s.Window().Image1->Picture().size(), QSize(300, 200));
        QCOMPARE(s.Window().Label1->text(), QStringLiteral("三島\u3000ゆき"));
        QCOMPARE(s.Window().Label2->text(), QStringLiteral("寝坊したんでしょ？"));
        QCOMPARE(s.Window().Image2->Picture().cacheKey(), s.Window().icons[6]->Picture().cacheKey());
        QCOMPARE(s.t.game.CurrentPicture, QStringLiteral("S01"));
    }

    // Catches a display that reloads the picture or rewrites the caption on every line.
    void theSameCodeTwiceKeepsThePictureAndTheEarlierTitle()
    {
        Scene s;
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 0, QStringLiteral("一"), QStringLiteral("S01"), QStringLiteral("ホテルのロビー"));
        }
        s.pictures.Remove("S01.vlq"); // a reload would now be fatal
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 0, QStringLiteral("二"), QStringLiteral("S01"), QStringLiteral("どこか別の場所"));
        }
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【ホテルのロビー】"));
        QCOMPARE(s.Window().Label2->text(), QStringLiteral("二"));
    }

    void codesThatDifferOnlyInCaseAreDifferentScenes()
    {
        Scene s;
        s.pictures.Write("s01.vlq", QSize(120, 80));
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 0, QStringLiteral("一"), QStringLiteral("S01"), QStringLiteral("ロビー"));
        }
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 0, QStringLiteral("二"), QStringLiteral("s01"), QStringLiteral("小さなロビー"));
        }
        QCOMPARE(s.Window().Image1->Picture().size(), QSize(120, 80));
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【小さなロビー】"));
    }

    void theSpeakerDecidesIconNameAndBrackets_data()
    {
        QTest::addColumn<int>("speaker");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("icon");
        QTest::newRow("the player's thoughts: no icon, no name, brackets") << 10 << QString() << QStringLiteral("（やれやれ）") << false;
        QTest::newRow("the player speaking: no icon, his name") << 0 << QStringLiteral("あ\u3000な\u3000た") << QStringLiteral("やれやれ") << false;
        QTest::newRow("the student: his icon") << 8 << QStringLiteral("ぬるが7721") << QStringLiteral("やれやれ") << true;
        QTest::newRow("the maiko: her icon") << 9 << QStringLiteral("舞妓さん") << QStringLiteral("やれやれ") << true;
    }
    void theSpeakerDecidesIconNameAndBrackets()
    {
        QFETCH(int, speaker);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QFETCH(bool, icon);
        Scene s;
        s.Window().Image2->SetPicture(s.Window().icons[1]->Picture()); // left by an earlier line
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, static_cast<std::int16_t>(speaker), QStringLiteral("やれやれ"), QStringLiteral("S01"), QStringLiteral("ロビー"));
        }
        QCOMPARE(s.Window().Label1->text(), name);
        QCOMPARE(s.Window().Label2->text(), shown);
        QCOMPARE(s.Window().Image2->Picture().cacheKey(),
                 s.Window().icons[icon ? static_cast<std::size_t>(speaker) : 0]->Picture().cacheKey());
        QCOMPARE(s.Window().Image2->Picture().isNull(), !icon || s.Window().icons[static_cast<std::size_t>(speaker)]->Picture().isNull());
    }

    // Catches a line a screen reader cannot speak: the speaker and the line must be labels whose
    // name and text are exactly what the player sees, brackets included.
    void aScreenReaderReadsTheSpeakerAndTheLineAsShown_data()
    {
        QTest::addColumn<int>("speaker");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("line");
        QTest::newRow("the player's thoughts, in brackets and without a name") << 10 << QString() << QStringLiteral("（やれやれ）");
        QTest::newRow("the student, by name") << 8 << QStringLiteral("ぬるが7721") << QStringLiteral("やれやれ");
    }
    void aScreenReaderReadsTheSpeakerAndTheLineAsShown()
    {
        QFETCH(int, speaker);
        QFETCH(QString, name);
        QFETCH(QString, line);
        Scene s;
        s.t.game.state.MidiName = kQuizMusic; // the line returns without waiting
        SayLine(s.t.game, static_cast<std::int16_t>(speaker), QStringLiteral("やれやれ"), QStringLiteral("S31"), QStringLiteral("京都大学"));
        const std::array<std::pair<TextLabel*, QString>, 2> labels = {{{s.Window().Label1, name}, {s.Window().Label2, line}}};
        for (const auto& [label, shown] : labels) {
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(label);
            QVERIFY(read != nullptr);
            QCOMPARE(read->role(), QAccessible::StaticText);
            QCOMPARE(read->text(QAccessible::Name), shown);
            QAccessibleTextInterface* text = read->textInterface();
            QVERIFY(text != nullptr);
            QCOMPARE(text->characterCount(), shown.size());
            QCOMPARE(text->text(0, text->characterCount()), shown);
            QCOMPARE(read->text(QAccessible::Description), label->accessibleName());
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(s.Window().Label2)->text(QAccessible::Description), QStringLiteral("Line"));
    }

    // Under the quiz music the line does not wait, and the caption is rewritten every time, even
    // for the same picture code: the quiz puts its question header there.
    void underTheQuizMusicALineReturnsAtOnceAndRewritesTheCaption()
    {
        Scene s;
        s.t.game.state.MidiName = kQuizMusic;
        s.t.game.state.Clicked = 0;
        SayLine(s.t.game, 8, QStringLiteral("第一問"), QStringLiteral("S31"), QStringLiteral("【問題 1】"));
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【【問題 1】】"));
        SayLine(s.t.game, 8, QStringLiteral("第二問"), QStringLiteral("S31"), QStringLiteral("【問題 2】"));
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【【問題 2】】"));
        QCOMPARE(s.t.game.state.Clicked, std::int16_t{0});
    }

    // Catches clicks that leak through the heroine picture or the name label to the window.
    void whichClicksReadOn_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("readsOn");
        QTest::newRow("the uncovered scene picture") << QStringLiteral("scene") << true;
        QTest::newRow("the text") << QStringLiteral("text") << true;
        QTest::newRow("the window's background") << QStringLiteral("background") << true;
        QTest::newRow("the visible strip of the scene's shadow") << QStringLiteral("shadow") << true;
        QTest::newRow("the heroine picture") << QStringLiteral("heroine") << false;
        QTest::newRow("the name label") << QStringLiteral("name") << false;
        QTest::newRow("the speaker icon") << QStringLiteral("icon") << false;
    }
    void whichClicksReadOn()
    {
        QFETCH(QString, target);
        QFETCH(bool, readsOn);
        Scene s;
        GameWindow& w = s.Window();
        w.Image1->SetPicture(QPixmap(300, 200));
        w.Image3->SetPicture(QPixmap(160, 200));
        w.Image3->show();
        const std::map<QString, QPoint> points = {
            {"scene", w.Image1->geometry().topLeft() + QPoint(40, 100)},
            {"text", CentreOf(w.Label2)},
            {"background", QPoint(w.width() - 3, w.height() - 3)},
            {"shadow", QPoint(w.Shape1->geometry().right() - 2, w.Shape1->geometry().bottom() - 2)},
            {"heroine", CentreOf(w.Image3)},
            {"name", CentreOf(w.Label1)},
            {"icon", CentreOf(w.Image2)},
        };
        s.t.game.state.Clicked = 0;
        ClickWindowAt(w, points.at(target));
        QCOMPARE(s.t.game.state.Clicked != 0, readsOn);
        QCOMPARE(s.t.game.state.Answer, std::int16_t{0});
    }

    void whichKeysReadOn_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readsOn");
        QTest::newRow("Enter") << int{Qt::Key_Return} << QStringLiteral("\r") << true;
        QTest::newRow("space") << int{Qt::Key_Space} << QStringLiteral(" ") << true;
        QTest::newRow("a letter") << int{Qt::Key_A} << QStringLiteral("a") << true;
        QTest::newRow("a digit") << int{Qt::Key_7} << QStringLiteral("7") << true;
        QTest::newRow("Escape") << int{Qt::Key_Escape} << QStringLiteral("\x1b") << true;
        QTest::newRow("Backspace") << int{Qt::Key_Backspace} << QStringLiteral("\b") << true;
        QTest::newRow("an arrow") << int{Qt::Key_Down} << QString() << false;
        QTest::newRow("a function key") << int{Qt::Key_F5} << QString() << false;
        QTest::newRow("Shift alone") << int{Qt::Key_Shift} << QString() << false;
    }
    void whichKeysReadOn()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(bool, readsOn);
        Scene s;
        s.t.game.state.Clicked = 0;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(&s.Window(), &press);
        QCOMPARE(s.t.game.state.Clicked != 0, readsOn);
    }

    // A click made while the line was being set up, before its first yield, must not skip it.
    void aClickQueuedBeforeTheLineIsShownIsDropped()
    {
        Scene s;
        bool early = false;
        // Queued now, handled inside the line's first yield, before the line waits.
        QTimer::singleShot(0, &s.Window(), [&] {
            early = true;
            ClickWindowAt(s.Window(), CentreOf(s.Window().Label2));
        });
        s.t.game.state.Clicked = kTrue; // the reader holds back until the line clears it
        Reader reader(s.t.game, CentreOf(s.Window().Label2));
        SayLine(s.t.game, 0, QStringLiteral("待って"), QStringLiteral("S01"), QStringLiteral("ロビー"));
        QVERIFY(early);
        QCOMPARE(reader.clicks, 1); // the line still waited for a click of its own
    }

    // While a line is read, the next line's rows are worked out and its scene decoded; the next
    // line then shows what its file holds at that moment, as if nothing had been done ahead, and
    // a file gone in between is the designed fatal error.
    void theNextLineIsMadeReadyWhileThisOneIsRead_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QSize>("shown"); // empty: the line is refused
        QTest::addColumn<int>("leftDecoded");
        QTest::newRow("scene unchanged") << "nothing" << QSize(300, 200) << 0;
        QTest::newRow("scene file rewritten") << "rewrite" << QSize(120, 80) << 1;
        QTest::newRow("scene file removed") << "remove" << QSize() << 1;
    }
    void theNextLineIsMadeReadyWhileThisOneIsRead()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QSize, shown);
        QFETCH(int, leftDecoded);
        Scene s;
        const QString next = QStringLiteral("おや、ソファのところにいるのは、隣のクラスの女の子たちじゃないか。");
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            ReadAhead(s.t.game, LineAhead{10, next, QStringLiteral("S02")});
            SayLine(s.t.game, 0, QStringLiteral("一"), QStringLiteral("S01"), QStringLiteral("ロビー"));
        }
        QCOMPARE(s.t.game.decodedAhead.Size(), std::size_t{1});
        QVERIFY(s.Window().Label2->IsPrepared(ShownLine(10, next)));
        QVERIFY(s.Window().Label1->IsPrepared(s.t.game.state.CastName[10]));

        if (meanwhile == QStringLiteral("rewrite")) {
            s.pictures.Write("S02.vlq", QSize(120, 80));
        } else if (meanwhile == QStringLiteral("remove")) {
            s.pictures.Remove("S02.vlq");
        }
        try {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 10, next, QStringLiteral("S02"), QStringLiteral("ソファ"));
            QVERIFY(!shown.isEmpty());
            QCOMPARE(s.Window().Image1->Picture().size(), shown);
            QCOMPARE(s.Window().Label2->Lines().join(QString()), ShownLine(10, next));
        } catch (const FatalError& error) {
            QVERIFY2(shown.isEmpty(), qPrintable(error.Message()));
            QVERIFY(error.Message().contains(QStringLiteral("S02.vlq")));
            QCOMPARE(s.t.game.CurrentPicture, QStringLiteral("S01"));
        }
        QCOMPARE(s.t.game.decodedAhead.Size(), std::size_t(leftDecoded));
    }

    // Under the quiz music lines do not wait, so there is no reading time to use.
    void nothingIsMadeReadyForALineThatDoesNotWait()
    {
        Scene s;
        s.t.game.state.MidiName = kQuizMusic;
        ReadAhead(s.t.game, LineAhead{8, QStringLiteral("第二問"), QStringLiteral("S02")});
        SayLine(s.t.game, 8, QStringLiteral("第一問"), QStringLiteral("S31"), QStringLiteral("【問題 1】"));
        QCoreApplication::processEvents();
        QCOMPARE(s.t.game.decodedAhead.Size(), std::size_t{0});
        QVERIFY(!s.t.game.lineAhead.has_value());
    }

    void aTeaHouseLineWaitsEvenUnderTheQuizMusic()
    {
        Scene s;
        s.t.game.state.MidiName = kQuizMusic;
        s.t.game.state.Clicked = kTrue;
        Reader reader(s.t.game, CentreOf(s.Window().Label2));
        TeaLine(s.t.game, 1, QStringLiteral("ご一緒してもいいですか？"));
        QCOMPARE(reader.clicks, 1);
        QCOMPARE(s.Window().Label2->text(), QStringLiteral("ご一緒してもいいですか？"));
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora")); // no scene change
    }

    void aSecondHeroinePictureReplacesTheFirstAndLeavesTheSceneAlone()
    {
        Scene s;
        s.Window().setWindowTitle(QStringLiteral("Velmora 【茶屋】"));
        s.Window().Label2->setText(QStringLiteral("前の台詞"));
        ShowTeaPicture(s.t.game, 1);
        QVERIFY(s.Window().Image3->isVisible());
        QCOMPARE(s.Window().Image3->Picture().size(), QSize(160, 200));
        ShowTeaPicture(s.t.game, 2);
        QCOMPARE(s.Window().Image3->Picture().size(), QSize(150, 190));
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【茶屋】"));
        QCOMPARE(s.Window().Label2->text(), QStringLiteral("前の台詞"));
    }

    // A missing picture ends the game with a message naming the file, and the caption and the
    // current picture stay those of the previous scene.
    void aMissingPictureIsFatalAndChangesNothing()
    {
        Scene s;
        {
            Reader reader(s.t.game, CentreOf(s.Window().Label2));
            SayLine(s.t.game, 0, QStringLiteral("一"), QStringLiteral("S01"), QStringLiteral("ロビー"));
        }
        try {
            SayLine(s.t.game, 0, QStringLiteral("二"), QStringLiteral("S99"), QStringLiteral("どこにもない場所"));
            QFAIL("a missing picture was shown");
        } catch (const FatalError& error) {
            QVERIFY2(error.Message().contains(QStringLiteral("S99.vlq")), qPrintable(error.Message()));
        }
        QCOMPARE(s.Window().windowTitle(), QStringLiteral("Velmora 【ロビー】"));
        QCOMPARE(s.t.game.CurrentPicture, QStringLiteral("S01"));
    }

    void aMissingHeroinePictureLeavesTheFrameHidden()
    {
        Scene s;
        QVERIFY_THROWS_EXCEPTION(FatalError, ShowTeaPicture(s.t.game, 5));
        QVERIFY(!s.Window().Image3->isVisible());
    }

    void heroinePicturesAreNamedInHexadecimal_data()
    {
        QTest::addColumn<int>("heroine");
        QTest::addColumn<QString>("file");
        QTest::newRow("1") << 1 << QStringLiteral("S41.vlq");
        QTest::newRow("7") << 7 << QStringLiteral("S47.vlq");
        QTest::newRow("10 takes a letter") << 10 << QStringLiteral("S4A.vlq");
        QTest::newRow("-1 takes four digits") << -1 << QStringLiteral("S4FFFF.vlq");
    }
    void heroinePicturesAreNamedInHexadecimal()
    {
        QFETCH(int, heroine);
        QFETCH(QString, file);
        QCOMPARE(HeroinePictureFile(static_cast<std::int16_t>(heroine)), file);
    }

    void aSpeakerOutsideTheCastIsFatal()
    {
        Scene s;
        QVERIFY_THROWS_EXCEPTION(FatalError, TeaLine(s.t.game, 11, QStringLiteral("誰？")));
    }
};

QTEST_MAIN(LineDisplayTest)
#include "test_line_display.moc"
