// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace velmora::art {

// Writes the desktop icons into a hicolor theme tree under `root`: the window icon's maple leaf
// drawn afresh at each size (so small sizes stay crisp rather than being scaled down from one
// bitmap) and once as scalable SVG. Returns false after saying on stderr what could not be written.
bool WriteDesktopIcons(const QString& root);

} // namespace velmora::art
