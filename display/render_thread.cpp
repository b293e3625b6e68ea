#include "display/render_thread.h"

#include <cassert>
#include <utility>

CRenderThread::CRenderThread() : thread([this] { Loop(); }) {}

CRenderThread::~CRenderThread() {
    {
        std::lock_guard lock(mutex);
        quitting = true;
    }
    changed.notify_all();
    thread.join();
}

void CRenderThread::Run(std::function<void()> next) {
    {
        std::lock_guard lock(mutex);
        assert(!busy && "wait for a render thread's job before handing it the next");
        job = std::move(next);
        busy = true;
    }
    changed.notify_all();
}

void CRenderThread::Wait() {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return !busy; });
}

void CRenderThread::Loop() {
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return busy || quitting; });
        if (quitting) return;
        std::function<void()> current = std::move(job);
        lock.unlock();
        current();
        lock.lock();
        busy = false;
        changed.notify_all();
    }
}
