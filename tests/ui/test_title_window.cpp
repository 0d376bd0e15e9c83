#include "fakes/TestGame.h"
#include "ui/Fonts.h"
#include "ui/Pictures.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>


using namespace velmora;
using velmora::testing::TestGame;

namespace {

// The title screen as the driver shows it, over a chosen clear record (none when null).
struct Title {
    explicit Title(const QString& record = QString(), std::int16_t noMusic = kFalse)
    {
        if (!record.isNull()) {
            SetRecord(record);
        }
        t.game.state.NoMusic = noMusic;
        t.game.state.MidiName = QStringLiteral("M02S.mid");
        t.game.openForm.Show();
    }
    void SetRecord(const QString& text)
    {
        t.settings.values.insert(FakeSettingsStore::Path("Tarnel", "Velmora", "Exp"), text);
    }
    TitleWindow& Window() { return *t.game.openForm.Get(); }
    QPushButton* Button(int index) { return Window().Command1.at(static_cast<std::size_t>(index)); }
    void ClickPicture() { QTest::mouseClick(&Window(), Qt::LeftButton, {}, QPoint(20, 20)); }

    TestGame t;
};

// Closes every modal message box as soon as it is up, noting what it said.
class MessageCloser : public QObject {
public:
    MessageCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                texts << box->text();
                icons << box->icon();
                box->accept();
            }
        });
        m_timer.start(5);
    }
    QStringList titles;
    QStringList texts;
    QList<QMessageBox::Icon> icons;

private:
    QTimer m_timer;
};

} // namespace

class TitleWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Catches a title screen that shows buttons before the picture is clicked, or a present
    // button that starts out usable.
    void aFreshTitleScreenShowsOnlyItsPicture()
    {
        Title title(QStringLiteral(" 254"));
        for (int index = 0; index < 5; ++index) {
            QVERIFY2(title.Button(index)->isHidden(), qPrintable(QString::number(index)));
        }
        QVERIFY(!title.Button(4)->isEnabled());
        QCOMPARE(title.Window().size(), QSize(398, 296));
        QVERIFY(!title.Window().windowIcon().isNull());
    }

    // Catches a picture scaled to the client area instead of drawn at its own size: the
    // client's corners then show the picture's own pixels at the same places.
    void theTitlePictureIsDrawnUnscaledFromTheTopLeft()
    {
        Title title;
        const QImage picture = ProgramPicture(QStringLiteral("title.png")).toImage();
        QCOMPARE(picture.size(), QSize(400, 300));
        const QImage shown = title.Window().grab().toImage();
        for (const QPoint at : {QPoint(0, 0), QPoint(397, 295), QPoint(200, 40), QPoint(5, 290)}) {
            QCOMPARE(shown.pixelColor(at), picture.pixelColor(at));
        }
    }

    // Catches trimming the record before comparing with "0", a record read as an integer
    // (254.4 would then count) and a lenient reading that gives up on trailing text.
    void theRecordDecidesWhichButtonsAClickReveals_data()
    {
        QTest::addColumn<QString>("record"); // null: no record
        QTest::addColumn<bool>("quizButtons");
        QTest::addColumn<bool>("presentEnabled");
        QTest::newRow("no record: only the starts from the beginning") << QString() << false << false;
        QTest::newRow("\"0\": as no record") << QString(QStringLiteral("0")) << false << false;
        QTest::newRow("\"2\": one ending seen") << QString(QStringLiteral("2")) << true << false;
        QTest::newRow("\" 254\": every ending seen") << QString(QStringLiteral(" 254")) << true << true;
        QTest::newRow("\"254abc\" reads as 254") << QString(QStringLiteral("254abc")) << true << true;
        QTest::newRow("\"252\": six of seven") << QString(QStringLiteral("252")) << true << false;
        QTest::newRow("letters: not \"0\", but no number") << QString(QStringLiteral("abc")) << true << false;
        QTest::newRow("\"0 \" is not exactly \"0\"") << QString(QStringLiteral("0 ")) << true << false;
        QTest::newRow("\"254.4\" is not 254") << QString(QStringLiteral("254.4")) << true << false;
    }
    void theRecordDecidesWhichButtonsAClickReveals()
    {
        QFETCH(QString, record);
        QFETCH(bool, quizButtons);
        QFETCH(bool, presentEnabled);
        Title title(record);
        title.ClickPicture();
        QVERIFY(title.Button(0)->isVisible());
        QVERIFY(title.Button(1)->isVisible());
        QCOMPARE(title.Button(2)->isVisible(), quizButtons);
        QCOMPARE(title.Button(3)->isVisible(), quizButtons);
        QVERIFY(title.Button(4)->isVisible());
        QCOMPARE(title.Button(4)->isEnabled(), presentEnabled);
        // The click starts nothing.
        QVERIFY(title.Window().isVisible());
        QCOMPARE(title.t.game.state.SkipOpening, kFalse);
    }

    // Each click reads the record afresh, and what it revealed stays: catches a handler that
    // sets visibility or enabling from the current record, which would take buttons away.
    void laterClicksOnlyEverAddButtons()
    {
        Title title(QStringLiteral("0"));
        title.ClickPicture();
        QVERIFY(title.Button(2)->isHidden());
        title.SetRecord(QStringLiteral(" 254"));
        title.ClickPicture();
        QVERIFY(title.Button(2)->isVisible());
        QVERIFY(title.Button(4)->isEnabled());
        title.SetRecord(QStringLiteral("0"));
        title.ClickPicture();
        QVERIFY(title.Button(2)->isVisible());
        QVERIFY(title.Button(3)->isVisible());
        QVERIFY(title.Button(4)->isEnabled());
    }

    // Both flags are written by every start button, whatever they held: catches a button that
    // only sets a flag to true, or leaves the window up.
    void eachStartButtonSetsBothFlagsAndHidesTheWindow_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<std::int16_t>("skipOpening");
        QTest::addColumn<std::int16_t>("noMusic");
        QTest::newRow("from the beginning, with music") << 0 << kFalse << kFalse;
        QTest::newRow("from the beginning, without music") << 1 << kFalse << kTrue;
        QTest::newRow("from the quiz, with music") << 2 << kTrue << kFalse;
        QTest::newRow("from the quiz, without music") << 3 << kTrue << kTrue;
    }
    void eachStartButtonSetsBothFlagsAndHidesTheWindow()
    {
        QFETCH(int, index);
        QFETCH(std::int16_t, skipOpening);
        QFETCH(std::int16_t, noMusic);
        Title title(QStringLiteral("2"));
        title.ClickPicture();
        title.t.game.state.SkipOpening = 5;
        title.t.game.state.NoMusic = 5;
        QTest::mouseClick(title.Button(index), Qt::LeftButton);
        QCOMPARE(title.t.game.state.SkipOpening, skipOpening);
        QCOMPARE(title.t.game.state.NoMusic, noMusic);
        QVERIFY(!title.Window().isVisible());
    }

    // Catches a present button that starts a game, hides the window or changes the flags, and a
    // message that can only be seen once.
    void thePresentMessageCanBeReadAgainAndAgainWithoutStartingAGame()
    {
        Title title(QStringLiteral(" 254"));
        title.ClickPicture();
        title.t.game.state.SkipOpening = 5;
        title.t.game.state.NoMusic = 5;
        MessageCloser closer;
        for (int time = 0; time < 3; ++time) {
            QTest::mouseClick(title.Button(4), Qt::LeftButton);
        }
        QCOMPARE(closer.texts.size(), 3);
        QCOMPARE(closer.titles.constFirst(), QStringLiteral("Velmora"));
        QCOMPARE(closer.icons.constFirst(), QMessageBox::Information);
        const QStringList lines = closer.texts.constFirst().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("全員クリアおめでとうございます。"));
        QVERIFY(lines[1].contains(QStringLiteral("「862QX」")));
        QVERIFY(title.Window().isVisible());
        QCOMPARE(title.t.game.state.SkipOpening, std::int16_t{5});
        QCOMPARE(title.t.game.state.NoMusic, std::int16_t{5});
    }

    // Catches title music that goes through the game's music loop (it would change MidiName and
    // be restarted) or that ignores a silent play.
    void loadingPlaysTheTitleMusicOnceLeavingTheGamesPieceAlone_data()
    {
        QTest::addColumn<std::int16_t>("noMusic");
        QTest::addColumn<QStringList>("music");
        QTest::newRow("music on") << kFalse << QStringList{"close", "open M00S.mid", "play"};
        QTest::newRow("music off: silent") << kTrue << QStringList{};
    }
    void loadingPlaysTheTitleMusicOnceLeavingTheGamesPieceAlone()
    {
        QFETCH(std::int16_t, noMusic);
        QFETCH(QStringList, music);
        Title title(QString(), noMusic);
        QStringList log = title.t.log;
        log.removeAll(QStringLiteral("load openForm"));
        QCOMPARE(log, music);
        QCOMPARE(title.t.game.state.MidiName, QStringLiteral("M02S.mid"));
    }

    // The title screen is where the player lingers; the game window's fonts are made ready
    // there, without holding up the title itself.
    void theTitleScreenMakesTheGameFontsReadyWhileItWaits()
    {
        TestGame t;
        t.game.glyphWarmer.Add(JapaneseGothic(11.25), QStringLiteral("修学旅行三日目"));
        t.game.openForm.Show();
        QVERIFY(t.game.glyphWarmer.Running());
        QTRY_VERIFY(t.game.glyphWarmer.Done());
        QVERIFY(!t.game.glyphWarmer.Running());
    }

    // Catches a title screen that keeps buttons revealed from its previous appearance.
    void aTitleScreenShownAgainIsBackInItsDesignState()
    {
        Title title(QStringLiteral(" 254"));
        title.ClickPicture();
        QTest::mouseClick(title.Button(0), Qt::LeftButton);
        title.t.game.openForm.Unload();
        title.t.game.openForm.Show();
        for (int index = 0; index < 5; ++index) {
            QVERIFY(title.Button(index)->isHidden());
        }
        QVERIFY(!title.Button(4)->isEnabled());
    }
};

QTEST_MAIN(TitleWindowTest)
#include "test_title_window.moc"
