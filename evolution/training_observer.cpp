#include "evolution/training_observer.h"

#include "display/platform/message_box.h"

void ITrainingObserver::OnResult(const std::string& text) { platform::ShowMessageBox(text); }
