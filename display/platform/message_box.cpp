#include "display/platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

void ShowMessageBox(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), QString::fromStdString(text),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

}  // namespace platform
