// A thread kept for renders that run beside the calling thread's own: it runs one job at a time, handed
// over by Run and waited for by Wait. The job must not touch Qt; it gets GL through a context that no
// other thread has current.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class CRenderThread {
public:
    CRenderThread();
    ~CRenderThread();
    CRenderThread(const CRenderThread&) = delete;
    CRenderThread& operator=(const CRenderThread&) = delete;

    // Starts job on the thread; the previous job must have been waited for.
    void Run(std::function<void()> job);
    // Returns once the job started by Run has finished.
    void Wait();

private:
    void Loop();

    std::mutex mutex;
    std::condition_variable changed;
    std::function<void()> job;
    bool busy = false;
    bool quitting = false;
    std::thread thread;
};
