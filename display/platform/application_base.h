// The application object's base: Run makes the Qt application, then calls InitInstance, which runs
// the program's dialogs. When InitInstance returns false the program ends without an event loop.
// Without a window system the program ends in Run with status 1 and one line saying what is missing.
#pragma once

#include <QString>

class QWidget;

namespace platform {

class ApplicationBase {
public:
    ApplicationBase() = default;
    ApplicationBase(const ApplicationBase&) = delete;
    ApplicationBase& operator=(const ApplicationBase&) = delete;
    virtual ~ApplicationBase() = default;

    int Run(int argc, char** argv, const char* applicationName, const char* version);

    virtual bool InitInstance() { return true; }

    // The key under which per-user settings would be kept; the program stores nothing under it.
    void SetRegistryKey(const QString& key);
    void SetMainWindow(QWidget* window) { mainWindow = window; }
    QWidget* MainWindow() const { return mainWindow; }

private:
    QWidget* mainWindow = nullptr;
};

}  // namespace platform
