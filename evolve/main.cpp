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
#include "evolve/checkpoint/checkpoint_file.h"
#include "evolve/evolve_options.h"
#include "evolve/evolve_run.h"
#include "evolve/exit_status.h"
#include "evolve/folder/folder_lock.h"
#include "evolve/folder/output_folder.h"
#include "evolve/interrupt_request.h"
#include "evolve/pictures/target_picture.h"
#include "tree/random_sources.h"

namespace {

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

// The real dialog, made and wired as the program makes it: its objects take their random draws in the
// same order, so a run without options is the first press of a fresh program. The run starts, or goes
// on from `resumed`, once the dialog's initialisation has wired them.
int RunOnDialog(const EvolveOptions& options, CProgressMeter& progress, const QImage& userPicture,
                const RunState* resumed) {
    CMainDlg dialog;
    dialog.objects.SetJobs(options.jobs);
    const RendererIdentity renderer = IdentityOf(dialog.objects.renderer.display);
    if (renderer.name.empty())
        return Fail(kExitEnvironment, QStringLiteral("no OpenGL context can be made; nothing was run"));
    if (resumed != nullptr && (resumed->rendererName.toStdString() != renderer.name ||
                               resumed->rendererVersion.toStdString() != renderer.version)) {
        return Fail(kExitBadInput,
                    QStringLiteral("the run in %1 was drawn by %2 (%3); this machine draws with %4 (%5), "
                                   "whose pictures may differ")
                        .arg(options.outputFolder, resumed->rendererName, resumed->rendererVersion,
                             QString::fromStdString(renderer.name), QString::fromStdString(renderer.version)));
    }
    // A new run takes the lock only now, before its first file; a continued one holds it already.
    CFolderLock newLock;
    if (resumed == nullptr) {
        if (const FolderRefusal refusal = TakeOutputFolder(options.outputFolder, options.force, newLock);
            !refusal.error.isEmpty())
            return Fail(refusal.badInput ? kExitBadInput : kExitEnvironment, refusal.error);
    }
    CEvolveRun run(dialog, options, userPicture, renderer, progress);
    int status = kExitEnvironment;
    QTimer::singleShot(0, &dialog, [&] {
        status = resumed != nullptr ? run.Continue(*resumed) : run.Execute();
        dialog.EndDialog(platform::kIdOk);
    });
    dialog.DoModal();
    return status;
}

// A run from its start. Everything the user gave is checked before the first file is written.
int Start(EvolveOptions options, CProgressMeter& progress) {
    if (options.jobs == 0) options.jobs = UsableCoreCount();
    // Before any of the program's objects exists: the target tree and the population draw from it.
    if (options.seed) SeedRandomSequence(*options.seed);
    TargetPicture target;
    if (!options.targetFile.isEmpty()) {
        target = ReadTargetPicture(options.targetFile);
        if (!target.error.isEmpty()) return Fail(kExitBadInput, target.error);
    }
    if (const QString error = CheckOutputFolder(options.outputFolder, options.force); !error.isEmpty())
        return Fail(kExitBadInput, error);
    return RunOnDialog(options, progress, target.picture, nullptr);
}

// A run that goes on from its checkpoint, under the lock it holds from before the checkpoint is read.
// A refusal changes nothing in the folder.
int GoOn(const EvolveOptions& commandLine, CProgressMeter& progress) {
    const QString& folder = commandLine.outputFolder;
    if (const QString error = CheckFolderToContinue(folder); !error.isEmpty()) return Fail(kExitBadInput, error);
    CFolderLock lock;
    if (const FolderRefusal refusal = TakeOutputFolder(folder, true, lock); !refusal.error.isEmpty())
        return Fail(refusal.badInput ? kExitBadInput : kExitEnvironment, refusal.error);
    if (!HasCheckpoint(folder)) {
        return Fail(kExitBadInput,
                    FolderHoldsRun(folder)
                        ? QStringLiteral("%1 holds a run without a checkpoint (%2), which cannot go on; give --force "
                                         "without --continue to start it anew")
                              .arg(folder, QLatin1String(kCheckpointFileName))
                        : QStringLiteral("%1 holds no run to go on with (no %2)")
                              .arg(folder, QLatin1String(kCheckpointFileName)));
    }
    RunState state;
    if (const QString error = ReadCheckpoint(folder, state); !error.isEmpty()) return Fail(kExitBadInput, error);
    if (state.version != QString::fromUtf8(kApplicationVersion))
        return Fail(kExitBadInput,
                    QStringLiteral("the run in %1 was made by ramulon-evolve %2; this is %3, whose trees "
                                   "may differ")
                        .arg(folder, state.version, QString::fromUtf8(kApplicationVersion)));
    EvolveOptions options;
    if (const QString error = ContinuedOptions(commandLine, state.options, options); !error.isEmpty())
        return Fail(kExitBadInput, error);
    if (state.press > options.presses) {
        std::fprintf(stderr, "ramulon-evolve: the run in %s has ended all its %d presses; nothing to do\n",
                     qPrintable(folder), options.presses);
        return kExitDone;
    }
    if (options.jobs == 0) options.jobs = UsableCoreCount();
    // The generator is seeded as at the run's start, so that the dialog is made as it was; the
    // checkpoint then gives it back the state it had reached.
    if (options.seed) SeedRandomSequence(*options.seed);
    return RunOnDialog(options, progress, QImage(), &state);
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
        std::fputs(qPrintable(EvolveVersionText()), stdout);
        return kExitDone;
    }
    if (!parsed.error.isEmpty()) return Fail(kExitBadInput, parsed.error);
    const EvolveOptions& options = parsed.options;

    // Qt is given no arguments: every one of ours has been read, and Qt's own (-platform, -style) are
    // not offered.
    qtHandler = qInstallMessageHandler(PassOnQtMessage);
    int qtArgumentCount = 1;
    char* qtArguments[] = {argv[0], nullptr};
    // Without the offscreen plugin this ends with one line and status 1, the environment's failure.
    const std::unique_ptr<QApplication> application = platform::StartApplication(qtArgumentCount, qtArguments);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationName));
    QApplication::setApplicationVersion(QString::fromUtf8(kApplicationVersion));

    CProgressMeter progress(stderr, isatty(STDERR_FILENO) == 1);
    const bool goOn = options.resume || (options.continueRun && FolderHoldsRun(options.outputFolder));
    return goOn ? GoOn(options, progress) : Start(options, progress);
}
