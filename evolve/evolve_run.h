// One run of ramulon-evolve on the program's real main dialog: presses of "Train" through the same
// function the dialog's button uses, with the evolver's observer following them for the progress line,
// the fitness log and a stop request, and the files written into the output folder after every press.
#pragma once

#include <QImage>
#include <QString>
#include <chrono>
#include <memory>
#include <vector>

#include "evolution/training_observer.h"
#include "evolve/evolve_options.h"
#include "evolve/fitness_log.h"
#include "evolve/progress_meter.h"
#include "evolve/run_record.h"

class CMainDlg;
class COffscreenImage;

inline constexpr int kExitDone = 0;
inline constexpr int kExitEnvironment = 1;
// A run stopped by a signal ends with this plus the signal's number: 130 after Ctrl-C, 143 after SIGTERM.
inline constexpr int kExitSignalBase = 128;

class CEvolveRun : public ITrainingObserver {
public:
    // userPicture is the checked --target picture, or null to train towards the left panel as the dialog does.
    CEvolveRun(const EvolveOptions& options, const QImage& userPicture, const QString& renderer,
               CProgressMeter& progress);

    // Runs every press on a dialog whose initialisation has wired it, and returns the exit status.
    int Execute(CMainDlg& dialog);

    void OnEvaluated(const CIndividual& individual) override;
    void OnGeneration(int generation) override;
    bool StopRequested() override;
    // The result line goes to standard output; the message box would wait for someone to close it.
    void OnResult(const std::string& text) override;

private:
    int RunPresses(CMainDlg& dialog);
    // Reports a failed write, records it in run.json if that can still be written, and returns the status.
    int Failed(const QString& error);
    // best-P.png, .mtl, .obj and .json of the press just ended; an error line or empty.
    QString WriteResults(CMainDlg& dialog, int press);
    // fitness.csv, fitness.png and run.json as they stand; an error line or empty.
    QString WriteLog();
    ProgressState Progress() const;
    double Seconds(std::chrono::steady_clock::time_point since) const;

    EvolveOptions options;
    QImage userPicture;
    CProgressMeter& progress;
    CMainDlg* dialog = nullptr;
    RunRecord record;
    std::vector<FitnessRow> rows;
    std::chrono::steady_clock::time_point runStart;
    std::chrono::steady_clock::time_point trainingStart;
    int press = 0;
    int generationsDone = 0;
    long long evaluations = 0;
    long long totalEvaluations = 0;
    bool interrupted = false;
};
