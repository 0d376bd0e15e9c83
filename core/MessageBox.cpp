#include "core/MessageBox.h"

#include "core/EventPump.h"

namespace velmora {

void ShowMessage(EventPump& pump, QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text)
{
    if (pump.Ended()) {
        return;
    }
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace velmora
