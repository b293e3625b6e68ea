#include "evolve/output_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

QString CheckOutputFolder(const QString& folder, bool force) {
    const QFileInfo info(folder);
    if (info.exists()) {
        if (!info.isDir()) return QStringLiteral("%1 is not a folder").arg(folder);
        if (!info.isWritable() || !info.isExecutable()) return QStringLiteral("cannot write to folder %1").arg(folder);
        if (!force && QFileInfo::exists(QDir(folder).filePath(QLatin1String(kRunRecordName))))
            return QStringLiteral("%1 already holds a run (%2); give --force to overwrite it")
                .arg(folder, QLatin1String(kRunRecordName));
        return {};
    }
    // Walk up to the nearest part of the path that exists; it has to be a folder we may write into.
    QString above = QFileInfo(info.absoluteFilePath()).absolutePath();
    while (!QFileInfo::exists(above) && above != QDir::rootPath()) above = QFileInfo(above).absolutePath();
    const QFileInfo parent(above);
    if (!parent.isDir()) return QStringLiteral("cannot make folder %1: %2 is not a folder").arg(folder, above);
    if (!parent.isWritable() || !parent.isExecutable())
        return QStringLiteral("cannot make folder %1: %2 is not writable").arg(folder, above);
    return {};
}

QString MakeOutputFolder(const QString& folder) {
    if (QDir().mkpath(folder)) return {};
    return QStringLiteral("cannot make folder %1").arg(folder);
}

QString WriteFileInPlace(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(folder).filePath(name);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

void RemoveResultsBeyond(const QString& folder, int presses) {
    static const QRegularExpression result(QStringLiteral("^best-([0-9]+)\\.(png|obj|mtl|json)$"));
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = result.match(name);
        if (!match.hasMatch()) continue;
        bool ok = false;
        const qlonglong press = match.captured(1).toLongLong(&ok);
        if (!ok || press > presses) dir.remove(name);
    }
}
