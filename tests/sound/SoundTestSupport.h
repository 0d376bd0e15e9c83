#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryFile>

#include <chrono>
#include <thread>

#include <unistd.h>

namespace velmora::testing {

// Polls `done` every few milliseconds until it holds or a generous deadline passes; the audio
// thread runs in real time, so the tests wait for what it does rather than for how long it takes.
template <typename Condition>
bool WaitFor(Condition done, std::chrono::milliseconds deadline = std::chrono::seconds(5))
{
    const auto until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Sends the process's stderr to a scratch file for as long as it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        ::dup2(m_file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { Restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Restores stderr and returns what was written to it meanwhile.
    QByteArray Restore()
    {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            m_saved = -1;
        }
        QFile written(m_file.fileName());
        written.open(QIODevice::ReadOnly);
        return written.readAll();
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace velmora::testing
