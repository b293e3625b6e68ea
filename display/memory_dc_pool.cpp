#include "display/memory_dc_pool.h"

#include <cassert>

CMemoryDCPool::~CMemoryDCPool() {
    for (std::atomic<platform::MemoryContext*>& slot : slots) platform::DeleteMemoryContext(slot.exchange(nullptr));
}

CMemoryDCPool& CMemoryDCPool::Instance() {
    // A function-local static is destroyed at exit, after every image that could still be using it.
    static CMemoryDCPool pool;
    return pool;
}

platform::MemoryContext* CMemoryDCPool::Take() {
    for (std::atomic<platform::MemoryContext*>& slot : slots) {
        if (platform::MemoryContext* context = slot.exchange(nullptr)) return context;
    }
    return platform::CreateMemoryContext();
}

void CMemoryDCPool::GiveBack(platform::MemoryContext* context) {
    // Each exchange leaves the context in hand in the slot and picks up what was there, so a full pool
    // shifts by one and what falls off the end is the oldest context.
    for (std::atomic<platform::MemoryContext*>& slot : slots) {
        context = slot.exchange(context);
        if (context == nullptr) return;
    }
    platform::DeleteMemoryContext(context);
}

platform::MemoryContext* CMemoryDCPool::Slot(int index) const {
    assert(index >= 0 && index < kSlotCount && "pool slots are numbered 0..3");
    return slots[index].load();
}
