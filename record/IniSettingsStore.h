#pragma once

#include "record/SettingsStore.h"

#include <QString>

namespace velmora {

// The settings store as INI files in the user's configuration folder: the application names the
// file (<folder>/<application>.ini), the section is the INI section, the key the key. Values go in
// and come out as exactly the same text.
//
// A change rewrites only the key's own line: comments, blank lines and every other key keep their
// bytes. It is written to a new file that replaces the old one in one step and is flushed to the
// disk, so a crash leaves the old or the new file, never a broken one. Changes from every running
// copy of the game are taken one at a time under a lock file next to the settings file (or, when
// that place is blocked, in $XDG_RUNTIME_DIR or the temporary folder); a change waits up to two
// minutes for another copy's, so it should not run on the thread that draws the windows.
class IniSettingsStore final : public SettingsStore {
public:
    // The folder is $XDG_CONFIG_HOME, else ~/.config.
    IniSettingsStore();
    explicit IniSettingsStore(const QString& folder);

    QString FilePath(const QString& application) const;

    QString Read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override;
    bool Write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
    bool Delete(const QString& application, const QString& section, const QString& key) override;
    std::optional<QString> Update(const QString& application, const QString& section,
                                  const QString& key, const QString& fallback,
                                  const std::function<QString(const QString&)>& change) override;
    QString LastProblem() const override;

private:
    bool Changed(const QString& application, const QString& problem);

    QString m_folder;
    QString m_problem;
};

} // namespace velmora
