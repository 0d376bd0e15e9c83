#pragma once

#include "record/SettingsStore.h"

#include <QMap>
#include <QString>

namespace velmora {

// An in-memory settings store for tests. It can be made unwritable, and it counts the reads and writes so
// that a test can tell "written again with the same text" from "not written".
class FakeSettingsStore final : public SettingsStore {
public:
    static QString Path(const QString& application, const QString& section, const QString& key)
    {
        return application + u'/' + section + u'/' + key;
    }

    QString Read(const QString& application, const QString& section, const QString& key,
                 const QString& fallback) override
    {
        ++reads;
        return values.value(Path(application, section, key), fallback);
    }

    bool Write(const QString& application, const QString& section, const QString& key,
               const QString& value) override
    {
        if (!writable)
            return false;
        ++writes;
        values.insert(Path(application, section, key), value);
        return true;
    }

    bool Delete(const QString& application, const QString& section, const QString& key) override
    {
        if (!writable)
            return false;
        ++deletes;
        values.remove(Path(application, section, key));
        return true;
    }

    std::optional<QString> Update(const QString& application, const QString& section,
                                  const QString& key, const QString& fallback,
                                  const std::function<QString(const QString&)>& change) override
    {
        if (!writable)
            return std::nullopt;
        const QString next = change(Read(application, section, key, fallback));
        Write(application, section, key, next);
        return next;
    }

    QString LastProblem() const override
    {
        return writable ? QString() : QStringLiteral("the fake store is not writable");
    }

    bool Contains(const QString& application, const QString& section, const QString& key) const
    {
        return values.contains(Path(application, section, key));
    }

    QMap<QString, QString> values;
    bool writable = true;
    int reads = 0;
    int writes = 0;
    int deletes = 0;
};

} // namespace velmora
