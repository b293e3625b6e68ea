#include "evolve/checkpoint/checkpoint_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "evolve/checkpoint/checkpoint_format.h"
#include "evolve/folder/output_folder.h"

namespace {

QString PathIn(const QString& folder) { return QDir(folder).filePath(QLatin1String(kCheckpointFileName)); }

}  // namespace

bool HasCheckpoint(const QString& folder) { return QFileInfo::exists(PathIn(folder)); }

QString WriteCheckpoint(const QString& folder, const RunState& state) {
    return WriteFileInPlace(folder, QLatin1String(kCheckpointFileName), CheckpointBytes(state));
}

QString ReadCheckpoint(const QString& folder, RunState& state) {
    const QString path = PathIn(folder);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const QString problem = ParseCheckpoint(bytes, state);
    return problem.isEmpty() ? QString() : path + QLatin1Char(' ') + problem;
}
