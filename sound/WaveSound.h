#pragma once

#include <QString>

namespace velmora {

// Short sound effects played beside the music. A sound started while another plays replaces it.
class WaveSound {
public:
    enum Flag : unsigned { Async = 1, NoDefault = 2 };

    virtual ~WaveSound() = default;

    // Starts the wave file `fileName` (relative to the working directory) without blocking.
    // Without NoDefault a missing or unreadable file plays a short alert sound instead; with it,
    // nothing plays.
    virtual void Play(const QString& fileName, unsigned flags) = 0;
};

} // namespace velmora
