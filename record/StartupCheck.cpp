#include "record/StartupCheck.h"

#include "core/EventPump.h"
#include "core/MessageBox.h"
#include "record/ClearRecord.h"

namespace velmora {

void CheckClearRecord(SettingsStore& settings, EventPump& pump)
{
    CheckClearRecord(settings, [&pump](const QString& title, const QString& text) {
        ShowMessage(pump, nullptr, QMessageBox::Warning, title, text);
        // The session may end while a message is open; then nothing more happens.
        pump.ThrowIfEnded();
    });
}

} // namespace velmora
