#include "display/platform/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace platform {

void ShowMessageBox(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace platform
