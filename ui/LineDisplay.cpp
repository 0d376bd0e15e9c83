#include "ui/LineDisplay.h"

#include "ui/Game.h"
#include "ui/Fonts.h"
#include "ui/LineBreaking.h"
#include "ui/Pictures.h"

#include <QTimer>

#include <cmath>
#include <utility>

namespace velmora {

namespace {

QString Caption(const QString& locationTitle)
{
    return QStringLiteral("Velmora 【") + locationTitle + QStringLiteral("】");
}

GameWindow& Window(Game& game)
{
    GameWindow* window = game.mainForm.Get();
    if (window == nullptr) {
        throw FatalError(QStringLiteral("A line was to be shown while the game window was closed."));
    }
    return *window;
}

// Icon, text and name: what a story line and a tea-house line share.
void ShowSpeaker(Game& game, GameWindow& window, std::int16_t speaker, const QString& text)
{
    if (speaker < 0 || speaker >= kSpeakerCount) {
        throw FatalError(QStringLiteral("The script names speaker %1, who is not in the cast (0 to 10).").arg(speaker));
    }
    const std::size_t icon = speaker == kThoughtsSpeaker ? 0 : static_cast<std::size_t>(speaker);
    window.Image2->SetPicture(window.icons[icon]->Picture());
    window.Label2->setText(ShownLine(speaker, text));
    window.Label1->setText(game.state.CastName[static_cast<std::size_t>(speaker)]);
    game.history.AddLine(window.Label1->text(), window.Label2->text());
    // A screen reader speaks what has the focus and its changes, not a label elsewhere: the line
    // takes it back from an answer button. Keys it does not use still reach the window.
    window.Label2->setFocus(Qt::OtherFocusReason);
}

// Works out, while the player reads, what the coming line needs: its rows and its speaker's
// name in the labels, its scene picture decoded. It runs on the wait's first turn of the event
// loop, after this line is on screen; a click that comes first finds it done or not yet begun.
void ReadWhileWaiting(Game& game, GameWindow& window, const std::optional<LineAhead>& next)
{
    if (!next) {
        return;
    }
    QTimer::singleShot(0, &window, [&game, &window, coming = *next] {
        game.pump.Guard([&] {
            if (coming.speaker >= 0 && coming.speaker < kSpeakerCount) {
                window.Label2->Prepare(ShownLine(coming.speaker, coming.text));
                window.Label1->Prepare(game.state.CastName[static_cast<std::size_t>(coming.speaker)]);
            }
            if (!coming.pictureCode.isEmpty() && coming.pictureCode != game.CurrentPicture) {
                game.decodedAhead.Prepare(coming.pictureCode + QStringLiteral(".vlq"), window.Image1->devicePixelRatioF());
            }
        });
    });
}

void WaitForClick(Game& game)
{
    game.state.Clicked = kFalse;
    const HistoryWait reading(game.history);
    game.pump.WaitUntil([&] { return game.state.Clicked != 0; });
}

} // namespace

void SayLine(Game& game, std::int16_t speaker, const QString& text, const QString& pictureCode,
             const QString& locationTitle)
{
    GameWindow& window = Window(game);
    const std::optional<LineAhead> next = std::exchange(game.lineAhead, std::nullopt);
    if (pictureCode != game.CurrentPicture) {
        // Loaded first: a picture that fails leaves the caption and CurrentPicture as they were.
        window.Image1->SetPicture(LoadPictureFile(pictureCode + QStringLiteral(".vlq"),
                                                  window.Image1->devicePixelRatioF(), game.decodedAhead));
        window.setWindowTitle(Caption(locationTitle));
        game.CurrentPicture = pictureCode;
    }
    ShowSpeaker(game, window, speaker, text);
    // Clicked is cleared only after this yield, so a click made before the line was on screen
    // cannot skip it.
    game.pump.Yield();
    if (game.state.MidiName != kQuizMusic) {
        ReadWhileWaiting(game, window, next);
        WaitForClick(game);
    } else {
        window.setWindowTitle(Caption(locationTitle));
    }
}

void TeaLine(Game& game, std::int16_t speaker, const QString& text)
{
    GameWindow& window = Window(game);
    const std::optional<LineAhead> next = std::exchange(game.lineAhead, std::nullopt);
    ShowSpeaker(game, window, speaker, text);
    game.pump.Yield();
    ReadWhileWaiting(game, window, next);
    WaitForClick(game);
}

void ShowTeaPicture(Game& game, std::int16_t heroine)
{
    GameWindow& window = Window(game);
    window.Image3->SetPicture(LoadPictureFile(HeroinePictureFile(heroine), window.Image3->devicePixelRatioF()));
    window.Image3->show();
}

void ReadAhead(Game& game, std::optional<LineAhead> next)
{
    game.lineAhead = std::move(next);
}

QString ShownLine(std::int16_t speaker, const QString& text)
{
    return speaker == kThoughtsSpeaker ? QStringLiteral("（") + text + QStringLiteral("）") : text;
}

QString HeroinePictureFile(std::int16_t heroine)
{
    const auto bits = static_cast<std::uint16_t>(heroine);
    return QStringLiteral("S4") + QString::number(bits, 16).toUpper() + QStringLiteral(".vlq");
}

bool FitsLineLabel(const QString& displayedText)
{
    // The text label's inside: its design size less the sunken border on each side.
    constexpr int kBorder = 2;
    constexpr int kInnerWidth = 5235 / 15 - 2 * kBorder;
    constexpr int kInnerHeight = 1095 / 15 - 2 * kBorder;
    const QFontMetricsF metrics(LineFont());
    const int pitch = static_cast<int>(std::ceil(metrics.lineSpacing()));
    const auto lines = BreakLines(displayedText, metrics, kInnerWidth).size();
    return lines * pitch <= kInnerHeight;
}

} // namespace velmora
