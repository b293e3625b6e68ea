// Render workers that score a batch of candidates at the same time, each in a process of its own with a
// display of its own. A worker draws the evaluation view's draw list with its candidate last, exactly as
// the view renders, captures and compares the picture with the target as an evaluation does, and sends
// back the fitness and the picture; the caller takes the results in index order, so a batch scored
// here is scored as the serial evaluations score it, bit for bit. Workers start at the first batch and
// stay for the program's life. A worker that dies costs its candidates a redo, by another worker or
// by the caller in the view; one whose renderer differs from the panels' is not used.
#pragma once

#include <poll.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"
#include "evolution/renderer_identity.h"
#include "evolution/worker_protocol.h"

class CGLView;
class CIndividual;
class COffscreenImage;
class COrbitCamera;
class CWorkerProcess;

class CEvaluationPool {
public:
    // The display the panels draw on, whose renderer the workers' must match.
    explicit CEvaluationPool(platform::GlDisplay& panelDisplay);
    ~CEvaluationPool();
    CEvaluationPool(const CEvaluationPool&) = delete;
    CEvaluationPool& operator=(const CEvaluationPool&) = delete;

    // How many workers to have; 1 or fewer means none, and the view draws every candidate itself.
    // Workers are started at the first batch after this.
    void SetWorkerCount(int count);
    // Workers that run now and score candidates.
    int WorkerCount() const;
    // The most workers that scored one batch, over the program's life; 0 when the view drew everything.
    int MostWorkers() const { return mostWorkers; }

    // Starts scoring batch[0 .. count) against target through view's draw list, whose last entry each
    // candidate takes in turn. False when there is no worker: the caller then scores the batch itself.
    // The batch, the target, the draw list's entries and the camera must not change until EndBatch.
    bool StartBatch(CGLView& view, const COffscreenImage& target, CIndividual* batch, int count);

    struct Result {
        double fitness;
        // The candidate's picture, which the caller may swap for a spare frame before ResultTaken;
        // null when no worker could score it, and the caller scores it in the view.
        platform::PresentedFrame* frame;
    };
    // Waits for the result of candidate index; results are taken in order 0, 1, 2, ...
    Result WaitForResult(int index);
    void ResultTaken(int index);
    // Hands out no further candidate and waits for those under way, whose results are dropped.
    void EndBatch();

    // Seconds the workers spent rendering, capturing and comparing, summed over all of them.
    double WorkSeconds() const { return workSeconds; }
    // The processes of the workers that run now.
    std::vector<int> WorkerPids() const;

    // For tests: the helper to start, and variables its environment gets beside the program's.
    void SetWorkerProgram(std::string program) { workerProgram = std::move(program); }
    void SetWorkerEnvironment(std::vector<std::string> variables) { workerEnvironment = std::move(variables); }

private:
    struct Slot;
    struct Worker;

    void StartWorkers();
    std::unique_ptr<Worker> StartWorker();
    bool Greet(Worker& worker);
    void StopWorkers();
    bool SendScene(Worker& worker);
    void HandOut();
    bool HandOutTo(Worker& worker, int index);
    int NextPending() const;
    // Reads what the workers have sent; blocks until something came.
    void Collect();
    void Receive(Worker& worker);
    void Lose(Worker& worker);
    void ForgetDeadWorkers();
    bool IsUnderWay(int index) const;
    // The worker and slot that hold index scored, or nulls.
    std::pair<Worker*, Slot*> ScoredSlot(int index);

    platform::GlDisplay& panelDisplay;
    RendererIdentity panelRenderer;
    std::string workerProgram;
    std::vector<std::string> workerEnvironment;
    int requested = 1;
    int mostWorkers = 0;
    int replacementsLeft = 0;
    int lostWorkers = 0;
    bool gaveUp = false;
    bool reportedShortfall = false;
    std::vector<std::unique_ptr<Worker>> workers;

    // The batch under way.
    worker_protocol::SharedLayout layout;
    worker_protocol::SceneMessage scene;
    const COffscreenImage* target = nullptr;
    CIndividual* batch = nullptr;
    int next = 0;
    int limit = 0;
    std::set<int> redo;
    std::vector<pollfd> watched;
    std::vector<Worker*> watchedWorkers;
    platform::PresentedFrame frame;
    double workSeconds = 0.0;
};
