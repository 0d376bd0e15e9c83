#include "ui/StaffRoll.h"

#include "core/CenterWindow.h"
#include "ui/Game.h"
#include "ui/GameWindow.h"

#include <cstdint>

namespace velmora {

namespace {

constexpr int kTickMilliseconds = 1050;
constexpr int kClosingOuterHeightPixels = 3750 / kTwipsPerPixel;
constexpr std::int16_t kLastTick = 56;

struct Page {
    std::int16_t firstTick;
    std::int16_t lastTick;
    const char16_t* heading;
    const char16_t* nameLine;
};

// The credit pages, five ticks each. The handles are the ones story/script/credits.txt lists
// as lines A to E; a test keeps the two in step.
constexpr std::array<Page, 7> kCreditPages = {{
    {10, 14, u"プログラム", StaffNames[0]},
    {15, 19, u"ＣＧ（人物）", StaffNames[0]},
    {20, 24, u"ＣＧ（背景）", StaffNames[1]},
    {25, 29, u"ＢＧＭ", StaffNames[0]},
    {30, 34, u"問題作成／総協力", StaffNames[2]},
    {35, 39, u"出演（京大生）", StaffNames[3]},
    {40, 44, u"渡月橋画像提供", StaffNames[4]},
}};

constexpr std::int16_t kTitlePageLastTick = 9;
constexpr std::int16_t kPauseLastTick = 48;
constexpr std::int16_t kClosingPageLastTick = 54;
constexpr std::int16_t kBackgroundPageFirstTick = 20;

void ShowPage(GameWindow& window, const char16_t* heading, const char16_t* nameLine)
{
    window.Sroll1->setText(QString::fromUtf16(heading));
    window.Sroll2->setText(QString::fromUtf16(nameLine));
}

void ShowLabels(GameWindow& window)
{
    window.Sroll1->show();
    window.Sroll2->show();
}

} // namespace

void PlayStaffRoll(Game& game)
{
    GameWindow& window = game.mainForm.Load();
    // Without the loop timer the ending music plays once and is not restarted.
    window.Timer1->stop();
    // A coarse timer may fire up to 5 % early, which over 56 ticks would cut the roll short
    // by three seconds.
    window.Timer2->setTimerType(Qt::PreciseTimer);
    window.Timer2->setInterval(kTickMilliseconds);
    window.Timer2->start();
    game.state.RollTick = 0;
    game.music.StopMidi();
    game.state.MidiName = QStringLiteral("M04S.mid");
    game.music.LoopMidi();

    // Only the outer height is fixed; the client area is whatever the title bar and borders
    // leave of it, which cuts off the text area below the pictures on any window manager.
    const int decoration = window.frameGeometry().height() - window.geometry().height();
    window.setFixedHeight(kClosingOuterHeightPixels - decoration);
    window.setWindowTitle(QStringLiteral("Velmoor"));
    game.state.RollRunning = kTrue;

    game.pump.Yield();
    game.pump.WaitUntil([&game] { return game.state.RollRunning == 0; });
}

void StaffRollTick(Game& game)
{
    GameWindow* window = game.mainForm.Get();
    if (window == nullptr) {
        return;
    }
    const std::int16_t tick = ++game.state.RollTick;

    if (tick <= kTitlePageLastTick) {
        ShowLabels(*window);
        ShowPage(*window, u"Velmora", u"STAFF");
        return;
    }
    for (const Page& page : kCreditPages) {
        if (tick >= page.firstTick && tick <= page.lastTick) {
            ShowPage(*window, page.heading, page.nameLine);
            if (page.firstTick == kBackgroundPageFirstTick) {
                window->Image4->show();
            }
            return;
        }
    }
    if (tick <= kPauseLastTick) {
        window->Sroll1->hide();
        window->Sroll2->hide();
        return;
    }
    if (tick <= kClosingPageLastTick) {
        ShowLabels(*window);
        ShowPage(*window, u"Velmora", u"END");
        return;
    }
    if (tick < kLastTick) {
        return; // the closing page stays a moment longer
    }
    // Every tick after the last repeats its actions until the driver unloads the window.
    game.state.RollRunning = kFalse;
    game.music.StopMidi();
    window->Sroll1->hide();
    window->Sroll2->hide();
}

} // namespace velmora
