// What the program and its render worker processes say to each other. Messages are plain structs, one
// per packet of a socket pair; a candidate's noise field and every picture lie in memory that both
// map, in the layout below. A worker answers Ready once its display is open, then takes a Scene before
// each batch and answers every Score with Scored, in the order the candidates came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "display/camera_pose.h"
#include "tree/individual.h"

namespace worker_protocol {

// The worker's ends of the socket pair and of the shared memory, as the program hands them over.
inline constexpr int kSocketDescriptor = 3;
inline constexpr int kSharedMemoryDescriptor = 4;
// Candidates a worker holds at once, drawn or to be drawn. Results are taken in order, so a worker
// whose trees happen to be small runs ahead of one whose trees are large by up to this many.
inline constexpr int kSlots = 6;
// Candidates a worker is given before it has sent back the one it draws: one waits in its socket, so
// that it never idles for the program's answer, and no more, so that none waits long behind a large tree.
inline constexpr int kQueuedCandidates = 2;

enum class MessageKind : std::int32_t { kReady = 1, kScene, kScore, kScored };

struct ReadyMessage {
    MessageKind kind = MessageKind::kReady;
    // GL_RENDERER and GL_VERSION of the worker's display; an empty renderer means it has none.
    char renderer[256] = {};
    char version[256] = {};
};

// The panel that every candidate of the next batch is drawn as, and the target it is compared with;
// the target's bytes lie at the start of the shared memory as its rows lie in memory.
struct SceneMessage {
    MessageKind kind = MessageKind::kScene;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t targetWidth = 0;
    std::int32_t targetHeight = 0;
    std::int32_t targetPitch = 0;
    std::int32_t targetBitsPerPixel = 0;
    CameraPose pose;
    bool lightOn = false;
};

// A candidate to score; its noise field lies in the slot.
struct ScoreMessage {
    MessageKind kind = MessageKind::kScore;
    std::int32_t slot = 0;
    std::int64_t index = 0;
    TreeGenome genome{UnsetGenome{}};
};

// The candidate's fitness; its picture lies in the slot, rows top first, unless none could be read.
struct ScoredMessage {
    MessageKind kind = MessageKind::kScored;
    std::int32_t slot = 0;
    std::int64_t index = 0;
    double fitness = 0.0;
    double seconds = 0.0;
    bool pictureRead = false;
};

static_assert(std::is_trivially_copyable_v<SceneMessage> && std::is_trivially_copyable_v<ScoreMessage>,
              "messages are copied byte for byte between processes");

// A picture's rows as they lie in memory, height rows pitch bytes apart, copied as one block: its bytes,
// and where its top row lies from the block's start, since a pitch below zero runs upwards from the
// last row in memory.
std::size_t RowBytes(int pitch, int height);
std::size_t TopRowOffset(int pitch, int height);

// Where things lie in a worker's shared memory for a panel of width by height and a target of
// targetBytes: the target, then each slot's noise field and picture.
struct SharedLayout {
    SharedLayout() = default;
    SharedLayout(int width, int height, std::size_t targetBytes);

    std::size_t NoiseOffset(int slot) const { return targetBytes + static_cast<std::size_t>(slot) * slotBytes; }
    std::size_t PictureOffset(int slot) const { return NoiseOffset(slot) + noiseBytes; }
    std::size_t Total() const { return targetBytes + kSlots * slotBytes; }
    bool operator==(const SharedLayout&) const = default;

    std::size_t targetBytes = 0;
    std::size_t noiseBytes = 0;
    std::size_t pictureBytes = 0;
    std::size_t slotBytes = 0;
};

}  // namespace worker_protocol
