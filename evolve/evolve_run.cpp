#include "evolve/evolve_run.h"

#include <QDateTime>
#include <algorithm>
#include <csignal>
#include <cstdio>

#include "app/main_dlg.h"
#include "app/resources.h"
#include "app/train_press.h"
#include "display/offscreen_image.h"
#include "evolve/fitness_plot.h"
#include "evolve/genome_distance.h"
#include "evolve/interrupt_request.h"
#include "evolve/number_text.h"
#include "evolve/output_folder.h"
#include "evolve/picture_conversion.h"
#include "evolve/target_picture.h"
#include "evolve/tree_json.h"
#include "evolve/tree_mtl.h"
#include "evolve/tree_obj.h"
#include "tree/tree_mesh.h"

namespace {

QString UtcNow() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate); }

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

CEvolveRun::CEvolveRun(const EvolveOptions& options, const QImage& userPicture, const QString& renderer,
                       CProgressMeter& progress)
    : options(options), userPicture(userPicture), progress(progress) {
    record.options = options;
    record.version = QString::fromUtf8(kApplicationVersion);
    record.renderer = renderer;
}

int CEvolveRun::Execute(CMainDlg& mainDialog) {
    dialog = &mainDialog;
    runStart = std::chrono::steady_clock::now();
    record.started = UtcNow();
    record.state = QStringLiteral("running");
    CEvolver& evolver = dialog->evolver;
    {
        const std::unique_ptr<COffscreenImage> panel = dialog->evolvedView.CreateImage(1.0, false);
        record.panelWidth = panel->Width();
        record.panelHeight = panel->Height();
    }
    totalEvaluations = static_cast<long long>(options.presses) *
                       (evolver.populationSize +
                        static_cast<long long>(options.generations) * (evolver.childCount + evolver.mutantCount));

    // Written first, so that the folder counts as holding a run from now on. The folder is held already.
    if (QString error = WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
        !error.isEmpty()) {
        std::fprintf(stderr, "ramulon-evolve: %s\n", qPrintable(error));
        return kExitEnvironment;
    }

    evolver.observer = this;
    const int status = RunPresses(*dialog);
    evolver.observer = nullptr;
    progress.Finish();
    dialog = nullptr;
    return status;
}

void CEvolveRun::OnResult(const std::string& text) {
    if (interrupted) return;
    progress.Finish();
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

int CEvolveRun::RunPresses(CMainDlg& main) {
    // The paint a shown dialog gets before anyone can press a button: both panels present their pictures.
    main.evolvedView.Render();
    for (int i = 0; i < options.randomizations && !InterruptRequested(); ++i) main.OnRandomizeTree();

    std::unique_ptr<COffscreenImage> fitted;
    if (!userPicture.isNull())
        fitted = ToOffscreenImage(FitToPanel(userPicture, record.panelWidth, record.panelHeight));

    trainingStart = std::chrono::steady_clock::now();
    QString error;
    for (press = 1; press <= options.presses && error.isEmpty(); ++press) {
        generationsDone = -1;
        if (InterruptRequested()) {
            interrupted = true;
            break;
        }
        std::unique_ptr<COffscreenImage> captured;
        COffscreenImage* target = fitted.get();
        if (target == nullptr) {
            captured = CaptureTargetPicture(main.targetView);
            target = captured.get();
        }
        if (press == 1)
            error = WriteFileInPlace(options.outputFolder, QStringLiteral("target.png"), PngBytes(ToQImage(*target)));
        if (!error.isEmpty()) break;

        TrainTowards(*target, main.evolver, main.evolvedView, options.generations);
        record.workers = main.objects.renderer.workers.MostWorkers();
        interrupted = interrupted || generationsDone < options.generations;
        // Without a selection there is no best of this press to keep: its population was only scored.
        if (generationsDone >= 1) {
            record.presses.push_back(PressRecord{press, generationsDone, main.evolver.best.fitness});
            error = WriteResults(main, press);
        }
        if (error.isEmpty()) error = WriteLog();
        if (interrupted) break;
    }

    if (!error.isEmpty()) return Failed(error);
    record.ended = UtcNow();
    record.state = interrupted ? QStringLiteral("interrupted") : QStringLiteral("finished");
    const int signal = InterruptSignal();
    if (interrupted) record.signal = QString::fromLatin1(SignalName(signal));
    error = WriteLog();
    RemoveResultsBeyond(options.outputFolder, static_cast<int>(record.presses.size()));
    progress.Finish();
    if (!error.isEmpty()) return Failed(error);
    if (interrupted) {
        const QString by = signal == SIGINT ? QStringLiteral("Ctrl-C") : record.signal;
        std::fprintf(stderr,
                     "ramulon-evolve: stopped by %s in press %d after %d of its %d generations; %s holds what was "
                     "done\n",
                     qPrintable(by), press, std::max(generationsDone, 0), options.generations,
                     qPrintable(options.outputFolder));
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
    WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
    return kExitEnvironment;
}

QString CEvolveRun::WriteResults(CMainDlg& main, int pressNumber) {
    const CIndividual& best = main.evolver.best;
    const QString stem = QStringLiteral("best-%1").arg(pressNumber);
    // The right panel shows best now: the press ends with a render of it.
    const std::unique_ptr<COffscreenImage> shot = main.evolvedView.CreateImage(1.0, false);
    main.evolvedView.Capture(*shot);
    QString error = WriteFileInPlace(options.outputFolder, stem + QStringLiteral(".png"), PngBytes(ToQImage(*shot)));
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
    const bool withDistance = userPicture.isNull();
    QString error =
        WriteFileInPlace(options.outputFolder, QStringLiteral("fitness.csv"), Bytes(FitnessCsv(rows, withDistance)));
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QStringLiteral("fitness.png"),
                                 PngBytes(PlotFitness(rows, options.generations)));
    if (error.isEmpty())
        error = WriteFileInPlace(options.outputFolder, QLatin1String(kRunRecordName), Bytes(RunJson(record)));
    return error;
}

void CEvolveRun::OnEvaluated(const CIndividual& /*individual*/) {
    ++evaluations;
    progress.Evaluated(Progress());
}

void CEvolveRun::OnGeneration(int generation) {
    generationsDone = generation;
    const PopulationFitness summary = SummarizePopulation(dialog->evolver);
    FitnessRow row{press, generation, evaluations, Seconds(runStart), summary.best, summary.median, summary.worst};
    if (userPicture.isNull() && summary.bestGenome != nullptr)
        row.geneDistance = GenomeDistance(*summary.bestGenome, dialog->targetTree.genome);
    rows.push_back(row);
    progress.GenerationEnded(Progress());
}

bool CEvolveRun::StopRequested() {
    if (InterruptRequested()) interrupted = true;
    return interrupted;
}

ProgressState CEvolveRun::Progress() const {
    ProgressState state;
    state.press = press;
    state.presses = options.presses;
    state.generation = generationsDone < 0 ? 0 : generationsDone;
    state.generations = options.generations;
    state.evaluations = evaluations;
    state.totalEvaluations = totalEvaluations;
    state.seconds = Seconds(trainingStart);
    state.best = rows.empty() ? -1.0 : rows.back().best;
    return state;
}

double CEvolveRun::Seconds(std::chrono::steady_clock::time_point since) const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
