#include "ui/GameWindow.h"

#include "core/CenterWindow.h"
#include "ui/Game.h"
#include "ui/Fonts.h"
#include "ui/Pictures.h"
#include "ui/StaffRoll.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <initializer_list>

namespace velmora {

namespace {

QRect Twips(int left, int top, int width, int height)
{
    const auto pixels = [](int twips) { return qRound(static_cast<double>(twips) / kTwipsPerPixel); };
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

// Colours as the layout gives them, &H00BBGGRR&.
QColor FromBgr(unsigned bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void Sunken(QFrame* frame)
{
    frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

TextLabel* MakeLabel(QWidget* parent, const QRect& geometry, const QString& text, const QFont& font)
{
    auto* label = new TextLabel(parent);
    label->setGeometry(geometry);
    label->setFont(font);
    // Opaque, as the layout's labels are, in the window's own colour: the window beneath then
    // need not be repainted with every line.
    label->setAutoFillBackground(true);
    label->setText(text);
    return label;
}

TextLabel* MakeRollLabel(QWidget* parent, const QRect& geometry, unsigned textBgr, unsigned backBgr, bool bold)
{
    TextLabel* label = MakeLabel(parent, geometry, QString(), JapaneseGothic(9.75, bold));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, FromBgr(textBgr));
    colours.setColor(QPalette::Window, FromBgr(backBgr));
    label->setPalette(colours);
    label->setAutoFillBackground(true);
    label->hide();
    return label;
}

} // namespace

QFont SpeakerFont()
{
    return JapaneseGothic(9);
}

QFont LineFont()
{
    return JapaneseGothic(11.25);
}

bool ProducesCharacter(const QKeyEvent& event)
{
    const QString text = event.text();
    return !text.isEmpty() && event.key() != Qt::Key_Tab && event.key() != Qt::Key_Backtab &&
           text != QStringLiteral("\x7f");
}

GameWindow::GameWindow(Game& game)
    : Form(game.pump, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint),
      m_game(game),
      Shape1(new QWidget(this)),
      Image1(new PictureFrame(this)),
      Image3(new PictureFrame(this)),
      Image4(new PictureFrame(this)),
      Image2(new PictureFrame(this)),
      Label1(MakeLabel(this, Twips(720, 3640, 1815, 300), QStringLiteral("Label1"), SpeakerFont())),
      Label2(MakeLabel(this, Twips(120, 3960, 5235, 1095), QStringLiteral("Label2"), LineFont())),
      Sroll1(nullptr),
      Sroll2(nullptr),
      Timer1(new QTimer(this)),
      Timer2(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(ProgramIcon(QStringLiteral("game-icon.png")));
    setFixedSize(Twips(0, 0, kClientWidthTwips, kClientHeightTwips).size());
    setFocusPolicy(Qt::StrongFocus);

    // The scene picture's light-blue shadow; clicks on its visible strip reach the window.
    Shape1->setGeometry(Twips(480, 240, 4575, 3015));
    QPalette shadow = Shape1->palette();
    shadow.setColor(QPalette::Window, FromBgr(0xFFC0C0));
    Shape1->setPalette(shadow);
    Shape1->setAutoFillBackground(true);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Image1->setGeometry(Twips(360, 120, 4530, 3030));
    Image1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Image1->setLineWidth(1);
    Image1->onClick = [this] { m_game.pump.Guard([this] { Image1_Click(); }); };

    Image3->setGeometry(Twips(2470, 120, 2400, 3000));
    Image3->hide();

    Image4->setGeometry(Twips(370, 130, 1350, 3000));
    Image4->SetPicture(ProgramPicture(QStringLiteral("staffroll.png"), devicePixelRatioF()));
    Image4->hide();

    Image2->setGeometry(Twips(120, 3400, 540, 540));
    Sunken(Image2);
    Sunken(Label1);
    Sunken(Label2);
    Label2->onClick = [this] { m_game.pump.Guard([this] { Label2_Click(); }); };

    // The icon store lies below the visible client area; only its pictures are used.
    for (std::size_t k = 0; k < icons.size(); ++k) {
        auto* icon = new PictureFrame(this);
        if (k == 0) {
            icon->setGeometry(Twips(120, 6360, 495, 495));
        } else {
            const int left = 120 + 600 * static_cast<int>(k);
            icon->setGeometry(Twips(left, 6360, 480, 480));
            icon->SetPicture(ProgramPicture(QStringLiteral("speaker%1.png").arg(k), devicePixelRatioF()));
        }
        icons[k] = icon;
    }

    Sroll1 = MakeRollLabel(this, Twips(495, 360, 1935, 240), 0xFF0000, 0xE0E0E0, false);
    Sroll2 = MakeRollLabel(this, Twips(495, 840, 1935, 255), 0x0000C0, 0xFFFFFF, true);

    const std::array<int, 3> tops = {1560, 2040, 2520};
    for (std::size_t i = 0; i < Command1.size(); ++i) {
        auto* button = new SingleClickButton(this);
        button->setGeometry(Twips(120, tops[i], 5175, 495));
        button->hide();
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this,
                [this, index] { m_game.pump.Guard([this, index] { Command1_Click(index); }); });
        Command1[i] = button;
    }

    // A click on a picture or on the speaker's name leaves the focus on the line, where a screen
    // reader follows the story. Without this the window took the focus for each click and the
    // next line gave it back, two rounds of focus events per click; a click still takes the
    // focus from an answer button, as the line does not hold it then.
    for (QWidget* surface : std::initializer_list<QWidget*>{Image1, Image2, Image3, Label1}) {
        surface->setFocusProxy(Label2);
    }

    Image1->setAccessibleName(QStringLiteral("Scene"));
    Image3->setAccessibleName(QStringLiteral("Heroine"));
    Image2->setAccessibleName(QStringLiteral("Speaker icon"));
    Label1->setAccessibleName(QStringLiteral("Speaker"));
    Label2->setAccessibleName(QStringLiteral("Line"));

    connect(Timer1, &QTimer::timeout, this, [this] { m_game.pump.Guard([this] { Timer1_Timer(); }); });
    connect(Timer2, &QTimer::timeout, this, [this] { m_game.pump.Guard([this] { Timer2_Timer(); }); });
    // The loop check's tick runs from the load, but only when there is music to keep playing: the
    // title screen fixes NoMusic before this window loads, for the whole play, and with it set
    // every tick would return at once; not ticking then keeps a player without music from waking
    // twice a second while reading.
    Timer1->setInterval(500);
    if (m_game.state.NoMusic == kFalse) {
        Timer1->start();
    }
}

void GameWindow::Form_Load()
{
    CenterWindow(*this);
}

void GameWindow::Form_QueryUnload(UnloadMode mode)
{
    QueryUnloadEndsProgram(m_game, QStringLiteral("mainForm"), mode);
}

void GameWindow::Form_Click()
{
    m_game.state.Clicked = kTrue;
}

void GameWindow::Form_KeyPress()
{
    m_game.state.Clicked = kTrue;
}

void GameWindow::Image1_Click()
{
    m_game.state.Clicked = kTrue;
}

void GameWindow::Label2_Click()
{
    m_game.state.Clicked = kTrue;
}

void GameWindow::Command1_Click(int index)
{
    m_game.state.Answer = static_cast<std::int16_t>(index + 1);
}

void GameWindow::Timer1_Timer()
{
    m_game.music.LoopMidi();
}

void GameWindow::Timer2_Timer()
{
    StaffRollTick(m_game);
}

void GameWindow::mousePressEvent(QMouseEvent* event)
{
    m_click.Pressed();
    Form::mousePressEvent(event);
}

void GameWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_click.DoubleClicked();
    event->accept();
}

void GameWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_click.Released(*this, *event)) {
        m_game.pump.Guard([this] { Form_Click(); });
    }
}

void GameWindow::keyPressEvent(QKeyEvent* event)
{
    if (ProducesCharacter(*event)) {
        m_game.pump.Guard([this] { Form_KeyPress(); });
        return;
    }
    Form::keyPressEvent(event);
}

// Nothing in this window is drawn differently with the focus, but Qt's default repaints the whole
// window on every change of it, and every click on the scene moves the focus here from the line
// and the next line moves it back: a full repaint of pictures and labels on each click.
void GameWindow::focusInEvent(QFocusEvent* /*event*/) {}

void GameWindow::focusOutEvent(QFocusEvent* /*event*/) {}

} // namespace velmora
