#pragma once

#include "record/SettingsStore.h"

#include <map>

namespace velmora::testing {

class FakeSettingsStore : public SettingsStore {
public:
    QString Read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override
    {
        const auto found = values.find(Path(application, section, key));
        return found == values.end() ? fallback : found->second;
    }
    void Write(const QString& application, const QString& section, const QString& key,
               const QString& value) override
    {
        values[Path(application, section, key)] = value;
    }
    void Delete(const QString& application, const QString& section, const QString& key) override
    {
        values.erase(Path(application, section, key));
    }

    static QString Path(const QString& application, const QString& section, const QString& key)
    {
        return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }

    std::map<QString, QString> values;
};

} // namespace velmora::testing
