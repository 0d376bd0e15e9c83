#include "ui/DemoWindow.h"

#include "core/CenterWindow.h"
#include "ui/Game.h"
#include "sound/WaveSound.h"
#include "ui/PictureFrame.h"
#include "ui/Pictures.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace velmora {

namespace {

// The letters are drawn upright on a baseline at Y 900 and then leaned to the right, a quarter
// twip for every twip above the baseline.
constexpr int kBaseline = 900;

constexpr QPoint Lean(int x, int y)
{
    return {x + (kBaseline - y) / 4, y};
}

constexpr LogoStroke Stroke(int x1, int y1, int x2, int y2, QColor colour)
{
    return {QLine(Lean(x1, y1), Lean(x2, y2)), colour};
}

constexpr QColor kCyan(0, 255, 255);
constexpr QColor kGreen(0, 255, 0);
constexpr QColor kWhite(255, 255, 255);
constexpr QColor kRed(255, 0, 0);
constexpr QColor kMagenta(255, 0, 255);
constexpr QColor kYellow(255, 255, 0);

// Capitals reach up to Y 240, small letters to Y 500; everything ends on the baseline.
constexpr std::array<LogoStroke, 19> kStrokes = {{
    // T
    Stroke(840, 240, 1320, 240, kCyan),
    Stroke(1080, 240, 1080, 900, kCyan),
    // a: a cap, the stem, and a bowl of two strokes
    Stroke(1440, 500, 1770, 500, kGreen),
    Stroke(1770, 500, 1770, 900, kGreen),
    Stroke(1770, 650, 1440, 770, kGreen),
    Stroke(1440, 770, 1770, 900, kGreen),
    // r
    Stroke(1890, 500, 1890, 900, kWhite),
    Stroke(1890, 640, 2020, 500, kWhite),
    Stroke(2020, 500, 2160, 500, kWhite),
    // n
    Stroke(2280, 500, 2280, 900, kRed),
    Stroke(2280, 620, 2400, 500, kRed),
    Stroke(2400, 500, 2610, 500, kRed),
    Stroke(2610, 500, 2610, 900, kRed),
    // e: the bar, a pointed eye above it and the sweep below
    Stroke(2730, 700, 3060, 700, kMagenta),
    Stroke(3060, 700, 2900, 500, kMagenta),
    Stroke(2900, 500, 2730, 760, kMagenta),
    Stroke(2730, 760, 3060, 900, kMagenta),
    // l
    Stroke(3210, 240, 3210, 900, kYellow),
    Stroke(3210, 900, 3330, 840, kYellow),
}};

// What steps 4 to 9 do: a letter appears and the sprite hops.
struct LetterStep {
    int step;
    int firstStroke;
    int lastStroke;
    QPoint moveTwips;
    DemoWindow::Pose pose;
};

constexpr std::array<LetterStep, 6> kLetterSteps = {{
    {4, 1, 2, QPoint(-70, 0), DemoWindow::Pose::B},
    {5, 3, 6, QPoint(70, 0), DemoWindow::Pose::A},
    {6, 7, 9, QPoint(0, -750), DemoWindow::Pose::C},
    {7, 10, 13, QPoint(0, 750), DemoWindow::Pose::A},
    {8, 14, 17, QPoint(0, -750), DemoWindow::Pose::C},
    {9, 18, 19, QPoint(20, 0), DemoWindow::Pose::D},
}};

constexpr int kJingleStep = 1;
constexpr int kYearStep = 13;
constexpr int kTickMilliseconds = 200;

int ToPixels(int twips)
{
    return qRound(static_cast<double>(twips) / kTwipsPerPixel);
}

// The year's face: a proportional Mincho, bold, at 14.25 points of a 96 dots-per-inch screen.
QFont YearFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("IPAPMincho"), QStringLiteral("IPA P明朝"),
                      QStringLiteral("IPAMincho"), QStringLiteral("Noto Serif CJK JP"),
                      QStringLiteral("Source Han Serif JP"), QStringLiteral("DejaVu Serif")});
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(qRound(14.25 * 96.0 / 72.0));
    font.setBold(true);
    return font;
}

} // namespace

const std::array<LogoStroke, 19>& LogoStrokes()
{
    return kStrokes;
}

int DemoCentredEdge(int screenPixels, int windowPixels)
{
    const double twips = screenPixels * kTwipsPerPixel / 2.0 - windowPixels * kTwipsPerPixel / 2.0;
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

DemoWindow::DemoWindow(Game& game)
    : Form(game.pump, Qt::Window | Qt::FramelessWindowHint),
      m_game(game),
      Timer1(new QTimer(this)),
      Label1(new QLabel(QStringLiteral("1998"), this)),
      Image1(new PictureFrame(this)),
      m_poses{ProgramPicture(QStringLiteral("demo-a.png"), devicePixelRatioF()),
              ProgramPicture(QStringLiteral("demo-b.png"), devicePixelRatioF()),
              ProgramPicture(QStringLiteral("demo-c.png"), devicePixelRatioF()),
              ProgramPicture(QStringLiteral("demo-d.png"), devicePixelRatioF())},
      m_image1Twips(120, 240)
{
    setWindowTitle(QStringLiteral("Tarnel"));
    // The animation and the jingle are timed to each other in steps of 200 ms.
    Timer1->setTimerType(Qt::PreciseTimer);
    setFixedSize(3765 / kTwipsPerPixel, 1380 / kTwipsPerPixel);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    Label1->setGeometry(3000 / kTwipsPerPixel, 960 / kTwipsPerPixel, 855 / kTwipsPerPixel,
                        300 / kTwipsPerPixel);
    Label1->setFont(YearFont());
    QPalette green = Label1->palette();
    green.setColor(QPalette::WindowText, QColor(0, 255, 0));
    green.setColor(QPalette::Window, Qt::black);
    Label1->setPalette(green);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image1->move(ToPixels(m_image1Twips.x()), ToPixels(m_image1Twips.y()));

    connect(Timer1, &QTimer::timeout, this, [this] { m_game.pump.Guard([this] { Timer1_Timer(); }); });
}

void DemoWindow::Form_Load()
{
    // Centred by its own reckoning, not with CenterWindow: half the screen less half the window.
    const QScreen* screen = this->screen();
    if (screen != nullptr) {
        const QRect frame = frameGeometry();
        move(screen->geometry().topLeft() +
             QPoint(DemoCentredEdge(screen->size().width(), frame.width()),
                    DemoCentredEdge(screen->size().height(), frame.height())));
    }
    Label1->hide();
    m_lineVisible.fill(false);
    m_image1Twips.setY(800);
    m_pose = Pose::A;
    Image1->SetPicture(PosePicture(Pose::A));
    Image1->move(ToPixels(m_image1Twips.x()), ToPixels(m_image1Twips.y()));
    Timer1->start(kTickMilliseconds);
}

void DemoWindow::Timer1_Timer()
{
    if (DemoStep == kJingleStep && !NoPlayMode) {
        // Without NoDefault: a missing jingle still makes the platform's alert sound.
        m_game.services.sound.Play(QStringLiteral("TARNELDEMO.WAV"), WaveSound::Async);
    }
    for (const LetterStep& letter : kLetterSteps) {
        if (DemoStep == letter.step) {
            ShowStrokes(letter.firstStroke, letter.lastStroke);
            MoveSprite(letter.moveTwips, letter.pose);
        }
    }
    if (DemoStep == kYearStep) {
        Label1->show();
    }
    if (DemoStep == kLastStep) {
        Timer1->stop();
        hide();
    }
    ++DemoStep;
}

void DemoWindow::Form_KeyDown(Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0) {
        return;
    }
    // A short silent sound replaces the jingle, which is how a playing jingle is cut off.
    m_game.services.sound.Play(QStringLiteral("Dummy.wav"), WaveSound::Async | WaveSound::NoDefault);
    NoPlayMode = true;
}

void DemoWindow::ShowStrokes(int first, int last)
{
    for (int stroke = first; stroke <= last; ++stroke) {
        m_lineVisible.at(static_cast<std::size_t>(stroke - 1)) = true;
    }
    update();
}

void DemoWindow::MoveSprite(QPoint byTwips, Pose pose)
{
    Image1->hide();
    m_image1Twips += byTwips;
    Image1->move(ToPixels(m_image1Twips.x()), ToPixels(m_image1Twips.y()));
    m_pose = pose;
    Image1->SetPicture(PosePicture(pose));
    Image1->show();
}

void DemoWindow::keyPressEvent(QKeyEvent* event)
{
    // A modifier pressed alone arrives as its own key, and Qt reports it as held or not
    // depending on what the platform said; the key itself settles it.
    Qt::KeyboardModifiers modifiers = event->modifiers();
    switch (event->key()) {
    case Qt::Key_Shift:
        modifiers |= Qt::ShiftModifier;
        break;
    case Qt::Key_Control:
        modifiers |= Qt::ControlModifier;
        break;
    case Qt::Key_Alt:
        modifiers |= Qt::AltModifier;
        break;
    default:
        break;
    }
    m_game.pump.Guard([this, modifiers] { Form_KeyDown(modifiers); });
}

void DemoWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t index = 0; index < kStrokes.size(); ++index) {
        if (!m_lineVisible.at(index)) {
            continue;
        }
        const QLine& line = kStrokes.at(index).twips;
        painter.setPen(QPen(kStrokes.at(index).colour, 1));
        painter.drawLine(ToPixels(line.x1()), ToPixels(line.y1()), ToPixels(line.x2()), ToPixels(line.y2()));
    }
}

void DemoWindow::showEvent(QShowEvent* event)
{
    Form::showEvent(event);
    // Without a caption bar the window manager may not give it the keyboard on its own, and
    // the modifier keys must reach it.
    activateWindow();
}

} // namespace velmora
