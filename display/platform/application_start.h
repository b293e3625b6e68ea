// Making the Qt application without Qt's abort: if no window system can be opened, one line on
// standard error says what is missing and the process ends with status 1. Qt's own messages are held
// back while the application is made and passed on unchanged once it exists.
#pragma once

#include <memory>

class QApplication;

namespace platform {

// argc must outlive the application, as Qt keeps a reference to it.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv);

}  // namespace platform
