#include "fakes/HostileFiles.h"
#include "fakes/PictureFolder.h"
#include "fakes/TestGame.h"
#include "ui/LineBreaking.h"
#include "ui/LineDisplay.h"
#include "ui/Pictures.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace velmora;
using velmora::testing::PictureFolder;
using velmora::testing::TestGame;

namespace {

QRect FromTwips(int left, int top, int width, int height)
{
    const auto px = [](int twips) { return qRound(twips / 15.0); };
    return {px(left), px(top), px(width), px(height)};
}

class EventCounter : public QObject {
public:
    EventCounter(QEvent::Type type, int& count) : m_type(type), m_count(count) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        m_count += event->type() == m_type ? 1 : 0;
        return false;
    }

private:
    QEvent::Type m_type;
    int& m_count;
};

} // namespace

class GameWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The design positions, in twips, typed from the layout table.
    void everyControlStandsAtItsDesignPlace_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("design");
        QTest::newRow("Image1") << "Image1" << FromTwips(360, 120, 4530, 3030);
        QTest::newRow("Shape1") << "Shape1" << FromTwips(480, 240, 4575, 3015);
        QTest::newRow("Image3") << "Image3" << FromTwips(2470, 120, 2400, 3000);
        QTest::newRow("Image4") << "Image4" << FromTwips(370, 130, 1350, 3000);
        QTest::newRow("Image2") << "Image2" << FromTwips(120, 3400, 540, 540);
        QTest::newRow("Label1") << "Label1" << FromTwips(720, 3640, 1815, 300);
        QTest::newRow("Label2") << "Label2" << FromTwips(120, 3960, 5235, 1095);
        QTest::newRow("icons(0)") << "icons0" << FromTwips(120, 6360, 495, 495);
        QTest::newRow("icons(1)") << "icons1" << FromTwips(720, 6360, 480, 480);
        QTest::newRow("icons(9)") << "icons9" << FromTwips(5520, 6360, 480, 480);
        QTest::newRow("Command1(0)") << "Command10" << FromTwips(120, 1560, 5175, 495);
        QTest::newRow("Command1(1)") << "Command11" << FromTwips(120, 2040, 5175, 495);
        QTest::newRow("Command1(2)") << "Command12" << FromTwips(120, 2520, 5175, 495);
        QTest::newRow("Sroll1") << "Sroll1" << FromTwips(495, 360, 1935, 240);
        QTest::newRow("Sroll2") << "Sroll2" << FromTwips(495, 840, 1935, 255);
    }
    void everyControlStandsAtItsDesignPlace()
    {
        QFETCH(QString, control);
        QFETCH(QRect, design);
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        const std::map<QString, QWidget*> controls = {
            {"Image1", w.Image1}, {"Shape1", w.Shape1}, {"Image3", w.Image3}, {"Image4", w.Image4},
            {"Image2", w.Image2}, {"Label1", w.Label1}, {"Label2", w.Label2}, {"icons0", w.icons[0]},
            {"icons1", w.icons[1]}, {"icons9", w.icons[9]}, {"Command10", w.Command1[0]},
            {"Command11", w.Command1[1]}, {"Command12", w.Command1[2]}, {"Sroll1", w.Sroll1},
            {"Sroll2", w.Sroll2}};
        QCOMPARE(controls.at(control)->geometry(), design);
    }

    void theWindowLoadsInItsDesignState()
    {
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        QCOMPARE(w.size(), QSize(361, 342));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(w.windowTitle(), QStringLiteral("Velmora"));
        QCOMPARE(w.Label1->text(), QStringLiteral("Label1"));
        QCOMPARE(w.Label2->text(), QStringLiteral("Label2"));
        QVERIFY(w.Image1->Picture().isNull());
        QVERIFY(w.icons[0]->Picture().isNull());
        for (QWidget* hidden : {static_cast<QWidget*>(w.Image3), static_cast<QWidget*>(w.Image4),
                                static_cast<QWidget*>(w.Sroll1), static_cast<QWidget*>(w.Sroll2),
                                static_cast<QWidget*>(w.Command1[0]), static_cast<QWidget*>(w.Command1[2])}) {
            QVERIFY(hidden->isHidden());
        }
        QVERIFY(w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 500);
        QVERIFY(!w.Timer2->isActive());
        QCOMPARE(w.Shape1->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xFF));
        QCOMPARE(w.Sroll2->palette().color(QPalette::WindowText), QColor(0xC0, 0, 0));
        QVERIFY(w.Sroll2->font().bold());
        QVERIFY(!w.Sroll1->font().bold());
        // The icon store lies below the visible client area.
        QVERIFY(w.icons[5]->geometry().top() > w.height());
    }

    // The loop check's tick is all that wakes a game waiting at a line. Catches it ticking through
    // a play without music, where every tick returns at once, and not ticking with music, where a
    // piece that ended would never start again.
    void theLoopTickRunsOnlyForAPlayWithMusic_data()
    {
        QTest::addColumn<std::int16_t>("noMusic");
        QTest::addColumn<bool>("ticking");
        QTest::newRow("music on") << kFalse << true;
        QTest::newRow("music off") << kTrue << false;
    }

    void theLoopTickRunsOnlyForAPlayWithMusic()
    {
        QFETCH(std::int16_t, noMusic);
        QFETCH(bool, ticking);
        TestGame t;
        t.game.state.NoMusic = noMusic;
        GameWindow& w = t.game.mainForm.Load();
        QCOMPARE(w.Timer1->isActive(), ticking);
        QCOMPARE(w.Timer1->interval(), 500);
    }

    // Shadow below the scene, the scene below the heroine and staff-roll pictures, the roll's
    // labels above them and the answer buttons above everything.
    // A click on the scene moves the focus from the line to the window, and the next line moves
    // it back. When the window and the label repainted themselves whole at each change, every
    // click redrew all the pictures, labels and borders before the next line could show.
    void aFocusChangeRepaintsNothing()
    {
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Label2->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();

        int paints = 0;
        EventCounter counter(QEvent::Paint, paints);
        w.Image1->installEventFilter(&counter);
        w.Label2->installEventFilter(&counter);
        w.setFocus(Qt::MouseFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(w.hasFocus());
        w.Label2->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        QVERIFY(w.Label2->hasFocus());
        QCOMPARE(paints, 0);
    }

    // A click on the scene reads on and leaves the focus on the line, where a screen reader
    // follows the story; it still takes the focus from an answer button, so that a key pressed
    // afterwards cannot answer.
    void aClickOnTheSceneTakesTheFocusOnlyFromAButton_data()
    {
        QTest::addColumn<bool>("buttonFocused");
        QTest::newRow("the line has the focus") << false;
        QTest::newRow("an answer button has the focus") << true;
    }
    void aClickOnTheSceneTakesTheFocusOnlyFromAButton()
    {
        QFETCH(bool, buttonFocused);
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Command1[0]->show();
        QWidget* focused = buttonFocused ? static_cast<QWidget*>(w.Command1[0]) : w.Label2;
        focused->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), focused);

        t.game.state.Clicked = kFalse;
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, w.Image1->geometry().bottomRight() - QPoint(20, 20));
        QCOMPARE(t.game.state.Clicked, kTrue);
        QCOMPARE(QApplication::focusWidget(), buttonFocused ? static_cast<QWidget*>(&w) : w.Label2);
    }

    // Most lines keep the speaker, and so the icon, of the line before; repainting the same
    // picture for them was work a click waited for. A new picture must still show.
    void aFrameRepaintsOnlyForAnotherPicture()
    {
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.Image2->SetPicture(w.icons[1]->Picture());
        QCoreApplication::processEvents();

        int iconPaints = 0;
        EventCounter counter(QEvent::Paint, iconPaints);
        w.Image2->installEventFilter(&counter);
        w.Image2->SetPicture(w.icons[1]->Picture());
        QCoreApplication::processEvents();
        QCOMPARE(iconPaints, 0);
        w.Image2->SetPicture(w.icons[2]->Picture());
        QCoreApplication::processEvents();
        QCOMPARE(iconPaints, 1);
        QCOMPARE(w.Image2->Picture().cacheKey(), w.icons[2]->Picture().cacheKey());
    }

    void controlsAreStackedAsDesigned()
    {
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        const QObjectList order = w.children();
        const auto at = [&](QObject* control) { return order.indexOf(control); };
        QVERIFY(at(w.Shape1) < at(w.Image1));
        QVERIFY(at(w.Image1) < at(w.Image3));
        QVERIFY(at(w.Image1) < at(w.Image4));
        QVERIFY(at(w.Image3) < at(w.Sroll1));
        QVERIFY(at(w.Image4) < at(w.Sroll2));
        QVERIFY(at(w.Sroll2) < at(w.Command1[0]));
    }

    // The longest lines the script may pass (74 characters, 76 with the thoughts' brackets) show
    // in full in four rows; anything that needs a fifth row is refused.
    void theTextLabelHoldsFourFullLines()
    {
        const QString longest = QStringLiteral("（") + QString(74, QChar(0x3042)) + QStringLiteral("）");
        QCOMPARE(longest.size(), 76);
        QVERIFY(FitsLineLabel(longest));
        QVERIFY(!FitsLineLabel(QString(150, QChar(0x3042))));

        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        w.Label2->setText(longest);
        QVERIFY(w.Label2->Lines().size() <= 4);
        QCOMPARE(w.Label2->VisibleLineCount(), 4);
    }

    void textThatNeedsAFifthRowDoesNotFit()
    {
        TestGame t;
        GameWindow& w = t.game.mainForm.Load();
        QString text;
        while (w.Label2->Lines().size() < 5) {
            text += QChar(0x3042);
            w.Label2->setText(text);
        }
        QVERIFY(!FitsLineLabel(text));
        QVERIFY(FitsLineLabel(text.chopped(1)));
    }

    void linesNeverStartWithClosingPunctuationOrSmallKana_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width"); // in characters of the label's font
        QTest::newRow("a stop falls at a line start") << QStringLiteral("あいうえお。かきくけこ") << 5;
        QTest::newRow("a comma falls at a line start") << QStringLiteral("あいうえお、かきくけこ") << 5;
        QTest::newRow("a closing bracket") << QStringLiteral("「あいうえ」かきくけこ") << 5;
        QTest::newRow("a small tsu") << QStringLiteral("あいうえおっかきくけ") << 5;
        QTest::newRow("a small ya") << QStringLiteral("しかくいきゃべつです") << 5;
        QTest::newRow("a long vowel mark") << QStringLiteral("あいうえパーティーです") << 5;
        QTest::newRow("two stops in a row") << QStringLiteral("あいうえ……おかきくけ") << 5;
        QTest::newRow("an opening bracket would end a line") << QStringLiteral("あいうえ「おかき」くけこ") << 5;
    }
    void linesNeverStartWithClosingPunctuationOrSmallKana()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        const QFontMetricsF metrics(QFont(QStringLiteral("IPAPGothic"), 12));
        const QStringList lines = BreakLines(text, metrics, width * metrics.horizontalAdvance(QChar(0x3042)) + 0.5);
        QVERIFY(lines.size() > 1);
        QCOMPARE(lines.join(QString()), text);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QVERIFY2(i == 0 || !MayNotStartLine(lines[i].toUcs4().constFirst()), qPrintable(lines.join('|')));
            QVERIFY2(i == lines.size() - 1 || !MayNotEndLine(lines[i].toUcs4().constLast()), qPrintable(lines.join('|')));
            QVERIFY2(metrics.horizontalAdvance(lines[i]) <= width * metrics.horizontalAdvance(QChar(0x3042)) + 0.5,
                     qPrintable(lines.join('|')));
        }
    }

    void anAsciiWordStaysWholeWhenItCan()
    {
        const QFontMetricsF metrics(QFont(QStringLiteral("IPAPGothic"), 12));
        const QString text = QStringLiteral("あいうえおかきぬるが7721です");
        const QStringList lines = BreakLines(text, metrics, metrics.horizontalAdvance(QStringLiteral("あいうえおかきく")));
        QVERIFY(std::any_of(lines.begin(), lines.end(), [](const QString& line) { return line.contains(QStringLiteral("7721")); }));
    }

    void picturesAreRecognisedByContentWhateverTheirName_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("PNG") << QByteArray("PNG");
        QTest::newRow("BMP") << QByteArray("BMP");
        QTest::newRow("JPEG") << QByteArray("JPEG");
        QTest::newRow("ICO") << QByteArray("ICO");
    }
    void picturesAreRecognisedByContentWhateverTheirName()
    {
        QFETCH(QByteArray, format);
        PictureFolder folder;
        folder.Write("S01.vlq", QSize(48, 32), format.constData());
        QCOMPARE(LoadPictureFile(QStringLiteral("S01.vlq")).size(), QSize(48, 32));
    }

    // Decoding ahead must never fail in the player's face: a file that cannot be read is left
    // for the load at its line, which reports it as it always did.
    void aPictureThatCannotBeDecodedAheadIsLeftForItsLoad_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("GIF89a but not really");
    }
    void aPictureThatCannotBeDecodedAheadIsLeftForItsLoad()
    {
        QFETCH(QByteArray, bytes);
        PictureFolder folder;
        if (!bytes.isEmpty()) {
            folder.WriteBytes("S07.vlq", bytes);
        }
        DecodedAhead ahead;
        ahead.Prepare(QStringLiteral("S07.vlq"), 1.0);
        QCOMPARE(ahead.Size(), std::size_t{0});
        QVERIFY_THROWS_EXCEPTION(FatalError, LoadPictureFile(QStringLiteral("S07.vlq"), 1.0, ahead));
    }

    // Pictures decoded ahead and never shown (the player closed the game, a line failed) must
    // not pile up; the twice-size drawing is decoded ahead only for a screen that shows it.
    void onlyTheLastFewPicturesDecodedAheadAreKept()
    {
        PictureFolder folder;
        DecodedAhead ahead;
        for (int k = 0; k < 6; ++k) {
            const QString name = QStringLiteral("S%1.vlq").arg(k);
            folder.Write(name, QSize(40 + k, 30));
            folder.Write(TwiceSizeName(name), QSize(80 + 2 * k, 60));
            ahead.Prepare(name, k < 2 ? 2.0 : 1.0);
        }
        QCOMPARE(ahead.Size(), DecodedAhead::kKept);
        QCOMPARE(LoadPictureFile(QStringLiteral("S5.vlq"), 1.0, ahead).size(), QSize(45, 30));
        QCOMPARE(ahead.Size(), DecodedAhead::kKept - 1);
        // S0 and its twice-size drawing were the oldest; decoding it again is the fallback.
        QCOMPARE(LoadPictureFile(QStringLiteral("S0.vlq"), 2.0, ahead).size(), QSize(80, 60));
        QCOMPARE(ahead.Size(), DecodedAhead::kKept - 1);
    }

    // Qt writes no GIF, so this one is a 1 x 1 picture spelled out byte by byte.
    void aGifIsRecognisedByContentToo()
    {
        PictureFolder folder;
        const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                           "!\xf9\x04\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                           "\x00\x02\x02D\x01\x00;";
        folder.WriteBytes("S03.vlq", QByteArray(gif, sizeof gif - 1));
        QCOMPARE(LoadPictureFile(QStringLiteral("S03.vlq")).size(), QSize(1, 1));
    }

    void aFileThatIsNoPictureIsFatalAndNamed()
    {
        PictureFolder folder;
        folder.WriteBytes("S02.vlq", QByteArray("this is not a picture"));
        try {
            LoadPictureFile(QStringLiteral("S02.vlq"));
            QFAIL("garbage was taken for a picture");
        } catch (const FatalError& error) {
            QVERIFY(error.Message().contains(QStringLiteral("S02.vlq")));
        }
    }

    void twiceSizePictureIsShownOnlyWhereTheScreenCallsForIt_data()
    {
        QTest::addColumn<qreal>("screenRatio");
        QTest::addColumn<QString>("twiceFile");
        QTest::addColumn<bool>("sharp");
        // An ordinary screen would waste memory and lose nothing to the design-size picture.
        QTest::newRow("an ordinary screen keeps the design-size picture") << 1.0 << "fits" << false;
        QTest::newRow("a screen scaled to 200 % takes the twice-size one") << 2.0 << "fits" << true;
        QTest::newRow("a screen scaled to 150 % takes the twice-size one") << 1.5 << "fits" << true;
        // Content replaced by hand without its twice-size file must keep working.
        QTest::newRow("a missing twice-size file falls back") << 2.0 << "missing" << false;
        // A stale twice-size file beside a replaced picture would show the wrong picture.
        QTest::newRow("a twice-size file of another size falls back") << 2.0 << "other size" << false;
        QTest::newRow("an unreadable twice-size file falls back") << 2.0 << "garbage" << false;
    }
    void twiceSizePictureIsShownOnlyWhereTheScreenCallsForIt()
    {
        QFETCH(qreal, screenRatio);
        QFETCH(QString, twiceFile);
        QFETCH(bool, sharp);
        PictureFolder folder;
        folder.Write("S01.vlq", QSize(48, 32), "PNG", Qt::darkCyan);
        if (twiceFile == "fits") {
            folder.Write("S01@2x.vlq", QSize(96, 64), "BMP", Qt::red);
        } else if (twiceFile == "other size") {
            folder.Write("S01@2x.vlq", QSize(90, 64), "PNG", Qt::red);
        } else if (twiceFile == "garbage") {
            folder.WriteBytes("S01@2x.vlq", QByteArray("not a picture"));
        }
        const QPixmap picture = LoadPictureFile(QStringLiteral("S01.vlq"), screenRatio);
        // Whichever is shown, the frame lays it out at the design size.
        QCOMPARE(picture.deviceIndependentSize(), QSizeF(48, 32));
        QCOMPARE(picture.devicePixelRatio(), sharp ? 2.0 : 1.0);
        QCOMPARE(QColor(picture.toImage().pixel(0, 0)), QColor(sharp ? Qt::red : Qt::darkCyan));
    }

    // The design-size file is the one the game is made of; a twice-size file does not stand in.
    void aMissingDesignSizePictureIsFatalEvenBesideItsTwiceSizeOne()
    {
        PictureFolder folder;
        folder.Write("S02@2x.vlq", QSize(600, 400));
        try {
            LoadPictureFile(QStringLiteral("S02.vlq"), 2.0);
            QFAIL("a twice-size file stood in for the missing design-size one");
        } catch (const FatalError& error) {
            QVERIFY(error.Message().contains(QStringLiteral("\"S02.vlq\" is missing")));
        }
    }

    void programPictureComesSharpAtItsDesignSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("title") << "title.png" << QSize(400, 300);
        QTest::newRow("speaker icon") << "speaker9.png" << QSize(32, 32);
        QTest::newRow("staff roll") << "staffroll.png" << QSize(90, 200);
        QTest::newRow("demo sprite") << "demo-d.png" << QSize(58, 88);
    }
    void programPictureComesSharpAtItsDesignSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QPixmap designed = ProgramPicture(name);
        const QPixmap sharp = ProgramPicture(name, 2.0);
        QCOMPARE(designed.size(), size);
        QCOMPARE(designed.devicePixelRatio(), 1.0);
        QCOMPARE(sharp.size(), size * 2);
        QCOMPARE(sharp.deviceIndependentSize(), QSizeF(size));
    }

    // The window system is offered both sizes and picks the one its title bar or task bar needs.
    void windowIconOffersBothDrawings()
    {
        const QIcon icon = ProgramIcon(QStringLiteral("game-icon.png"));
        const QList<QSize> sizes = icon.availableSizes();
        QVERIFY2(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(64, 64)), qPrintable(QString::number(sizes.size())));
    }

    // Catches the loop tick starting the music again under the fatal error's message box.
    void noMusicPlaysWhileAFatalErrorIsShown()
    {
        TestGame test;
        test.game.mainForm.Show();
        test.game.state.MidiName = QStringLiteral("M02S.mid");
        test.game.music.LoopMidi();
        QVERIFY(test.log.contains(QStringLiteral("open M02S.mid")));
        test.log.clear();
        // Three loop ticks pass before the player closes the box.
        QTimer::singleShot(1600, [] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->accept();
        });
        QCOMPARE(ReportFatalError(test.game, FatalError(QStringLiteral("a test error"))), 1);
        QCOMPARE(test.log, QStringList{QStringLiteral("close")});
    }

    // Catches a picture opened by name and read to the end: a pipe froze the game for good, an
    // endless file took its memory.
    void aPictureThatIsNoPlainFileOfBoundedSizeIsFatalAndNamed_data()
    {
        velmora::testing::AddHostileFileRows("the picture as");
    }
    void aPictureThatIsNoPlainFileOfBoundedSizeIsFatalAndNamed()
    {
        QFETCH(velmora::testing::HostileFile, kind);
        PictureFolder folder;
        QVERIFY(velmora::testing::MakeHostileFile(folder.Path("S11.vlq"), kind));
        try {
            LoadPictureFile(QStringLiteral("S11.vlq"));
            QFAIL("the picture was taken");
        } catch (const FatalError& error) {
            QVERIFY2(error.Message().contains(QStringLiteral("S11.vlq")), qPrintable(error.Message()));
            QVERIFY2(error.Message().contains(kind == velmora::testing::HostileFile::HugeSparseFile
                                                  ? QStringLiteral("larger than the 32 MiB")
                                                  : QStringLiteral("not a file")),
                     qPrintable(error.Message()));
        }
    }
};

QTEST_MAIN(GameWindowTest)
#include "test_game_window.moc"
