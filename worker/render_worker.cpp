#include "worker/render_worker.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "display/frame_capture.h"
#include "display/frame_render.h"
#include "display/offscreen_image.h"
#include "display/orbit_camera.h"
#include "display/platform/drawing_surface.h"
#include "display/platform/gl_binding.h"
#include "evolution/image_difference.h"
#include "evolution/renderer_identity.h"
#include "evolution/worker_protocol.h"
#include "worker/candidate_tree.h"

namespace {

using namespace worker_protocol;

// Ctrl-C reaches the whole process group, `timeout` the run and then its group, Slurm every process of
// a job step: the program decides what a stop means, and a worker must not die of it.
void IgnoreStopSignals() {
    for (const int stop : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) signal(stop, SIG_IGN);
}

bool Send(const void* message, std::size_t size) {
    ssize_t sent;
    do {
        sent = send(kSocketDescriptor, message, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(size);
}

void CopyText(char (&to)[256], const std::string& from) {
    const std::size_t length = std::min(from.size(), sizeof to - 1);
    std::memcpy(to, from.data(), length);
    to[length] = '\0';
}

// Everything a worker keeps between candidates, remade only when the panel's size changes.
class CWorkerScene {
public:
    CWorkerScene(platform::GlDisplay& display, unsigned char* shared, std::size_t sharedBytes)
        : display(display), shared(shared), sharedBytes(sharedBytes) {
        drawList = {&camera, &candidate};
    }
    ~CWorkerScene() {
        platform::MakeGlCurrent(nullptr, nullptr);
        platform::ReleaseSurface(surface);
    }

    bool Take(const SceneMessage& message);
    bool Score(const ScoreMessage& message);

private:
    platform::GlDisplay& display;
    unsigned char* shared;
    std::size_t sharedBytes;
    SceneMessage scene;
    SharedLayout layout;
    PixelRows target;
    platform::DrawingSurface surface;
    platform::GlContext context = nullptr;
    std::unique_ptr<COffscreenImage> capture;
    platform::PresentedFrame frame;
    COrbitCamera camera;
    CCandidateTree candidate;
    std::vector<IRenderable*> drawList;
};

bool CWorkerScene::Take(const SceneMessage& message) {
    const std::size_t targetBytes = RowBytes(message.targetPitch, message.targetHeight);
    const SharedLayout next(message.width, message.height, targetBytes);
    if (message.width < 0 || message.height < 0 || next.Total() > sharedBytes) return false;
    if (!capture || message.width != scene.width || message.height != scene.height) {
        platform::MakeGlCurrent(nullptr, nullptr);
        platform::ReleaseSurface(surface);
        context = nullptr;
        if (display.ApplySurfaceFormat(surface, message.width, message.height))
            context = platform::KeptGlContext(&surface);
        // As the panel makes its capture image: the client size, 24 bits, the bottom row first.
        capture = std::make_unique<COffscreenImage>();
        capture->Create(message.width, message.height, 24);
    }
    scene = message;
    layout = next;
    camera.pose = message.pose;
    camera.lightOn = message.lightOn;
    // The target's rows lie as they lay in the program's memory.
    const unsigned char* top = shared + TopRowOffset(message.targetPitch, message.targetHeight);
    target = PixelRows{targetBytes > 0 ? top : nullptr, message.targetWidth, message.targetHeight, message.targetPitch,
                       message.targetBitsPerPixel};
    return true;
}

bool CWorkerScene::Score(const ScoreMessage& message) {
    if (message.slot < 0 || message.slot >= kSlots || !capture) return false;
    const auto start = std::chrono::steady_clock::now();
    candidate.genome = message.genome;
    std::memcpy(candidate.noise.Data(), shared + layout.NoiseOffset(message.slot),
                static_cast<std::size_t>(candidate.noise.Count()) * sizeof(NodeNoise));
    // The right panel's draw list with the candidate last, in a kept context, exactly as the panel draws.
    const bool read =
        RenderDrawList(RenderTarget{&surface, context, true, true}, scene.width, scene.height, drawList, frame);
    ScoredMessage scored;
    scored.slot = message.slot;
    scored.index = message.index;
    scored.pictureRead = read && frame.bgr.size() == layout.pictureBytes;
    if (scored.pictureRead) {
        CaptureFrame(&frame, scene.width, scene.height, *capture);
        scored.fitness = ImageDifference(target, RowsOf(*capture));
        std::memcpy(shared + layout.PictureOffset(message.slot), frame.bgr.data(), layout.pictureBytes);
    }
    scored.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return Send(&scored, sizeof scored);
}

}  // namespace

int RunRenderWorker(pid_t program) {
    IgnoreStopSignals();
    // No worker outlives its program, however the program ends; one whose program is gone already
    // has no one to serve.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != program) return 0;

    struct stat memory = {};
    if (fstat(kSharedMemoryDescriptor, &memory) != 0 || memory.st_size <= 0) return 1;
    const auto sharedBytes = static_cast<std::size_t>(memory.st_size);
    void* mapped = mmap(nullptr, sharedBytes, PROT_READ | PROT_WRITE, MAP_SHARED, kSharedMemoryDescriptor, 0);
    if (mapped == MAP_FAILED) return 1;

    platform::GlDisplay display;
    const RendererIdentity identity = IdentityOf(display);
    ReadyMessage ready;
    CopyText(ready.renderer, identity.name);
    CopyText(ready.version, identity.version);
    if (!Send(&ready, sizeof ready) || identity.name.empty()) return 1;

    CWorkerScene scene(display, static_cast<unsigned char*>(mapped), sharedBytes);
    alignas(std::max_align_t) unsigned char packet[std::max(sizeof(SceneMessage), sizeof(ScoreMessage)) + 1];
    SceneMessage sceneMessage;
    ScoreMessage scoreMessage;
    for (;;) {
        ssize_t received;
        do {
            received = recv(kSocketDescriptor, packet, sizeof packet, 0);
        } while (received < 0 && errno == EINTR);
        // End of input: the program has ended or let the worker go.
        if (received <= 0) return 0;
        MessageKind kind;
        std::memcpy(&kind, packet, sizeof kind);
        bool served = false;
        if (kind == MessageKind::kScene && received == sizeof sceneMessage) {
            std::memcpy(&sceneMessage, packet, sizeof sceneMessage);
            served = scene.Take(sceneMessage);
        } else if (kind == MessageKind::kScore && received == sizeof scoreMessage) {
            std::memcpy(&scoreMessage, packet, sizeof scoreMessage);
            served = scene.Score(scoreMessage);
        }
        // A message it cannot read means the program and the worker do not match: it is let go.
        if (!served) return 1;
    }
}
