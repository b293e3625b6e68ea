#include "evolution/evaluation_pool.h"

#include <poll.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/gl_view.h"
#include "display/offscreen_image.h"
#include "display/orbit_camera.h"
#include "evolution/worker_process.h"
#include "tree/individual.h"

using namespace worker_protocol;

namespace {

// Long enough for a worker to open its display and compile its first code on a loaded machine.
constexpr int kGreetingMilliseconds = 60'000;

// The block of memory that holds an image's rows, wherever its top row lies.
const unsigned char* FirstByte(const COffscreenImage& image) {
    return image.Bits() - TopRowOffset(image.Pitch(), image.Height());
}

std::size_t ImageBytes(const COffscreenImage& image) {
    return image.Bits() != nullptr ? RowBytes(image.Pitch(), image.Height()) : 0;
}

}  // namespace

// A candidate a worker holds: handed out, or scored and waiting to be taken. A scored one's picture
// lies in the worker's shared memory, unless none could be read.
struct CEvaluationPool::Slot {
    int index = -1;
    bool scored = false;
    bool picture = false;
    double fitness = 0.0;

    bool Drawing() const { return index >= 0 && !scored; }
};

struct CEvaluationPool::Worker {
    CWorkerProcess process;
    Slot slots[kSlots];
    bool alive = true;

    int FreeSlot() const {
        for (int slot = 0; slot < kSlots; ++slot)
            if (slots[slot].index < 0) return slot;
        return -1;
    }
    int FreeSlots() const {
        return static_cast<int>(std::count_if(slots, slots + kSlots, [](const Slot& s) { return s.index < 0; }));
    }
    int Drawing() const {
        return static_cast<int>(std::count_if(slots, slots + kSlots, [](const Slot& s) { return s.Drawing(); }));
    }
    bool Busy() const { return Drawing() > 0; }
    bool CanTakeMore() const { return alive && FreeSlots() > 0 && Drawing() < kQueuedCandidates; }
    bool HoldsAnything() const { return FreeSlots() < kSlots; }
};

CEvaluationPool::CEvaluationPool(platform::GlDisplay& display)
    : panelDisplay(display), workerProgram(RenderWorkerProgram()) {}

CEvaluationPool::~CEvaluationPool() { StopWorkers(); }

void CEvaluationPool::SetWorkerCount(int count) {
    if (count == requested) return;
    StopWorkers();
    requested = count;
    gaveUp = false;
    reportedShortfall = false;
}

int CEvaluationPool::WorkerCount() const {
    return static_cast<int>(std::count_if(workers.begin(), workers.end(), [](const auto& w) { return w->alive; }));
}

void CEvaluationPool::StopWorkers() {
    // Closing a worker's socket ends it; its process is reaped as it goes.
    workers.clear();
    redo.clear();
    replacementsLeft = 0;
    lostWorkers = 0;
}

std::unique_ptr<CEvaluationPool::Worker> CEvaluationPool::StartWorker() {
    auto worker = std::make_unique<Worker>();
    // Each worker rasterises on its own thread: the program has a worker for every core already.
    std::vector<std::string> environment;
    if (std::getenv("LP_NUM_THREADS") == nullptr) environment.emplace_back("LP_NUM_THREADS=0");
    environment.insert(environment.end(), workerEnvironment.begin(), workerEnvironment.end());
    if (!worker->process.Start(workerProgram, layout.Total(), environment)) return nullptr;
    return worker;
}

bool CEvaluationPool::Greet(Worker& worker) {
    ReadyMessage ready;
    if (!worker.process.WaitReadable(kGreetingMilliseconds) ||
        worker.process.Receive(&ready, sizeof ready) != sizeof ready || ready.kind != MessageKind::kReady)
        return false;
    ready.renderer[sizeof ready.renderer - 1] = '\0';
    ready.version[sizeof ready.version - 1] = '\0';
    const RendererIdentity theirs{ready.renderer, ready.version};
    if (theirs.name.empty()) return false;
    if (theirs == panelRenderer) return true;
    // Another renderer draws other pixels: its fitness would not be the panel's.
    if (!gaveUp) {
        std::fprintf(stderr,
                     "ramulon: render workers draw with %s (%s), not %s (%s) as the panels do; the panel draws "
                     "every candidate itself\n",
                     theirs.name.c_str(), theirs.version.c_str(), panelRenderer.name.c_str(),
                     panelRenderer.version.c_str());
    }
    gaveUp = true;
    return false;
}

void CEvaluationPool::StartWorkers() {
    if (panelRenderer.name.empty()) panelRenderer = IdentityOf(panelDisplay);
    if (panelRenderer.name.empty()) {
        gaveUp = true;
        return;
    }
    // All start at once; each opens its display while the others do.
    std::vector<std::unique_ptr<Worker>> started;
    for (int i = 0; i < requested; ++i)
        if (std::unique_ptr<Worker> worker = StartWorker()) started.push_back(std::move(worker));
    for (std::unique_ptr<Worker>& worker : started)
        if (Greet(*worker)) workers.push_back(std::move(worker));
    started.clear();
    if (gaveUp) {
        workers.clear();
        return;
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
    gaveUp = workers.empty();
    // A worker that dies is replaced, but a fault that kills every new one must not loop for ever.
    replacementsLeft = 2 * requested;
}

bool CEvaluationPool::SendScene(Worker& worker) {
    if (const std::size_t bytes = ImageBytes(*target); bytes > 0)
        std::memcpy(worker.process.Shared(), FirstByte(*target), bytes);
    return worker.process.Send(&scene, sizeof scene);
}

bool CEvaluationPool::StartBatch(CGLView& view, const COffscreenImage& image, CIndividual* candidates, int count) {
    if (count <= 0 || requested <= 1 || gaveUp) return false;
    // Workers draw what the right panel draws: the camera, then the candidate.
    if (view.drawList.size() != 2) return false;
    const auto* camera = dynamic_cast<const COrbitCamera*>(view.drawList.front());
    if (camera == nullptr) return false;
    const platform::Rect client = view.ClientArea();
    const SharedLayout wanted(client.right, client.bottom, ImageBytes(image));
    if (!workers.empty() && !(wanted == layout)) StopWorkers();
    layout = wanted;
    if (workers.empty()) StartWorkers();
    if (workers.empty()) return false;

    scene = SceneMessage{};
    scene.width = client.right;
    scene.height = client.bottom;
    scene.targetWidth = image.Width();
    scene.targetHeight = image.Height();
    scene.targetPitch = image.Pitch();
    scene.targetBitsPerPixel = image.BitsPerPixel();
    scene.pose = camera->pose;
    scene.lightOn = camera->lightOn;
    target = &image;
    batch = candidates;
    next = 0;
    limit = count;
    for (std::size_t i = 0; i < workers.size(); ++i)
        if (workers[i]->alive && !SendScene(*workers[i])) Lose(*workers[i]);
    mostWorkers = std::max(mostWorkers, WorkerCount());
    HandOut();
    return true;
}

int CEvaluationPool::NextPending() const {
    if (!redo.empty()) return *redo.begin();
    return next < limit ? next : -1;
}

bool CEvaluationPool::HandOutTo(Worker& worker, int index) {
    const int slot = worker.FreeSlot();
    const CIndividual& candidate = batch[index];
    std::memcpy(worker.process.Shared() + layout.NoiseOffset(slot), candidate.noise.Data(),
                static_cast<std::size_t>(candidate.noise.Count()) * sizeof(NodeNoise));
    ScoreMessage message;
    message.slot = slot;
    message.index = index;
    message.genome = candidate.genome;
    worker.slots[slot] = Slot{index};
    if (!redo.erase(index)) ++next;
    return worker.process.Send(&message, sizeof message);
}

void CEvaluationPool::HandOut() {
    // Replacements for workers lost since the last hand-out, made here where no loop runs over them.
    for (; lostWorkers > 0 && batch != nullptr; --lostWorkers) {
        if (replacementsLeft <= 0) continue;
        --replacementsLeft;
        std::unique_ptr<Worker> worker = StartWorker();
        if (worker && Greet(*worker) && SendScene(*worker)) workers.push_back(std::move(worker));
    }
    // With every worker lost and none to replace them, the view draws from now on.
    if (WorkerCount() == 0 && replacementsLeft <= 0) gaveUp = true;
    for (int index = NextPending(); index >= 0; index = NextPending()) {
        Worker* idlest = nullptr;
        for (const std::unique_ptr<Worker>& worker : workers)
            if (worker->CanTakeMore() && (idlest == nullptr || worker->Drawing() < idlest->Drawing()))
                idlest = worker.get();
        if (idlest == nullptr) return;
        if (!HandOutTo(*idlest, index)) Lose(*idlest);
    }
}

void CEvaluationPool::Lose(Worker& worker) {
    if (!worker.alive) return;
    worker.alive = false;
    ++lostWorkers;
    // A worker that broke its side of the talk is ended like one that died.
    kill(worker.process.Pid(), SIGKILL);
    const std::string how = worker.process.Reap();
    std::fprintf(stderr, "ramulon: a render worker was lost (%s); its candidates are scored again\n", how.c_str());
    // Results that came before it died stay good: their pictures lie in memory that this process maps.
    for (Slot& slot : worker.slots) {
        if (slot.Drawing()) {
            redo.insert(slot.index);
            slot = Slot{};
        }
    }
}

void CEvaluationPool::Receive(Worker& worker) {
    ScoredMessage scored;
    const std::size_t length = worker.process.Receive(&scored, sizeof scored);
    const bool valid = length == sizeof scored && scored.kind == MessageKind::kScored && scored.slot >= 0 &&
                       scored.slot < kSlots && worker.slots[scored.slot].index == scored.index &&
                       worker.slots[scored.slot].Drawing();
    if (!valid) {
        Lose(worker);
        return;
    }
    workSeconds += scored.seconds;
    Slot& slot = worker.slots[scored.slot];
    slot.scored = true;
    // Without a picture there is nothing to show or compare; the caller draws it in the view.
    slot.picture = scored.pictureRead;
    slot.fitness = scored.fitness;
}

void CEvaluationPool::Collect() {
    // Kept between calls: this runs for every candidate of a training.
    watched.clear();
    watchedWorkers.clear();
    for (const std::unique_ptr<Worker>& worker : workers) {
        if (!worker->alive || !worker->Busy()) continue;
        watched.push_back(pollfd{worker->process.Socket(), POLLIN, 0});
        watchedWorkers.push_back(worker.get());
    }
    if (watched.empty()) return;
    if (poll(watched.data(), watched.size(), -1) <= 0) return;
    for (std::size_t i = 0; i < watched.size(); ++i) {
        if (watched[i].revents & POLLIN) {
            Receive(*watchedWorkers[i]);
        } else if (watched[i].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            Lose(*watchedWorkers[i]);
        }
    }
}

bool CEvaluationPool::IsUnderWay(int index) const {
    for (const std::unique_ptr<Worker>& worker : workers)
        for (const Slot& slot : worker->slots)
            if (worker->alive && slot.index == index && slot.Drawing()) return true;
    return false;
}

std::pair<CEvaluationPool::Worker*, CEvaluationPool::Slot*> CEvaluationPool::ScoredSlot(int index) {
    // A worker lost since keeps what it scored before: its memory is still mapped here.
    for (const std::unique_ptr<Worker>& worker : workers)
        for (Slot& slot : worker->slots)
            if (slot.index == index && slot.scored) return {worker.get(), &slot};
    return {nullptr, nullptr};
}

CEvaluationPool::Result CEvaluationPool::WaitForResult(int index) {
    for (;;) {
        if (const auto [worker, slot] = ScoredSlot(index); slot != nullptr) {
            if (!slot->picture) return Result{0.0, nullptr};
            frame.width = scene.width;
            frame.height = scene.height;
            const unsigned char* picture =
                worker->process.Shared() + layout.PictureOffset(static_cast<int>(slot - worker->slots));
            frame.bgr.assign(picture, picture + layout.pictureBytes);
            return Result{slot->fitness, &frame};
        }
        HandOut();
        if (!IsUnderWay(index)) {
            // No worker holds it and none can take it now: the caller scores it in the view.
            if (!redo.erase(index) && index == next) ++next;
            return Result{0.0, nullptr};
        }
        Collect();
    }
}

void CEvaluationPool::ResultTaken(int index) {
    if (const auto [worker, slot] = ScoredSlot(index); slot != nullptr) *slot = Slot{};
    ForgetDeadWorkers();
    HandOut();
}

void CEvaluationPool::EndBatch() {
    limit = next;
    redo.clear();
    const auto anyBusy = [this] {
        return std::any_of(workers.begin(), workers.end(), [](const auto& w) { return w->alive && w->Busy(); });
    };
    while (anyBusy()) Collect();
    for (const std::unique_ptr<Worker>& worker : workers) std::fill(worker->slots, worker->slots + kSlots, Slot{});
    redo.clear();
    ForgetDeadWorkers();
    batch = nullptr;
    target = nullptr;
}

void CEvaluationPool::ForgetDeadWorkers() {
    std::erase_if(workers, [](const std::unique_ptr<Worker>& w) { return !w->alive && !w->HoldsAnything(); });
}

std::vector<int> CEvaluationPool::WorkerPids() const {
    std::vector<int> pids;
    for (const std::unique_ptr<Worker>& worker : workers)
        if (worker->alive) pids.push_back(worker->process.Pid());
    return pids;
}
