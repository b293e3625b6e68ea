#include "evolve/folder/output_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "evolve/folder/folder_lock.h"

namespace {

QString HeldRunError(const QString& folder) {
    for (const char* name : {kRunRecordName, kCheckpointFileName}) {
        if (QFileInfo::exists(QDir(folder).filePath(QLatin1String(name))))
            return QStringLiteral(
                       "%1 already holds a run (%2); give --continue to go on with it, or --force to "
                       "overwrite it")
                .arg(folder, QLatin1String(name));
    }
    return {};
}

QString WriteError(const QString& path, int error) {
    return QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(error)));
}

}  // namespace

QString CheckOutputFolder(const QString& folder, bool force) {
    const QFileInfo info(folder);
    if (info.exists()) {
        if (!info.isDir()) return QStringLiteral("%1 is not a folder").arg(folder);
        if (!info.isWritable() || !info.isExecutable()) return QStringLiteral("cannot write to folder %1").arg(folder);
        // A live run first: --force cannot help there, so it must not be what the line suggests.
        if (QString holder = FolderHolder(folder); !holder.isEmpty()) return holder;
        return force ? QString() : HeldRunError(folder);
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

QString CheckFolderToContinue(const QString& folder) {
    const QFileInfo info(folder);
    if (!info.exists()) return QStringLiteral("%1 does not exist, so it holds no run to go on with").arg(folder);
    if (!info.isDir()) return QStringLiteral("%1 is not a folder").arg(folder);
    if (!info.isWritable() || !info.isExecutable()) return QStringLiteral("cannot write to folder %1").arg(folder);
    return FolderHolder(folder);
}

bool FolderHoldsRun(const QString& folder) { return !HeldRunError(folder).isEmpty(); }

FolderRefusal TakeOutputFolder(const QString& folder, bool force, CFolderLock& lock) {
    std::error_code made;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(folder).toStdString()), made);
    if (made) return {QStringLiteral("cannot make folder %1: %2").arg(folder, QString::fromStdString(made.message()))};
    bool inUse = false;
    if (QString error = lock.Take(folder, inUse); !error.isEmpty()) return {error, inUse};
    if (force) return {};
    return {HeldRunError(folder), true};
}

QString WriteFileInPlace(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = QDir(folder).filePath(name);
    // A name of this process's own; one left by a killed run of the same id is stepped over.
    QByteArray temporary;
    int descriptor = -1;
    for (int attempt = 0; descriptor < 0 && attempt < 100; ++attempt) {
        temporary = QFile::encodeName(
            QDir(folder).filePath(QStringLiteral(".%1.%2-%3.tmp").arg(name).arg(getpid()).arg(attempt)));
        descriptor = open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST) break;
    }
    if (descriptor < 0) return WriteError(path, errno);

    int error = 0;
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && error == 0) {
        const ssize_t written = write(descriptor, at, static_cast<size_t>(left));
        if (written > 0) {
            at += written;
            left -= written;
        } else if (written < 0 && errno != EINTR) {
            error = errno;
        } else if (written == 0) {
            error = EIO;
        }
    }
    // A network file system or a delayed allocation may report a full disk only here.
    if (error == 0 && fsync(descriptor) != 0) error = errno;
    if (close(descriptor) != 0 && error == 0) error = errno;
    if (error == 0 && rename(temporary.constData(), QFile::encodeName(path).constData()) != 0) error = errno;
    if (error != 0) {
        unlink(temporary.constData());
        return WriteError(path, error);
    }
    // The rename lives in the folder: until the folder is synced, a power cut may bring back the old
    // file, or none.
    const int folderDescriptor = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderDescriptor < 0 || fsync(folderDescriptor) != 0) error = errno;
    if (folderDescriptor >= 0) close(folderDescriptor);
    return error == 0 ? QString() : WriteError(path, error);
}

void RemoveStaleTemporaries(const QString& folder) {
    static const QRegularExpression temporary(QStringLiteral("^\\..+\\.[0-9]+-[0-9]+\\.tmp$"));
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        if (temporary.match(name).hasMatch()) dir.remove(name);
}

void RemoveResultsBeyond(const QString& folder, int presses) {
    static const QRegularExpression result(
        QStringLiteral("^(?:best-([0-9]+)\\.(?:png|obj|mtl|json)|compare-([0-9]+)\\.png)$"));
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = result.match(name);
        if (!match.hasMatch()) continue;
        bool ok = false;
        const qlonglong press = (match.captured(1) + match.captured(2)).toLongLong(&ok);
        if (!ok || press > presses) dir.remove(name);
    }
}
