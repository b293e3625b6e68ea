// The lock a run holds on its output folder for its whole life: a POSIX record lock on run.lock in the
// folder. The kernel drops it when the process ends however it ends, so a crashed or killed run never
// leaves the folder locked; the file it may leave behind holds nothing and is taken by the next run.
#pragma once

#include <QByteArray>
#include <QString>

inline constexpr const char* kLockName = "run.lock";

// The error line for a folder that a live run holds, or empty. Looks only: creates nothing. Never call
// it for a folder this process holds, since closing any descriptor of the file would drop the lock.
QString FolderHolder(const QString& folder);

class CFolderLock {
public:
    CFolderLock() = default;
    // Removes run.lock, then lets go of it.
    ~CFolderLock();
    CFolderLock(const CFolderLock&) = delete;
    CFolderLock& operator=(const CFolderLock&) = delete;

    // Takes the lock of an existing folder; an error line or empty. inUse tells a live holder, which is
    // the user's problem, from a lock the system could not give.
    QString Take(const QString& folder, bool& inUse);

private:
    QByteArray path;
    int descriptor = -1;
};
