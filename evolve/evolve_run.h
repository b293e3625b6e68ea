// One run of ramulon-evolve on the program's real main dialog: presses of "Train" through the same
// function the dialog's button uses, the files written into the output folder after every press, and
// the checkpoint kept at the ends of generations, from which a stopped run goes on exactly.
#pragma once

#include <QImage>
#include <QString>
#include <chrono>
#include <memory>

#include "display/drawing_key.h"
#include "evolution/renderer_identity.h"
#include "evolve/animation/animation_frames.h"
#include "evolve/checkpoint/run_state.h"
#include "evolve/evolve_options.h"
#include "evolve/progress_meter.h"
#include "evolve/record/run_record.h"
#include "evolve/run_observer.h"

class CMainDlg;
class COffscreenImage;

class CEvolveRun {
public:
    // userPicture is the checked --target picture, or null to train towards the left panel as the dialog
    // does. The dialog must have been wired by its initialisation.
    CEvolveRun(CMainDlg& dialog, const EvolveOptions& options, const QImage& userPicture,
               const RendererIdentity& renderer, CProgressMeter& progress);
    ~CEvolveRun();

    // Runs every press from the start; returns the exit status.
    int Execute();
    // Gives the dialog's objects the checkpoint's state and goes on from there; a state that does not
    // fit the program is refused with status 2 before anything is written.
    int Continue(const RunState& state);

private:
    void MeasurePanel();
    // The presses from firstPress on, the first of them from the end of generationsDone (-1: from its start).
    int RunPresses(int firstPress, int generationsDone, std::unique_ptr<COffscreenImage> savedTarget);
    int RunPressesObserved(int firstPress, int generationsDone, std::unique_ptr<COffscreenImage> savedTarget);
    // Reports a failed write, records it in run.json if that can still be written, and returns the status.
    int Failed(const QString& error);
    // best-P.png, .mtl, .obj and .json of the press just ended; an error line or empty.
    QString WriteResults(int press);
    // fitness.csv, fitness.png, evolution.webp, run.json and index.html as they stand; an error line or empty.
    QString WriteLog();
    QString WriteAnimation();
    // index.html for the run as it stands, naming the files the folder holds now.
    std::string ReportPageNow() const;
    // The best candidate of the generation just ended as the animation's next frame; an error line or empty.
    QString AddGenerationFrame(int generation);
    // The run as it stands at the end of a generation, or with generationsDone -1 before a press.
    RunState State(int press, int generationsDone) const;
    void GenerationEnded(int generation);

    CMainDlg& dialog;
    EvolveOptions options;
    QImage userPicture;
    RendererIdentity renderer;
    CProgressMeter& progress;
    CRunObserver observer;
    RunRecord record;
    // The picture the press under way trains towards; with --target, the fitted picture of every press.
    COffscreenImage* currentTarget = nullptr;
    std::unique_ptr<COffscreenImage> fitted;
    // The latest end of a generation, or of a press: what a stop writes as the checkpoint.
    RunState latest;
    std::chrono::steady_clock::time_point lastCheckpoint{};
    bool checkpointWritten = false;  // by this process
    // A checkpoint or an animation frame that failed at the end of a generation.
    QString generationError;
    bool checkpointFailed = false;

    CAnimationFrames animation;
    // The tree the animation's last frame shows, when this process drew it; an equal one adds no render.
    CDrawingKey framedKey;
    CDrawingKey shownKey;
    std::unique_ptr<COffscreenImage> frameShot;
    QByteArray encodedAnimation;
    int encodedRevision = -1;
};
