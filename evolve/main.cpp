// ramulon-evolve: presses of "Train" without a window, on Qt's offscreen platform, leaving pictures,
// data and meshes of the run in a folder. See EvolveUsage() for the command line.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/main_dlg.h"
#include "app/resources.h"
#include "display/platform/application_start.h"
#include "evolution/heap_policy.h"
#include "evolution/processor_cores.h"
#include "evolution/renderer_identity.h"
#include "evolve/evolve_options.h"
#include "evolve/evolve_run.h"
#include "evolve/folder_lock.h"
#include "evolve/interrupt_request.h"
#include "evolve/output_folder.h"
#include "evolve/target_picture.h"
#include "tree/random_sources.h"

namespace {

constexpr int kExitBadInput = 2;

QtMessageHandler qtHandler = nullptr;

// Without a desktop session Qt notes on every start that XDG_RUNTIME_DIR is unset and which folder it
// takes instead: noise in every batch log, about nothing the tool uses. Only that note is dropped, so
// Qt's other messages, a runtime folder with wrong permissions among them, still reach the user.
void PassOnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    qtHandler(type, context, message);
}

int Fail(int status, const QString& why) {
    std::fprintf(stderr, "ramulon-evolve: %s\n", qPrintable(why));
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    KeepFreedHeapMemory();
    // Offscreen whatever DISPLAY says, so the tool runs the same over SSH and in batch jobs. Set while
    // this is the only thread: nothing changes the environment once others run.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Before Qt, EGL or Mesa start a thread, so that every thread inherits the blocked stop signals. From
    // here a stop request is kept for the run, which ends as soon as it starts if one came early.
    InstallInterruptRequest();
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const ParsedOptions parsed = ParseEvolveOptions(arguments);
    if (parsed.options.help) {
        std::fputs(qPrintable(EvolveUsage()), stdout);
        return kExitDone;
    }
    if (parsed.options.version) {
        std::fputs(qPrintable(EvolveVersionLine()), stdout);
        return kExitDone;
    }
    if (!parsed.error.isEmpty()) return Fail(kExitBadInput, parsed.error);
    EvolveOptions options = parsed.options;
    if (options.jobs == 0) options.jobs = UsableCoreCount();
    // Before any of the program's objects exists: the target tree and the population draw from it.
    if (options.seed) SeedRandomSequence(*options.seed);

    // Qt is given no arguments: every one of ours has been read, and Qt's own (-platform, -style) are
    // not offered.
    qtHandler = qInstallMessageHandler(PassOnQtMessage);
    int qtArgumentCount = 1;
    char* qtArguments[] = {argv[0], nullptr};
    // Without the offscreen plugin this ends with one line and status 1, the environment's failure.
    const std::unique_ptr<QApplication> application = platform::StartApplication(qtArgumentCount, qtArguments);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kApplicationVersion));

    // Everything the user gave is checked before the first file is written.
    TargetPicture target;
    if (!options.targetFile.isEmpty()) {
        target = ReadTargetPicture(options.targetFile);
        if (!target.error.isEmpty()) return Fail(kExitBadInput, target.error);
    }
    if (const QString error = CheckOutputFolder(options.outputFolder, options.force); !error.isEmpty())
        return Fail(kExitBadInput, error);
    // The real dialog, made and wired as the program makes it; its objects take their random draws in
    // the same order, so a run without options is the first press of a fresh program.
    CMainDlg dialog;
    dialog.objects.SetJobs(options.jobs);
    const std::string renderer = IdentityOf(dialog.objects.renderer.display).name;
    if (renderer.empty())
        return Fail(kExitEnvironment, QStringLiteral("no OpenGL context can be made; nothing was run"));

    // The lock is taken before the first file is written and held until the process ends.
    CFolderLock lock;
    if (const FolderRefusal refusal = TakeOutputFolder(options.outputFolder, options.force, lock);
        !refusal.error.isEmpty())
        return Fail(refusal.badInput ? kExitBadInput : kExitEnvironment, refusal.error);
    CProgressMeter progress(stderr, isatty(STDERR_FILENO) == 1);
    CEvolveRun run(options, target.picture, QString::fromStdString(renderer), progress);
    int status = kExitEnvironment;
    QTimer::singleShot(0, &dialog, [&] {
        status = run.Execute(dialog);
        dialog.EndDialog(platform::kIdOk);
    });
    dialog.DoModal();
    return status;
}
