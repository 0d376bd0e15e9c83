#include "core/GameState.h"

#include "core/FatalError.h"

#include <limits>

namespace velmora {

namespace {

// The blank inside the heroines' names is U+3000; the student's handle has ASCII digits.
constexpr std::array<const char16_t*, kSpeakerCount> kCast = {
    u"あ　な　た",   // 0 the player, speaking
    u"天野　佐智",   // 1
    u"神林　光里",   // 2
    u"鈴木　夕乃",   // 3
    u"早瀬　ちさと", // 4
    u"平林　佐織",   // 5
    u"三島　ゆき",   // 6
    u"時田　奈菜子", // 7, who has no points and wins when nobody else qualifies
    u"ぬるが7721",   // 8 the university student
    u"舞妓さん",     // 9
    u"",             // 10 the player's thoughts: no name, no icon
};

} // namespace

void InitNewGame(GameState& state)
{
    for (int speaker = 0; speaker < kSpeakerCount; ++speaker) {
        state.CastName[static_cast<std::size_t>(speaker)] = QString::fromUtf16(kCast[static_cast<std::size_t>(speaker)]);
    }
    for (std::size_t heroine = 1; heroine <= 6; ++heroine) {
        state.Affection[heroine] = 0;
    }
}

void AddAffection(GameState& state, int slot, std::int16_t points)
{
    if (slot < 0 || slot >= kAffectionSlots) {
        throw FatalError(QStringLiteral("Points were given to heroine %1, who does not exist.").arg(slot));
    }
    auto& value = state.Affection[static_cast<std::size_t>(slot)];
    const int sum = value + points;
    if (slot == 0) {
        value = static_cast<std::int16_t>(std::min(sum, int{std::numeric_limits<std::int16_t>::max()}));
        return;
    }
    if (sum > std::numeric_limits<std::int16_t>::max()) {
        throw FatalError(QStringLiteral("The points of heroine %1 overflowed.").arg(slot));
    }
    value = static_cast<std::int16_t>(sum);
}

} // namespace velmora
