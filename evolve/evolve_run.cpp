#include "evolve/evolve_run.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <csignal>
#include <cstdio>

#include "app/main_dlg.h"
#include "app/resources.h"
#include "app/train_press.h"
#include "display/offscreen_image.h"
#include "evolve/animation/webp_animation.h"
#include "evolve/checkpoint/checkpoint_file.h"
#include "evolve/checkpoint/program_state.h"
#include "evolve/exit_status.h"
#include "evolve/folder/output_folder.h"
#include "evolve/interrupt_request.h"
#include "evolve/pictures/comparison_picture.h"
#include "evolve/pictures/fitness_plot.h"
#include "evolve/pictures/picture_conversion.h"
#include "evolve/pictures/target_picture.h"
#include "evolve/record/fitness_log.h"
#include "evolve/record/number_text.h"
#include "evolve/report/report_page.h"
#include "evolve/tree_files/tree_json.h"
#include "evolve/tree_files/tree_mtl.h"
#include "evolve/tree_files/tree_obj.h"
#include "tree/tree_mesh.h"

namespace {

QString UtcNow() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); }

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CEvolveRun::CEvolveRun(CMainDlg& dialog, const EvolveOptions& options, const QImage& userPicture,
                       const RendererIdentity& renderer, CProgressMeter& progress)
    : dialog(dialog),
      options(options),
      userPicture(userPicture),
      renderer(renderer),
      progress(progress),
      observer(dialog.objects, options, options.targetFile.isEmpty(), progress) {
    record.options = options;
    record.version = QString::fromUtf8(kApplicationVersion);
    record.renderer = QString::fromStdString(renderer.name);
    observer.generationEnded = [this](int generation) { GenerationEnded(generation); };
}

CEvolveRun::~CEvolveRun() = default;

void CEvolveRun::MeasurePanel() {
    const std::unique_ptr<COffscreenImage> panel = dialog.evolvedView.CreateImage(1.0, false);
    record.panelWidth = panel->Width();
    record.panelHeight = panel->Height();
}

int CEvolveRun::Execute() {
    RemoveStaleTemporaries(options.outputFolder);
    MeasurePanel();
    record.started = UtcNow();
    // The paint a shown dialog gets before anyone can press a button: both panels present their pictures.
    dialog.evolvedView.Render();
    for (int i = 0; i < options.randomizations; ++i) {
        // The first checkpoint must hold the target tree that every press trains towards, so a stop here
        // leaves nothing behind; the run starts afresh when it is given again.
        if (InterruptRequested()) {
            std::fprintf(stderr,
                         "ramulon-evolve: stopped by %s after %d of %d presses of Randomize Tree, before the first "
                         "press of Train; nothing was written\n",
                         InterruptSignal() == SIGINT ? "Ctrl-C" : SignalName(InterruptSignal()), i,
                         options.randomizations);
            return kExitSignalBase + InterruptSignal();
        }
        dialog.OnRandomizeTree();
    }
    if (!userPicture.isNull()) {
        fitted = ToOffscreenImage(FitToPanel(userPicture, record.panelWidth, record.panelHeight));
        currentTarget = fitted.get();
    }
    // An earlier run's animation would stand beside this run's files and be named by its page.
    if (!options.animation) QDir(options.outputFolder).remove(QLatin1String(kAnimationFileName));
    // The checkpoint first and run.json after it: from the moment the folder holds a run, it can be
    // continued.
    latest = State(1, -1);
    QString error = WriteCheckpoint(options.outputFolder, latest);
    record.state = QStringLiteral("running");
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "ramulon-evolve: %s\n", qPrintable(error));
        return kExitEnvironment;
    }
    return RunPresses(1, -1, nullptr);
}

int CEvolveRun::Continue(const RunState& state) {
    if (const QString error = RestoreProgram(state, dialog.objects); !error.isEmpty()) {
        std::fprintf(stderr, "ramulon-evolve: %s/%s %s\n", qPrintable(options.outputFolder), kCheckpointFileName,
                     qPrintable(error));
        return kExitBadInput;
    }
    RemoveStaleTemporaries(options.outputFolder);
    MeasurePanel();
    if (const QString error = animation.Restore(state.animation); !error.isEmpty()) {
        std::fprintf(stderr, "ramulon-evolve: %s/%s %s\n", qPrintable(options.outputFolder), kCheckpointFileName,
                     qPrintable(error));
        return kExitBadInput;
    }
    latest = state;
    record.started = state.started;
    record.presses = state.presses;
    record.workers = state.workers;
    observer.TakeUp(state.rows, state.evaluations, state.seconds);
    // With --target every press trains towards the saved picture; otherwise only the press under way does.
    std::unique_ptr<COffscreenImage> saved = SavedTargetPicture(state);
    if (!options.targetFile.isEmpty()) {
        fitted = std::move(saved);
        currentTarget = fitted.get();
    }
    std::fprintf(stderr, "ramulon-evolve: going on with the run in %s at press %d, generation %d of %d\n",
                 qPrintable(options.outputFolder), state.press, std::max(state.generationsDone, 0),
                 options.generations);
    record.state = QStringLiteral("running");
    if (QString error = WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
        !error.isEmpty())
        return Failed(error);
    return RunPresses(state.press, state.generationsDone, std::move(saved));
}

int CEvolveRun::RunPresses(int firstPress, int generationsDone, std::unique_ptr<COffscreenImage> savedTarget) {
    CEvolver& evolver = dialog.evolver;
    evolver.observer = &observer;
    const int status = RunPressesObserved(firstPress, generationsDone, std::move(savedTarget));
    evolver.observer = nullptr;
    progress.Finish();
    return status;
}

int CEvolveRun::RunPressesObserved(int firstPress, int generationsDone, std::unique_ptr<COffscreenImage> savedTarget) {
    CEvolver& evolver = dialog.evolver;
    QString error;
    bool interrupted = false;
    int press = firstPress;
    for (; press <= options.presses; ++press) {
        const int startAt = press == firstPress ? generationsDone : -1;
        observer.StartPress(press, startAt);
        if (InterruptRequested()) {
            interrupted = observer.interrupted = true;
            break;
        }
        // A press that goes on trains towards the picture it started with; a new one captures the left panel.
        std::unique_ptr<COffscreenImage> captured = std::move(savedTarget);
        if (fitted == nullptr && captured == nullptr) captured = CaptureTargetPicture(dialog.targetView);
        currentTarget = fitted != nullptr ? fitted.get() : captured.get();
        if (press == 1) {
            const QImage target = ToQImage(*currentTarget);
            error = WriteFileInPlace(options.outputFolder, QStringLiteral("target.png"), PngBytes(target));
            // A run that goes on in its first press has the target's frame already.
            if (error.isEmpty() && options.animation && animation.Empty())
                error = animation.Add(target, kTargetMilliseconds);
        }
        if (!error.isEmpty()) break;

        TrainTowards(*currentTarget, evolver, dialog.evolvedView, options.generations, startAt);
        record.workers = std::max(record.workers, dialog.objects.renderer.workers.MostWorkers());
        error = generationError;
        if (!error.isEmpty()) break;
        interrupted = observer.interrupted || observer.generationsDone < options.generations;
        // Without a selection there is no best of this press to keep: its population was only scored.
        if (observer.generationsDone >= 1) {
            record.presses.push_back(PressRecord{press, observer.generationsDone, evolver.best.fitness});
            error = WriteResults(press);
        }
        if (error.isEmpty()) error = WriteLog();
        if (!error.isEmpty() || interrupted) break;
        latest = State(press + 1, -1);
        currentTarget = fitted.get();
    }
    if (!error.isEmpty()) return Failed(error);

    record.ended = UtcNow();
    record.state = interrupted ? QStringLiteral("interrupted") : QStringLiteral("finished");
    const int signal = InterruptSignal();
    if (interrupted) record.signal = QString::fromLatin1(SignalName(signal));
    error = WriteLog();
    RemoveResultsBeyond(options.outputFolder, static_cast<int>(record.presses.size()));
    // Last, so that every other file has got at least as far as the checkpoint says.
    if (error.isEmpty()) error = WriteCheckpoint(options.outputFolder, latest);
    progress.Finish();
    if (!error.isEmpty()) return Failed(error);
    if (interrupted) {
        const QString by = signal == SIGINT ? QStringLiteral("Ctrl-C") : record.signal;
        std::fprintf(stderr,
                     "ramulon-evolve: stopped by %s in press %d after %d of its %d generations; %s holds what was "
                     "done, and --resume %s goes on with it\n",
                     qPrintable(by), press, std::max(observer.generationsDone, 0), options.generations,
                     qPrintable(options.outputFolder), qPrintable(options.outputFolder));
        // As a shell reports a process that the signal ended.
        return kExitSignalBase + signal;
    }
    return kExitDone;
}

int CEvolveRun::Failed(const QString& error) {
    progress.Finish();
    std::fprintf(stderr, "ramulon-evolve: %s\n", qPrintable(error));
    record.ended = UtcNow();
    record.state = QStringLiteral("failed");
    record.signal.clear();
    record.error = error;
    // The failed file's temporary is gone again, so on a full disk this small one may still fit. If it
    // does not, the line above has said why already.
    if (WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record))).isEmpty())
        WriteFileInPlace(options.outputFolder, QLatin1String(kReportPageName), Bytes(ReportPageNow()));
    // Once the cause is mended the run goes on from the latest end of a generation; where the checkpoint
    // itself failed, the one before it stays.
    if (!checkpointFailed) WriteCheckpoint(options.outputFolder, latest);
    return kExitEnvironment;
}

QString CEvolveRun::WriteResults(int pressNumber) {
    const CIndividual& best = dialog.evolver.best;
    const QString stem = QStringLiteral("best-%1").arg(pressNumber);
    // The right panel shows best now: the press ends with a render of it.
    const std::unique_ptr<COffscreenImage> shot = dialog.evolvedView.CreateImage(1.0, false);
    dialog.evolvedView.Capture(*shot);
    const QImage picture = ToQImage(*shot);
    QString error = WriteFileInPlace(options.outputFolder, stem + QStringLiteral(".png"), PngBytes(picture));
    if (error.isEmpty()) {
        const QString caption = QStringLiteral("press %1, generation %2 of %3, fitness %4")
                                    .arg(pressNumber)
                                    .arg(observer.generationsDone)
                                    .arg(options.generations)
                                    .arg(QString::fromStdString(FixedNumber(best.fitness, 6)));
        error = WriteFileInPlace(options.outputFolder, QStringLiteral("compare-%1.png").arg(pressNumber),
                                 PngBytes(ComparisonPicture(ToQImage(*currentTarget), picture, caption)));
    }
    // After a stop within a generation best may be newer than the last frame; the animation ends with it.
    if (error.isEmpty() && options.animation) error = animation.EndWith(picture, kGenerationMilliseconds);
    const std::string comment =
        "Ramulon: best tree of press " + std::to_string(pressNumber) + ", fitness " + ExactNumber(best.fitness);
    // The material first, so that an OBJ file never names an MTL file that is not there.
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, stem + QStringLiteral(".mtl"), Bytes(TreeMtl(comment)));
    if (error.isEmpty()) {
        error = WriteFileInPlace(options.outputFolder, stem + QStringLiteral(".obj"),
                                 Bytes(TreeObj(BuildTreeMesh(best.genome, kIndividualDepth, best.noise),
                                               stem.toStdString(), comment, stem.toStdString() + ".mtl")));
    }
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, stem + QStringLiteral(".json"),
                                 Bytes(TreeJson(best.genome, best.noise, kIndividualDepth, best.fitness, pressNumber)));
    return error;
}

QString CEvolveRun::WriteLog() {
    QString error = WriteFileInPlace(options.outputFolder, QStringLiteral("fitness.csv"),
                                     Bytes(FitnessCsv(observer.rows, options.targetFile.isEmpty())));
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QStringLiteral("fitness.png"),
                                 PngBytes(PlotFitness(observer.rows, options.generations)));
    if (error.isEmpty()) error = WriteAnimation();
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
    // Last, as it names the others.
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QLatin1String(kReportPageName), Bytes(ReportPageNow()));
    return error;
}

QString CEvolveRun::WriteAnimation() {
    if (!options.animation || animation.Empty()) return {};
    // The end of a run writes the log twice, after its last press and as it ends; the frames are encoded once.
    if (encodedRevision != animation.Revision()) {
        if (QString error = EncodeAnimation(animation.Frames(), kLastFrameHoldMilliseconds, encodedAnimation);
            !error.isEmpty())
            return error;
        encodedRevision = animation.Revision();
    }
    return WriteFileInPlace(options.outputFolder, QLatin1String(kAnimationFileName), encodedAnimation);
}

std::string CEvolveRun::ReportPageNow() const {
    const QDir folder(options.outputFolder);
    return ReportPage(record, observer.rows,
                      [&](const QString& name) { return QFileInfo::exists(folder.filePath(name)); });
}

RunState CEvolveRun::State(int press, int generationsDone) const {
    RunState state;
    state.version = record.version;
    state.rendererName = QString::fromStdString(renderer.name);
    state.rendererVersion = QString::fromStdString(renderer.version);
    state.options = options;
    state.started = record.started;
    state.panelWidth = record.panelWidth;
    state.panelHeight = record.panelHeight;
    state.press = press;
    state.generationsDone = generationsDone;
    state.evaluations = observer.evaluations;
    state.seconds = observer.Seconds();
    state.workers = std::max(record.workers, dialog.objects.renderer.workers.MostWorkers());
    state.presses = record.presses;
    state.rows = observer.rows;
    SaveProgram(dialog.objects, state);
    state.animation = animation.Frames();
    if (currentTarget != nullptr && (fitted != nullptr || generationsDone >= 0))
        SaveTargetPicture(*currentTarget, state);
    return state;
}

void CEvolveRun::GenerationEnded(int generation) {
    if (options.animation) generationError = AddGenerationFrame(generation);
    if (!generationError.isEmpty()) {
        observer.StopForFailure();
        return;
    }
    latest = State(observer.press, generation);
    const auto now = std::chrono::steady_clock::now();
    const bool due = !checkpointWritten || now - lastCheckpoint >= std::chrono::seconds(options.checkpointSeconds);
    if (!due) return;
    generationError = WriteCheckpoint(options.outputFolder, latest);
    if (!generationError.isEmpty()) {
        checkpointFailed = true;
        observer.StopForFailure();
        return;
    }
    checkpointWritten = true;
    lastCheckpoint = std::chrono::steady_clock::now();
}

QString CEvolveRun::AddGenerationFrame(int generation) {
    CEvolver& evolver = dialog.evolver;
    CGLView& view = dialog.evolvedView;
    // Before the first selection of a press, best is still the previous press's: the frame shows the
    // fittest of the scored population, as the generation's row in fitness.csv does.
    CIndividual& shown = generation == 0 ? evolver.population[FittestIndex(evolver)] : evolver.best;
    shownKey.Clear();
    shown.DescribeDrawing(shownKey);
    if (shownKey == framedKey) {
        animation.Lengthen(kGenerationMilliseconds);
        return {};
    }
    // Drawn as best is drawn for best-P.png: last in the panel's draw list, which is then left as it was.
    IRenderable* const last = view.drawList.empty() ? nullptr : view.drawList.back();
    view.RemoveLastRenderable();
    view.AppendRenderable(&shown);
    view.Render();
    if (!frameShot) frameShot = view.CreateImage(1.0, false);
    view.Capture(*frameShot);
    view.RemoveLastRenderable();
    if (last != nullptr) view.AppendRenderable(last);
    framedKey.Swap(shownKey);
    return animation.Add(ToQImage(*frameShot), kGenerationMilliseconds);
}
