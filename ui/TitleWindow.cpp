#include "ui/TitleWindow.h"

#include "core/CenterWindow.h"
#include "ui/Game.h"
#include "core/MessageBox.h"
#include "record/ClearRecord.h"
#include "ui/ControlClick.h"
#include "ui/Pictures.h"

#include <QMouseEvent>
#include <QPainter>

namespace velmora {

namespace {

struct ButtonDesign {
    const char16_t* caption;
    QRect twips;
};

constexpr std::array<ButtonDesign, 5> kButtons = {{
    {u"はじめから（音楽付き）", QRect(1080, 2520, 1935, 375)},
    {u"はじめから（音楽なし）", QRect(3120, 2520, 1935, 375)},
    {u"クイズから（音楽付き）", QRect(1080, 3000, 1935, 375)},
    {u"クイズから（音楽なし）", QRect(3120, 3000, 1935, 375)},
    {u"全員クリアプレゼントのおしらせ", QRect(1560, 3480, 2895, 375)},
}};

QRect ToPixels(const QRect& twips)
{
    return {twips.x() / kTwipsPerPixel, twips.y() / kTwipsPerPixel, twips.width() / kTwipsPerPixel,
            twips.height() / kTwipsPerPixel};
}

QString ReadRecordText(Game& game)
{
    return ReadClearRecordText(game.services.settings);
}

} // namespace

TitleWindow::TitleWindow(Game& game)
    : Form(game.pump, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                     Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                     Qt::MSWindowsFixedSizeDialogHint),
      m_game(game),
      m_picture(ProgramPicture(QStringLiteral("title.png"), devicePixelRatioF()))
{
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowIcon(ProgramIcon(QStringLiteral("title-icon.png")));
    setFixedSize(5970 / kTwipsPerPixel, 4440 / kTwipsPerPixel);
    for (std::size_t index = 0; index < Command1.size(); ++index) {
        auto* button = new SingleClickButton(QString::fromUtf16(kButtons[index].caption), this);
        button->setGeometry(ToPixels(kButtons[index].twips));
        button->hide();
        const int buttonIndex = static_cast<int>(index);
        connect(button, &QPushButton::clicked, this,
                [this, buttonIndex] { m_game.pump.Guard([&] { Command1_Click(buttonIndex); }); });
        Command1[index] = button;
    }
    Command1[4]->setEnabled(false);
}

void TitleWindow::Form_Load()
{
    CenterWindow(*this);
    m_game.glyphWarmer.Start(devicePixelRatioF());
    // Played once: no timer loops the title music, and MidiName is left for the next game.
    m_game.music.PlayMidi(QStringLiteral("M00S.mid"));
}

void TitleWindow::Form_Click()
{
    Command1[0]->show();
    Command1[1]->show();
    // Each of the two quiz buttons reads the record for itself, as text: anything but exactly
    // "0" means some ending has been seen.
    for (const std::size_t index : {std::size_t{2}, std::size_t{3}}) {
        if (ReadRecordText(m_game) != QLatin1String("0")) {
            Command1[index]->show();
        }
    }
    Command1[4]->show();
    // The number as read, not converted to an integer: "254abc" still counts, 254.4 does not.
    if (ReadNumber(ReadRecordText(m_game)) == AllEndingsSeen) {
        Command1[4]->setEnabled(true);
    }
}

void TitleWindow::Command1_Click(int index)
{
    if (index == 4) {
        ShowMessage(m_game.pump, this, QMessageBox::Information, QStringLiteral("Velmora"),
                    QStringLiteral("全員クリアおめでとうございます。\r\n"
                                   "記念に特製プレゼントを差し上げますので、ホームページにて通常の"
                                   "お申し込み方法で、注文番号「862QX」をご注文ください。"));
        return;
    }
    m_game.state.SkipOpening = index >= 2 ? kTrue : kFalse;
    m_game.state.NoMusic = index % 2 == 1 ? kTrue : kFalse;
    hide();
}

void TitleWindow::Form_QueryUnload(UnloadMode mode)
{
    QueryUnloadEndsProgram(m_game, QStringLiteral("openForm"), mode);
}

void TitleWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_game.pump.Guard([this] { Form_Click(); });
    }
}

void TitleWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double-click is no second click on the picture.
    event->accept();
}

void TitleWindow::paintEvent(QPaintEvent* /*event*/)
{
    // Unscaled from the top-left corner: the picture is a little larger than the client area,
    // and its last columns and rows are simply not seen.
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

} // namespace velmora
