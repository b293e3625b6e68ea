#include "evolution/evaluation_pool.h"

#include <cassert>
#include <chrono>
#include <cstdio>
#include <thread>

#include "display/frame_capture.h"
#include "display/frame_render.h"
#include "display/gl_view.h"
#include "display/offscreen_image.h"
#include "evolution/image_difference.h"
#include "tree/individual.h"

struct CEvaluationPool::Worker {
    platform::DrawingSurface surface;
    platform::GlContext context = nullptr;
    std::unique_ptr<COffscreenImage> capture;
    std::vector<IRenderable*> drawList;
    std::thread thread;
};

CEvaluationPool::CEvaluationPool() = default;

CEvaluationPool::~CEvaluationPool() { StopWorkers(); }

void CEvaluationPool::SetWorkerCount(int count) {
    if (count == requested) return;
    StopWorkers();
    requested = count;
    reportedShortfall = false;
}

void CEvaluationPool::StopWorkers() {
    {
        std::lock_guard lock(mutex);
        quitting = true;
    }
    workChanged.notify_all();
    for (std::unique_ptr<Worker>& worker : workers) worker->thread.join();
    // No worker runs now and none has a context current: their surfaces and contexts go on this thread.
    for (std::unique_ptr<Worker>& worker : workers) platform::ReleaseSurface(worker->surface);
    workers.clear();
    quitting = false;
    madeNone = false;
    width = 0;
    height = 0;
}

bool CEvaluationPool::EnsureWorkers(CGLView& view) {
    if (requested <= 1) return false;
    const platform::Rect client = view.ClientArea();
    const bool sameSize = client.right == width && client.bottom == height;
    if (!workers.empty() && !sameSize) StopWorkers();
    if (!workers.empty()) return true;
    // Where none could be made, the next batch of the same size does not try again.
    if (madeNone && sameSize) return false;
    // Surfaces and contexts are made here, on the calling thread, like the panels' own; a worker only
    // makes its context current. A worker whose context cannot be made is left out.
    width = client.right;
    height = client.bottom;
    const bool display = platform::SurfaceFormatAvailable();
    for (int i = 0; i < requested && display; ++i) {
        auto worker = std::make_unique<Worker>();
        // Displays 0 and 1 are the panels'; workers start on those after them.
        platform::ChooseDisplay(worker->surface, 2 + i);
        if (!platform::ApplySurfaceFormat(worker->surface, width, height)) break;
        worker->context = makeContext(&worker->surface);
        if (worker->context == nullptr) {
            platform::ReleaseSurface(worker->surface);
            continue;
        }
        worker->capture = view.CreateImage(1.0, false);
        workers.push_back(std::move(worker));
    }
    if (WorkerCount() < requested && !reportedShortfall) {
        reportedShortfall = true;
        if (workers.empty()) {
            std::fprintf(stderr, "ramulon: no render worker could be made; the panel draws every candidate itself\n");
        } else {
            std::fprintf(stderr, "ramulon: only %d of %d render workers could be made; training goes on with them\n",
                         WorkerCount(), requested);
        }
    }
    madeNone = workers.empty();
    if (madeNone) return false;
    // Twice as many result slots as workers: a worker can start on its next candidate while the one
    // before waits to be taken.
    resultSlots.assign(2 * workers.size(), Slot{});
    for (std::unique_ptr<Worker>& worker : workers) {
        Worker* w = worker.get();
        w->thread = std::thread([this, w] { Work(*w); });
    }
    return true;
}

bool CEvaluationPool::StartBatch(CGLView& view, const COffscreenImage& image, CIndividual* candidates, int count) {
    if (count <= 0 || view.drawList.empty() || !EnsureWorkers(view)) return false;
    {
        std::lock_guard lock(mutex);
        assert(next == limit && underWay == 0 && "end one batch before starting the next");
        drawList = view.drawList;
        target = &image;
        batch = candidates;
        next = 0;
        limit = count;
        consumed = 0;
        for (Slot& slot : resultSlots) slot.index = -1;
    }
    workChanged.notify_all();
    return true;
}

CEvaluationPool::Result CEvaluationPool::WaitForResult(int index) {
    std::unique_lock lock(mutex);
    Slot& slot = resultSlots[static_cast<std::size_t>(index) % resultSlots.size()];
    resultsChanged.wait(lock, [&] { return slot.index == index; });
    return Result{slot.fitness, &slot.frame};
}

void CEvaluationPool::ResultTaken(int index) {
    {
        std::lock_guard lock(mutex);
        consumed = index + 1;
    }
    workChanged.notify_all();
}

void CEvaluationPool::EndBatch() {
    std::unique_lock lock(mutex);
    limit = next;
    resultsChanged.wait(lock, [this] { return underWay == 0; });
    batch = nullptr;
    target = nullptr;
}

double CEvaluationPool::WorkSeconds() {
    std::lock_guard lock(mutex);
    return workSeconds;
}

void CEvaluationPool::Work(Worker& worker) {
    std::unique_lock lock(mutex);
    for (;;) {
        workChanged.wait(lock, [this] {
            return quitting || (next < limit && next - consumed < static_cast<int>(resultSlots.size()));
        });
        if (quitting) {
            // The context goes back current nowhere, so that it can be destroyed on another thread.
            platform::MakeGlCurrent(nullptr, nullptr);
            return;
        }
        const int index = next++;
        ++underWay;
        Slot& slot = resultSlots[static_cast<std::size_t>(index) % resultSlots.size()];
        worker.drawList = drawList;
        worker.drawList.back() = &batch[index];
        const COffscreenImage& picture = *target;
        lock.unlock();

        const auto start = std::chrono::steady_clock::now();
        RenderDrawList(RenderTarget{&worker.surface, worker.context, true, true}, width, height, worker.drawList,
                       slot.frame);
        CaptureFrame(&slot.frame, width, height, *worker.capture);
        const double fitness = ImageDifference(RowsOf(picture), RowsOf(*worker.capture));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        lock.lock();
        slot.fitness = fitness;
        slot.index = index;
        --underWay;
        workSeconds += seconds;
        resultsChanged.notify_all();
    }
}
