// The folder a run writes into. A folder that holds run.json holds a run, and only --force lets a new
// run overwrite it. Every file goes to a temporary name beside its final one and is renamed into place,
// so a crash leaves either the old file or the new one, never half of one.
#pragma once

#include <QByteArray>
#include <QString>

inline constexpr const char* kRunRecordName = "run.json";

// Why nothing can be written to the folder, or empty. Looks, changes nothing: a missing folder is fine
// when the nearest folder above it that exists can be written.
QString CheckOutputFolder(const QString& folder, bool force);

// Makes the folder and any missing parents; an error line or empty.
QString MakeOutputFolder(const QString& folder);

// Writes the whole file under a temporary name and renames it over `name`; an error line or empty.
QString WriteFileInPlace(const QString& folder, const QString& name, const QByteArray& bytes);

// Removes best-P.png, .obj, .mtl and .json of an earlier run for every P above `presses`, so a forced
// run does not leave another run's results beside its own.
void RemoveResultsBeyond(const QString& folder, int presses);
