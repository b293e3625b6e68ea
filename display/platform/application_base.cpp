#include "display/platform/application_base.h"

#include <QApplication>

#include "display/platform/application_start.h"

namespace platform {

int ApplicationBase::Run(int argc, char** argv, const char* applicationName, const char* version) {
    const std::unique_ptr<QApplication> application = StartApplication(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(applicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(version));
    if (!InitInstance()) return 0;
    return QApplication::exec();
}

void ApplicationBase::SetRegistryKey(const QString& key) { QApplication::setOrganizationName(key); }

}  // namespace platform
