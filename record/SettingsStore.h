#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace velmora {

// The per-user settings store, addressed by application, section and key, holding plain text.
// A store that cannot be written never throws and never stops the game: the writing calls say
// whether the text reached the store, and a caller may ignore that.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString Read(const QString& application, const QString& section, const QString& key,
                         const QString& fallback) = 0;
    // True when the text is stored.
    virtual bool Write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
    // Removes only this key; removing a missing key does nothing. True when the key is gone.
    virtual bool Delete(const QString& application, const QString& section, const QString& key) = 0;
    // Reads the stored text (fallback when missing) and writes change(text) while no other writer
    // of the store, in this process or another, can come in between, so that a change made by
    // another running copy of the game is built upon rather than overwritten. Gives the text
    // written, or nothing when the store could not be written.
    virtual std::optional<QString> Update(const QString& application, const QString& section,
                                          const QString& key, const QString& fallback,
                                          const std::function<QString(const QString&)>& change) = 0;
    // Why the last write, delete or update failed, naming the file; empty after one that worked.
    virtual QString LastProblem() const = 0;
};

} // namespace velmora
