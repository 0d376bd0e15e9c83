#pragma once

#include <QString>

#include <stdexcept>

namespace velmora {

// A failure the game cannot go on from (a missing picture, a broken question file). It travels up
// to the driver, which shows the message, prints it on stderr and ends the program with status 1
// without writing anything to the player's record. The message says plainly what failed and names
// the file or value concerned.
class FatalError : public std::runtime_error {
public:
    explicit FatalError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString& Message() const { return m_message; }

private:
    QString m_message;
};

} // namespace velmora
