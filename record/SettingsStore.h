#pragma once

#include <QString>

namespace velmora {

// The per-user settings store, addressed by application, section and key, holding plain text.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString Read(const QString& application, const QString& section, const QString& key,
                         const QString& fallback) = 0;
    virtual void Write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
    // Removes only this key; removing a missing key does nothing.
    virtual void Delete(const QString& application, const QString& section, const QString& key) = 0;
};

} // namespace velmora
