#pragma once

#include "core/FatalError.h"

#include <QObject>

#include <optional>

namespace velmora {

// Thrown out of a wait once the player or the system has closed the game: the driver unwinds
// and the program ends cleanly with status 0, without another step.
struct ProgramEnded {};

// The game's one connection to the event loop. Its waits sleep until an event or a timer is
// due, so a game waiting for the player costs next to no CPU; handlers run inside them, one at
// a time, on this thread.
class EventPump : public QObject {
public:
    EventPump();
    ~EventPump() override;
    EventPump(const EventPump&) = delete;
    EventPump& operator=(const EventPump&) = delete;

    // Runs every pending event handler, then returns.
    void Yield();

    // Tests `done` first and then again after each round of events, until it holds.
    template <class Done> void WaitUntil(Done done)
    {
        ThrowIfEnded();
        while (!done()) {
            WaitForEvents();
        }
    }

    // Asked by a close handler: the program ends at once. No further handler runs (every event
    // is swallowed from now on) and the driver unwinds at its next wait.
    void EndProgram();
    // Asked by a handler that met a fatal error; the driver rethrows it at its next wait.
    void Fail(const FatalError& error);
    // Runs a handler body, turning a fatal error into Fail(): errors must not cross Qt's event
    // dispatch.
    template <class Body> void Guard(Body body)
    {
        try {
            body();
        } catch (const FatalError& error) {
            Fail(error);
        }
    }

    bool Ended() const { return m_ended; }
    void ThrowIfEnded() const;
    // Lets events through again, so that a fatal error's message box can be shown.
    void ReopenForMessages();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void WaitForEvents();
    void CloseModalDialogs();

    bool m_ended = false;
    bool m_swallowing = false;
    std::optional<FatalError> m_failure;
};

} // namespace velmora
