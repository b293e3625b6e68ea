// One render worker process as the program sees it: the helper program started with one end of a
// socket pair and a block of shared memory, both of its own. The process ignores stop signals, dies
// with the program, and ends when its socket closes; destroying this object closes it, kills the
// process if it still runs, and reaps it.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

class CWorkerProcess {
public:
    CWorkerProcess() = default;
    ~CWorkerProcess();
    CWorkerProcess(const CWorkerProcess&) = delete;
    CWorkerProcess& operator=(const CWorkerProcess&) = delete;

    // Starts program with sharedBytes of zeroed shared memory; environment adds to or replaces the
    // program's own variables (NAME=value). False when any part could not be had.
    bool Start(const std::string& program, std::size_t sharedBytes, const std::vector<std::string>& environment);

    // One message out; false once the worker has gone.
    bool Send(const void* message, std::size_t size);
    // One message in, at most size bytes: its length, or 0 once the worker has gone. Blocks.
    std::size_t Receive(void* buffer, std::size_t size);
    // Waits until a message can be read or the worker has gone, at most timeoutMilliseconds (-1: for ever).
    bool WaitReadable(int timeoutMilliseconds) const;

    // After the worker has gone: reaps it and says how it ended, e.g. "killed by signal 9".
    std::string Reap();

    pid_t Pid() const { return pid; }
    int Socket() const { return socket; }
    unsigned char* Shared() const { return shared; }

private:
    pid_t pid = -1;
    int socket = -1;
    unsigned char* shared = nullptr;
    std::size_t sharedBytes = 0;
    bool reaped = false;
};

// The helper beside the running program: libexec/ramulon/ramulon-render-worker under the folder above
// the program's own, as installed and as built.
std::string RenderWorkerProgram();
