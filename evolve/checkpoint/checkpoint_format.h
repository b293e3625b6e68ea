// The checkpoint, byte by byte: a run's state in a versioned file whose SHA-256 covers every byte, so
// that a damaged, cut short or foreign file is refused rather than continued from. The layout is
// described in the README for readers in other languages; all numbers are little-endian.
#pragma once

#include <QByteArray>
#include <QString>

#include "evolve/checkpoint/run_state.h"

inline constexpr int kCheckpointFormatVersion = 2;

QByteArray CheckpointBytes(const RunState& state);

// Reads what CheckpointBytes wrote; empty, or what is wrong with the bytes, as the end of a line that
// begins with the file's name ("is damaged: ...").
QString ParseCheckpoint(const QByteArray& bytes, RunState& state);
