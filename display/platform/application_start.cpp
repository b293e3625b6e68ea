#include "display/platform/application_start.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    std::string file;
    std::string function;
    int line;
    QString text;
};

// A Qt message handler is a plain function, so what it holds back has to live outside any object.
// It exists only while the application is being made.
struct HeldMessages {
    std::mutex mutex;
    std::vector<HeldMessage> messages;
    QtMessageHandler previous = nullptr;
};

HeldMessages& Held() {
    static HeldMessages held;
    return held;
}

// The text between the first pair of double quotes, which is how Qt names a platform plugin.
QString Quoted(const QString& text) {
    const qsizetype open = text.indexOf(QLatin1Char('"'));
    const qsizetype close = open < 0 ? -1 : text.indexOf(QLatin1Char('"'), open + 1);
    return close < 0 ? QString() : text.mid(open + 1, close - open - 1);
}

// Qt explains a failed start over several messages: the platform plugin's own complaint, which plugin
// could not be found or loaded, and a fatal summary listing the plugins installed. Later messages win,
// as Qt tries the plugins of a list in order; a failure worded otherwise is told by Qt's first line.
QString DescribeFailedStart(const std::vector<HeldMessage>& messages, const QString& fatal) {
    const QLatin1String refused("could not connect to display");
    bool displayRefused = false;
    QString displayName, missingPlugin, failedPlugin, pluginComplaint;
    for (const HeldMessage& message : messages) {
        const QString text = message.text.trimmed();
        if (message.category == "qt.qpa.xcb" && text.startsWith(refused)) {
            displayRefused = true;
            displayName = text.mid(refused.size()).trimmed();
        } else if (message.category == "qt.qpa.plugin") {
            if (text.startsWith(QLatin1String("Could not find the Qt platform plugin"))) missingPlugin = Quoted(text);
            if (text.startsWith(QLatin1String("Could not load the Qt platform plugin"))) failedPlugin = Quoted(text);
        } else if (message.category.starts_with("qt.qpa.")) {
            pluginComplaint = text;
        }
    }
    if (displayRefused && displayName.isEmpty())
        return QStringLiteral("no display (is DISPLAY set? run it in a desktop session or under xvfb-run)");
    if (displayRefused)
        return QStringLiteral("the display %1 cannot be opened (is an X server running there?)").arg(displayName);
    if (!missingPlugin.isEmpty()) {
        QString line = QStringLiteral("there is no Qt platform plugin \"%1\"").arg(missingPlugin);
        const QLatin1String availableLabel("Available platform plugins are:");
        const qsizetype available = fatal.indexOf(availableLabel);
        if (available >= 0) {
            QString names = fatal.mid(available + availableLabel.size()).trimmed();
            if (names.endsWith(QLatin1Char('.'))) names.chop(1);
            line += QStringLiteral(" (installed: %1)").arg(names.simplified());
        }
        return line;
    }
    if (!failedPlugin.isEmpty()) {
        QString line = QStringLiteral("the Qt platform plugin \"%1\" could not be started").arg(failedPlugin);
        if (!pluginComplaint.isEmpty()) line += QStringLiteral(" (%1)").arg(pluginComplaint.simplified());
        return line;
    }
    return fatal.section(QLatin1Char('\n'), 0, 0).trimmed();
}

void HoldOrReport(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    HeldMessages& held = Held();
    std::lock_guard lock(held.mutex);
    if (type != QtFatalMsg) {
        held.messages.push_back({type, context.category != nullptr ? context.category : "",
                                 context.file != nullptr ? context.file : "",
                                 context.function != nullptr ? context.function : "", context.line, text});
        return;
    }
    const QByteArray line = DescribeFailedStart(held.messages, text).toLocal8Bit();
    std::fprintf(stderr, "ramulon: cannot open a window: %s\n", line.constData());
    std::fflush(stderr);
    // Qt would abort after this handler returns. The application is half made, so nothing may run
    // its destructors or exit handlers now.
    std::_Exit(1);
}

}  // namespace

std::unique_ptr<QApplication> StartApplication(int& argc, char** argv) {
    HeldMessages& held = Held();
    held.previous = qInstallMessageHandler(HoldOrReport);
    auto application = std::make_unique<QApplication>(argc, argv);
    std::vector<HeldMessage> messages;
    {
        std::lock_guard lock(held.mutex);
        qInstallMessageHandler(held.previous);
        messages.swap(held.messages);
    }
    for (const HeldMessage& message : messages) {
        const QMessageLogContext context(message.file.empty() ? nullptr : message.file.c_str(), message.line,
                                         message.function.empty() ? nullptr : message.function.c_str(),
                                         message.category.empty() ? nullptr : message.category.c_str());
        held.previous(message.type, context, message.text);
    }
    return application;
}

}  // namespace platform
