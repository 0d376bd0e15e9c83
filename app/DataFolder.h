// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace velmora {

// The game opens every data file by its bare name in the working directory. Run from the build
// tree (or from any folder holding the files) that is where it starts; an installed game starts
// anywhere and must first move into its data folder.

// The variable that names a data folder of the player's own choosing.
inline constexpr char DataFolderVariable[] = "VELMORA_DATA_DIR";

// True when a folder with these entries holds the game's data. The question file stands for the
// whole set: every build and install writes it with the rest, and nothing else is named so.
bool HoldsGameData(const QStringList& entries);

struct DataFolderChoice {
    QString folder;  // where to run; empty when the working directory is already right
    QString problem; // non-empty when no data folder was found: one line for the player
};

// Chooses where the game runs:
// 1. a folder named by the variable, when it is set and not empty: it must hold the data, since
//    the player asked for it by name (falling back elsewhere would hide the mistake);
// 2. the working directory, when it holds the data;
// 3. the installed folder, found from the program's own path through `installedRelative` (for
//    example "../share/games/velmora"), so that a moved prefix still finds its data.
// `listFolder` lists the entries of a folder (empty when it cannot be read).
DataFolderChoice ChooseDataFolder(const QStringList& workingEntries, const QString& executablePath,
                                  const QString& variableValue, const QString& installedRelative,
                                  const std::function<QStringList(const QString&)>& listFolder);

// Where the sound module may be, in order: beside the program (a build tree), then in the
// installed module folder found from the program's own path through `installedRelative`.
QStringList SoundModulePlaces(const QString& executablePath, const QString& installedRelative);
QStringList SoundModulePlaces();

// Moves the process into its data folder before anything is opened. Returns false after printing
// one line on stderr when no data folder can be found.
bool EnterDataFolder();

} // namespace velmora
