#include "story/Selection.h"

#include "record/ClearRecord.h"

namespace velmora {

std::int16_t ChooseHeroine(const std::array<std::int16_t, 7>& affection, std::int16_t record)
{
    std::int16_t chosen = 7;
    std::int16_t best = 0;
    for (std::int16_t heroine = 1; heroine <= 6; ++heroine) {
        const std::int16_t points = affection[static_cast<std::size_t>(heroine)];
        if (points > 2 && points > best) {
            chosen = heroine;
            best = points;
            if (BitTest(record, chosen) == 0)
                break;
        }
    }
    return chosen;
}

bool RecordEnding(SettingsStore& store, std::int16_t heroine)
{
    const auto written = store.Update(
        ClearRecordApplication.toString(), ClearRecordSection.toString(),
        ClearRecordKey.toString(), ClearRecordMissing.toString(), [heroine](const QString& stored) {
            // A stored number beyond 16 bits cannot hold endings; it was put there by hand.
            std::int16_t record = ToInt16(ReadNumber(stored)).value_or(0);
            BitSet(record, heroine, 1);
            return ClearRecordText(record);
        });
    return written.has_value();
}

} // namespace velmora
