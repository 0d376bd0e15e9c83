#pragma once

#include "core/Form.h"

#include <QString>

#include <functional>
#include <memory>

namespace velmora {

// One window of the game as a single instance that exists only while loaded. Showing loads it
// (controls in their design state, then Form_Load); unloading runs Form_QueryUnload as a close
// by code and destroys it, so the next show starts from the design state again.
template <class Window> class FormSlot {
public:
    using Factory = std::function<std::unique_ptr<Window>()>;
    using Tracer = std::function<void(const QString&)>;

    FormSlot(QString name, Factory factory, Tracer trace)
        : m_name(std::move(name)), m_factory(std::move(factory)), m_trace(std::move(trace))
    {
    }

    bool Loaded() const { return m_window != nullptr; }
    bool Visible() const { return m_window != nullptr && m_window->isVisible(); }

    Window& Load()
    {
        if (!m_window) {
            m_window = m_factory();
            m_trace(QStringLiteral("load ") + m_name);
            m_window->Form_Load();
        }
        return *m_window;
    }

    void Show() { Load().show(); }

    void Unload()
    {
        if (!m_window) {
            return;
        }
        m_window->Form_QueryUnload(UnloadMode::Code);
        m_window.reset();
        m_trace(QStringLiteral("unloaded ") + m_name);
    }

    Window* operator->() const { return m_window.get(); }
    Window* Get() const { return m_window.get(); }

private:
    QString m_name;
    Factory m_factory;
    Tracer m_trace;
    std::unique_ptr<Window> m_window;
};

} // namespace velmora
