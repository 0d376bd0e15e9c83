#include "record/StartupCheck.h"

#include "app/Game.h"
#include "app/MessageBox.h"
#include "record/ClearRecord.h"

namespace velmora {

void CheckClearRecord(Game& game)
{
    CheckClearRecord(game.services.settings, [&game](const QString& title, const QString& text) {
        ShowMessage(game.pump, nullptr, QMessageBox::Warning, title, text);
        // The session may end while a message is open; then nothing more happens.
        game.pump.ThrowIfEnded();
    });
}

} // namespace velmora
