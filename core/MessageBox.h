#pragma once

#include <QMessageBox>
#include <QString>

namespace velmora {

class EventPump;

// A modal message box with one OK button; returns when the player closes it. Nothing is shown
// once the program is ending.
void ShowMessage(EventPump& pump, QWidget* parent, QMessageBox::Icon icon, const QString& title,
                 const QString& text);

} // namespace velmora
