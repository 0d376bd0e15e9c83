#pragma once

#include "core/EventPump.h"
#include "ui/Game.h"
#include "fakes/FakeSettingsStore.h"
#include "fakes/RecordingMidiDevice.h"
#include "fakes/RecordingWaveSound.h"
#include "fakes/SequenceRandom.h"

#include <QStringList>

namespace velmora::testing {

// A whole game program on fake services. `log` collects, in one order, the driver's steps, the
// windows' loads and unloads and every music command.
struct TestGame {
    TestGame() { game.trace = [this](const QString& what) { log << what; }; }

    QStringList log;
    velmora::FakeSettingsStore settings;
    RecordingMidiDevice midi{log};
    RecordingWaveSound waves;
    SequenceRandom random;
    EventPump pump;
    Game game{Services{settings, midi, waves, random}, pump};
};

} // namespace velmora::testing
