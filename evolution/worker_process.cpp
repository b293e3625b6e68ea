#include "evolution/worker_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "evolution/worker_protocol.h"

extern char** environ;

namespace {

// Descriptors above the ones the worker is handed, so that moving them into place never meets itself.
constexpr int kFirstFreeDescriptor = 10;

int MoveAbove(int descriptor) {
    if (descriptor < 0) return -1;
    const int moved = fcntl(descriptor, F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
    close(descriptor);
    return moved;
}

std::string NameOf(const std::string& variable) { return variable.substr(0, variable.find('=')); }

// The program's environment read once, here, on the thread that starts workers; nothing in the
// program changes it while threads run.
std::vector<std::string> ChildEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable = *entry;
        bool replaced = false;
        for (const std::string& change : changes) replaced = replaced || NameOf(change) == NameOf(variable);
        if (!replaced) result.push_back(variable);
    }
    result.insert(result.end(), changes.begin(), changes.end());
    return result;
}

}  // namespace

CWorkerProcess::~CWorkerProcess() {
    if (socket >= 0) close(socket);
    if (shared != nullptr) munmap(shared, sharedBytes);
    if (pid <= 0 || reaped) return;
    // End of input ends a worker on its own; one that hangs must not keep the program waiting.
    for (int wait = 0; wait < 100; ++wait) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        usleep(2000);
    }
    kill(pid, SIGKILL);
    Reap();
}

bool CWorkerProcess::Start(const std::string& program, std::size_t bytes, const std::vector<std::string>& environment) {
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) return false;
    socket = MoveAbove(ends[0]);
    const int workerEnd = MoveAbove(ends[1]);
    const int memory = MoveAbove(memfd_create("ramulon-worker", MFD_CLOEXEC));
    bool ready = socket >= 0 && workerEnd >= 0 && memory >= 0 && ftruncate(memory, static_cast<off_t>(bytes)) == 0;
    if (ready) {
        void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory, 0);
        ready = mapped != MAP_FAILED;
        if (ready) {
            shared = static_cast<unsigned char*>(mapped);
            sharedBytes = bytes;
        }
    }
    if (ready) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, workerEnd, worker_protocol::kSocketDescriptor);
        posix_spawn_file_actions_adddup2(&actions, memory, worker_protocol::kSharedMemoryDescriptor);
        // Stop signals stay blocked from the first instruction on: a Ctrl-C to the process group
        // before the worker has set them aside must not kill it. The program decides when to stop.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t stops;
        sigemptyset(&stops);
        for (const int stop : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, stop);
        posix_spawnattr_setsigmask(&attributes, &stops);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);

        const std::string parent = std::to_string(getpid());
        std::vector<std::string> variables = ChildEnvironment(environment);
        std::vector<char*> envp;
        for (std::string& variable : variables) envp.push_back(variable.data());
        envp.push_back(nullptr);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(parent.c_str()), nullptr};
        ready = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv, envp.data()) == 0;
        if (!ready) pid = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    if (workerEnd >= 0) close(workerEnd);
    if (memory >= 0) close(memory);
    return ready;
}

bool CWorkerProcess::Send(const void* message, std::size_t size) {
    // MSG_NOSIGNAL: a worker that died must cost a redo, not the program's SIGPIPE.
    ssize_t sent;
    do {
        sent = send(socket, message, size, MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(size);
}

std::size_t CWorkerProcess::Receive(void* buffer, std::size_t size) {
    ssize_t received;
    do {
        received = recv(socket, buffer, size, 0);
    } while (received < 0 && errno == EINTR);
    return received > 0 ? static_cast<std::size_t>(received) : 0;
}

bool CWorkerProcess::WaitReadable(int timeoutMilliseconds) const {
    pollfd watch{socket, POLLIN, 0};
    int ready;
    do {
        ready = poll(&watch, 1, timeoutMilliseconds);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

std::string CWorkerProcess::Reap() {
    if (pid <= 0 || reaped) return "gone";
    int status = 0;
    pid_t ended;
    do {
        ended = waitpid(pid, &status, 0);
    } while (ended < 0 && errno == EINTR);
    reaped = true;
    if (ended != pid) return "gone";
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

std::string RenderWorkerProgram() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    std::string program(path, static_cast<std::size_t>(length));
    program.erase(program.rfind('/') + 1);
    return program + "../libexec/ramulon/ramulon-render-worker";
}
