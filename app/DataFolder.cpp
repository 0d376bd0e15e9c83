// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DataFolder.h"
#include "app/InstallPaths.h"
#include "sound/SoundModule.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

QStringList ListFolder(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Readable);
}

QString ExecutablePath()
{
    // argv[0] may be a bare name found through PATH or a symbolic link; the kernel knows the file.
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? QString() : QString::fromStdString(path.string());
}

} // namespace

bool HoldsGameData(const QStringList& entries)
{
    return entries.contains(QStringLiteral("VelmoraQ.qiz"));
}

DataFolderChoice ChooseDataFolder(const QStringList& workingEntries, const QString& executablePath,
                                  const QString& variableValue, const QString& installedRelative,
                                  const std::function<QStringList(const QString&)>& listFolder)
{
    const QString variable = QString::fromLatin1(DataFolderVariable);
    if (!variableValue.isEmpty()) {
        if (HoldsGameData(listFolder(variableValue))) {
            return {QDir::cleanPath(variableValue), {}};
        }
        return {{}, QStringLiteral("%1 names %2, which holds none of the game's data").arg(variable, variableValue)};
    }
    if (HoldsGameData(workingEntries)) {
        return {};
    }
    QString installed;
    if (!executablePath.isEmpty()) {
        installed = QDir::cleanPath(QFileInfo(executablePath).absolutePath() + QLatin1Char('/') + installedRelative);
        if (HoldsGameData(listFolder(installed))) {
            return {installed, {}};
        }
    }
    return {{},
            QStringLiteral("the game's data (VelmoraQ.qiz and the rest) is neither in the working directory nor in %1; "
                           "reinstall the game or set %2 to its data folder")
                .arg(installed.isEmpty() ? QStringLiteral("an installed data folder") : installed, variable)};
}

QStringList SoundModulePlaces(const QString& executablePath, const QString& installedRelative)
{
    if (executablePath.isEmpty()) {
        return {};
    }
    const QString folder = QFileInfo(executablePath).absolutePath();
    const QString file = QString::fromLatin1(kSoundModuleFileName);
    return {QDir::cleanPath(folder + QLatin1Char('/') + file),
            QDir::cleanPath(folder + QLatin1Char('/') + installedRelative + QLatin1Char('/') + file)};
}

QStringList SoundModulePlaces()
{
    return SoundModulePlaces(ExecutablePath(), QString::fromUtf8(InstalledModuleRelative));
}

bool EnterDataFolder()
{
    const DataFolderChoice choice =
        ChooseDataFolder(ListFolder(QStringLiteral(".")), ExecutablePath(), QString::fromLocal8Bit(qgetenv(DataFolderVariable)),
                         QString::fromUtf8(InstalledDataRelative), ListFolder);
    if (!choice.problem.isEmpty()) {
        std::fprintf(stderr, "velmora: %s\n", qPrintable(choice.problem));
        return false;
    }
    if (!choice.folder.isEmpty() && !QDir::setCurrent(choice.folder)) {
        std::fprintf(stderr, "velmora: cannot enter the data folder %s\n", qPrintable(choice.folder));
        return false;
    }
    return true;
}

} // namespace velmora
