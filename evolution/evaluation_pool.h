// Render workers that score a batch of candidates at the same time. Each is a thread with its own GL
// context, pbuffer, frames and capture image, of the evaluation view's config and client size. A worker
// renders the view's draw list with its candidate as the last entry, exactly as the view renders,
// captures and compares the picture with the target as an evaluation does, and keeps the fitness in a
// result slot of its own; the caller takes the results in index order, so a batch scored here is
// scored as the serial evaluations score it, bit for bit. Workers draw no random number, touch no Qt
// object and write nothing but their result slots; everything they read stays unchanged while a batch
// runs.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"

class CGLView;
class CIndividual;
class COffscreenImage;
class IRenderable;

class CEvaluationPool {
public:
    // Makes the context a worker renders in; a test may put a failing one here before the first batch.
    using ContextMaker = platform::GlContext (*)(platform::DrawingSurface* surface);

    CEvaluationPool();
    ~CEvaluationPool();
    CEvaluationPool(const CEvaluationPool&) = delete;
    CEvaluationPool& operator=(const CEvaluationPool&) = delete;

    // How many workers to have; 1 or fewer means none, and the view draws every candidate itself.
    // Workers are made at the first batch after this.
    void SetWorkerCount(int count);
    int RequestedWorkers() const { return requested; }
    // Workers that exist; those whose context could not be made are not counted.
    int WorkerCount() const { return static_cast<int>(workers.size()); }

    // Starts scoring batch[0 .. count) against target through view's draw list, whose last entry each
    // candidate takes in turn. False when there is no worker: the caller then scores the batch itself.
    // The batch, the target, the draw list's entries and the camera must not change until EndBatch.
    bool StartBatch(CGLView& view, const COffscreenImage& target, CIndividual* batch, int count);

    struct Result {
        double fitness;
        // The candidate's picture; the caller may swap it for a spare frame before ResultTaken.
        platform::PresentedFrame* frame;
    };
    // Waits for the result of candidate index; results are taken in order 0, 1, 2, ...
    Result WaitForResult(int index);
    void ResultTaken(int index);
    // Hands out no further candidate and waits for those under way, whose results are dropped.
    void EndBatch();

    void SetContextMaker(ContextMaker maker) { makeContext = maker; }
    // Seconds the workers spent rendering, capturing and comparing, summed over all of them.
    double WorkSeconds();

private:
    struct Worker;
    struct Slot {
        int index = -1;
        double fitness = 0.0;
        platform::PresentedFrame frame;
    };

    bool EnsureWorkers(CGLView& view);
    void StopWorkers();
    void Work(Worker& worker);

    ContextMaker makeContext = platform::KeptGlContext;
    int requested = 1;
    bool reportedShortfall = false;
    bool madeNone = false;
    int width = 0;
    int height = 0;
    std::vector<std::unique_ptr<Worker>> workers;

    // Everything below is shared with the workers and guarded by the mutex.
    std::mutex mutex;
    std::condition_variable workChanged;
    std::condition_variable resultsChanged;
    std::vector<Slot> resultSlots;
    std::vector<IRenderable*> drawList;
    const COffscreenImage* target = nullptr;
    CIndividual* batch = nullptr;
    int next = 0;
    int limit = 0;
    int consumed = 0;
    int underWay = 0;
    bool quitting = false;
    double workSeconds = 0.0;
};
