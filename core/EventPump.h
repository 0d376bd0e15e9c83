#pragma once

#include "core/FatalError.h"

#include <QObject>

#include <exception>
#include <future>
#include <optional>
#include <thread>

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

    // Runs `work` on a thread of its own and waits for its result here, handlers running
    // meanwhile, so a slow disk never freezes the windows. When the program ends during the wait,
    // the work is still let finish (the thread is joined) before ProgramEnded leaves.
    template <class Work> auto RunAside(Work work) -> decltype(work())
    {
        using Result = decltype(work());
        std::promise<Result> promise;
        std::future<Result> result = promise.get_future();
        std::thread worker([&] {
            try {
                promise.set_value(work());
            } catch (...) {
                promise.set_exception(std::current_exception());
            }
            // Only after the result is in: the wait below may test it as soon as it wakes.
            WakeFromAnyThread();
        });
        struct Joiner {
            std::thread& thread;
            ~Joiner() { thread.join(); }
        } joiner{worker};
        WaitUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return result.get();
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
    // Ends a WaitForEvents() on the pump's thread; callable from any thread.
    void WakeFromAnyThread();
    void CloseModalDialogs();

    bool m_ended = false;
    bool m_swallowing = false;
    std::optional<FatalError> m_failure;
};

} // namespace velmora
