#include "evolve/folder/folder_lock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

QByteArray LockPath(const QString& folder) {
    return QFile::encodeName(QDir(folder).filePath(QLatin1String(kLockName)));
}

QString InUseLine(const QString& folder, const struct flock& holder) {
    // The holder's process id is exact on a local disk; a lock held from another machine may not have one.
    if (holder.l_pid > 0)
        return QStringLiteral("%1 is in use by another run of ramulon-evolve (process %2)")
            .arg(folder)
            .arg(holder.l_pid);
    return QStringLiteral("%1 is in use by another run of ramulon-evolve").arg(folder);
}

struct flock WholeFile(short type) {
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

QString ErrnoText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace

QString FolderHolder(const QString& folder) {
    const int descriptor = open(LockPath(folder).constData(), O_RDONLY | O_CLOEXEC);
    // No file, no holder; a file that cannot be opened is reported when the run tries to take it.
    if (descriptor < 0) return {};
    struct flock holder = WholeFile(F_WRLCK);
    const bool held = fcntl(descriptor, F_GETLK, &holder) == 0 && holder.l_type != F_UNLCK;
    close(descriptor);
    return held ? InUseLine(folder, holder) : QString();
}

QString CFolderLock::Take(const QString& folder, bool& inUse) {
    inUse = false;
    path = LockPath(folder);
    const QString shown = QFile::decodeName(path);
    // A run that ends removes run.lock. If it did so between our open and our lock, the lock is on a
    // file no other run can find, so it is taken again on the file the name now gives.
    for (int attempt = 0; attempt < 16; ++attempt) {
        descriptor = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (descriptor < 0) return QStringLiteral("cannot make %1: %2").arg(shown, ErrnoText(errno));
        struct flock lock = WholeFile(F_WRLCK);
        if (fcntl(descriptor, F_SETLK, &lock) != 0) {
            const int error = errno;
            struct flock holder = WholeFile(F_WRLCK);
            const bool known = fcntl(descriptor, F_GETLK, &holder) == 0;
            close(descriptor);
            descriptor = -1;
            if (error != EACCES && error != EAGAIN)
                return QStringLiteral("cannot lock %1: %2").arg(shown, ErrnoText(error));
            inUse = true;
            if (!known || holder.l_type == F_UNLCK) holder.l_pid = 0;
            return InUseLine(folder, holder);
        }
        struct stat held = {}, named = {};
        if (fstat(descriptor, &held) == 0 && stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return {};
        close(descriptor);
        descriptor = -1;
    }
    return QStringLiteral("cannot lock %1: it keeps being replaced").arg(shown);
}

CFolderLock::~CFolderLock() {
    if (descriptor < 0) return;
    // Removed while still held, so that no run can take the lock of a name that is about to go.
    unlink(path.constData());
    close(descriptor);
}
