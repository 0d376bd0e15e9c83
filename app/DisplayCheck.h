#pragma once

#include <QString>

#include <optional>

namespace velmora {

// Why the game cannot show its windows, asked before Qt is started: Qt's own answer to a display
// that does not answer is an abort. Nothing when a display is there (or a platform was chosen
// that brings its own, such as offscreen).
std::optional<QString> DisplayProblem();

} // namespace velmora
