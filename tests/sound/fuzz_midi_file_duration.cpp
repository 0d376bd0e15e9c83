// Feeds arbitrary bytes to the MIDI file reader that guards the synthesizer: it must answer
// without reading past the bytes, overflowing or looping, and whatever it accepts must have a
// length that is not negative.

#include "sound/MidiFileTiming.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto duration = velmora::MidiFileDuration(bytes);
    if (duration && duration->count() < 0) {
        std::abort();
    }
    return 0;
}
