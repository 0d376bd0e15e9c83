#pragma once

#include "sound/WaveSound.h"

#include <QStringList>

namespace velmora::testing {

class RecordingWaveSound : public WaveSound {
public:
    void Play(const QString& fileName, unsigned flags) override
    {
        played << QStringLiteral("%1 %2").arg(fileName).arg(flags);
    }

    QStringList played;
};

} // namespace velmora::testing
