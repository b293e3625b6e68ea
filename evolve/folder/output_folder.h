// The folder a run writes into. A run holds the folder for its whole life, and a folder that holds
// run.json or a checkpoint holds a run, which only --force lets a new run overwrite. Every file goes to a temporary
// name beside its final one and is renamed into place, so a crash leaves either the old file or the new one, never half
// of one.
#pragma once

#include <QByteArray>
#include <QString>

class CFolderLock;

inline constexpr const char* kRunRecordName = "run.json";
inline constexpr const char* kCheckpointFileName = "checkpoint.bin";

// Why nothing can be written to the folder, or empty. Looks, changes nothing: a missing folder is fine
// when the nearest folder above it that exists can be written.
QString CheckOutputFolder(const QString& folder, bool force);

// The same for a run to go on with in the folder: it must exist, be writable and not be held.
QString CheckFolderToContinue(const QString& folder);

// Whether the folder holds run.json or a checkpoint.
bool FolderHoldsRun(const QString& folder);

struct FolderRefusal {
    QString error;          // empty when the folder is the run's
    bool badInput = false;  // another run holds it or holds a run there, rather than a failure of the system
};

// Makes the folder and any missing parents and takes its lock, before anything else is written; then
// checks again that it holds no run unless forced, since one may have ended there meanwhile.
FolderRefusal TakeOutputFolder(const QString& folder, bool force, CFolderLock& lock);

// Writes the whole file under a temporary name and renames it over `name`; an error line naming the
// system's reason, or empty. Nothing of a failed write is left behind.
QString WriteFileInPlace(const QString& folder, const QString& name, const QByteArray& bytes);

// Removes the temporaries that a run killed while writing left behind. Only for a folder this process holds.
void RemoveStaleTemporaries(const QString& folder);

// Removes best-P.png, .obj, .mtl, .json and compare-P.png of an earlier run for every P above `presses`, so a forced
// run does not leave another run's results beside its own.
void RemoveResultsBeyond(const QString& folder, int presses);
