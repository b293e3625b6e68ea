// The application's message box: a text, one OK button and the application's name as caption.
// It runs its own modal loop, in which paint events of other windows are still handled.
#pragma once

#include <QString>

class QWidget;

namespace platform {

void ShowMessageBox(QWidget* owner, const QString& text);

}  // namespace platform
