#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <functional>
#include <optional>

namespace velmora {

class SettingsStore;

// The clear record: bit n set once heroine n's tea-house ending has been seen (n = 1 to 7), kept
// in the settings store as text. The game only ever writes even numbers from 2 to 254.
inline constexpr QStringView ClearRecordApplication = u"Tarnel";
inline constexpr QStringView ClearRecordSection = u"Velmora";
inline constexpr QStringView ClearRecordKey = u"Exp";
inline constexpr QStringView ClearRecordMissing = u"0";
inline constexpr std::int16_t AllEndingsSeen = 254;

// The stored text read as a number the lenient way: leading blanks, a sign, digits, a fraction
// and an exponent; whatever follows is ignored, and a text without a number reads 0.
double ReadNumber(QStringView text);

// The nearest 16-bit integer, halves going to the even neighbour; nothing when it does not fit.
std::optional<std::int16_t> ToInt16(double value);

// -1 when bit n of value is set, else 0. Bits 0 to 15; any other n finds nothing.
std::int16_t BitTest(std::int16_t value, std::int16_t n);
// flag 1 sets bit n of value, any other flag clears it. Bits 0 to 15; any other n changes nothing.
void BitSet(std::int16_t& value, std::int16_t n, std::int16_t flag);

// The text the game writes: " N" (the blank stands for the sign), or "-N".
QString ClearRecordText(std::int16_t value);

// Whether the game could have written this stored text: an even integer not above 254. A number
// outside the 16-bit range cannot be read into the record and so is invalid too.
bool IsValidClearRecord(QStringView storedText);

// The stored text, "0" when there is no record.
QString ReadClearRecordText(SettingsStore& store);
// The record as a 16-bit integer; a stored number that does not fit reads as no ending seen.
std::int16_t ReadClearRecord(SettingsStore& store);

// The start-up check: a record the game cannot have written is deleted after the two heroines
// have complained through warn(title, text), in order. The game goes on either way.
void CheckClearRecord(SettingsStore& store,
                      const std::function<void(const QString& title, const QString& text)>& warn);

} // namespace velmora
