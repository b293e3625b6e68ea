// The application's message box: a text, one OK button and the application's name as caption, over
// the window that is active. It runs its own modal loop, in which paint events of other windows are
// still handled, and returns once the user has dismissed it.
#pragma once

#include <string>

namespace platform {

void ShowMessageBox(const std::string& text);

}  // namespace platform
